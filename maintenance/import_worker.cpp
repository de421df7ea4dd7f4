// The import worker: five phases over the word list, writing dictionary.$$$.
#include "dictionary/dictionary.h"
#include "maintenance/import_job.h"
#include "maintenance/word_list_file.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

JobResult CImportJob::ImportThreadProc() {
    CWordListFile& reader = *m_pWordList;
    CDictionary& dict = *m_pNewDict;
    CProgressDlg& progress = *m_pProgressDlg;
    // Tells why (the display still up), closes both files, destroys the
    // reader and reports the stop; setting m_bStopped is the last touch of
    // anything shared.
    const auto stop = [&](JobEnd end, Status cause = Status::Ok()) {
        if (!cause.Succeeded() && m_prompts.tell)
            m_prompts.tell(cause);
        dict.Abort();
        m_pWordList.reset();
        progress.m_bStopped.store(true);
        return JobResult{end, std::move(cause), Status::Ok()};
    };
    const auto failed = [&](Status cause) { return stop(JobEnd::Failed, std::move(cause)); };
    const auto cancelRequested = [&] { return progress.m_bCancelRequested.load(); };
    int64_t nFileLength = 0;
    int64_t nBytes = 0;
    int64_t nWordCount = 0;
    int nLongest = 0;
    int64_t nPosition = 0;

    if (Status status = reader.MeasureAndRewind(nFileLength); !status)
        return failed(status);

    // Phase 1: the longest word.
    progress.SetRange(0, 25, 1, nFileLength);
    progress.SetStatus(IDS_FINDING_LONGEST);
    int nLength = 0;
    while (reader.ReadWordLength(nLength, nBytes)) {
        if (nLength > nLongest)
            nLongest = nLength;
        progress.SetPos(nBytes);
        ++nWordCount;
        if (cancelRequested())
            return stop(JobEnd::Cancelled);
    }
    // A pass cut short by a read failure has not seen the whole list; a
    // dictionary built from part of it must not replace the old one.
    if (reader.ReadFailed())
        return failed(reader.ReadError());
    m_nInvalidUtf8Lines = reader.InvalidUtf8Lines();

    // Phase 2: count the words of each length.
    int64_t nIgnored = 0;
    if (Status status = reader.MeasureAndRewind(nIgnored); !status)
        return failed(status);
    if (Status status = reader.AllocateLengthTables(nLongest); !status)
        return failed(status);
    progress.SetRange(26, 50, 1, nWordCount);
    progress.SetStatus(IDS_COUNTING_WORDS);
    nPosition = 0;
    while (reader.ReadWordLength(nLength, nBytes)) {
        reader.CountLength(nLength);
        progress.SetPos(++nPosition);
        if (cancelRequested())
            return stop(JobEnd::Cancelled);
    }
    if (reader.ReadFailed())
        return failed(reader.ReadError());

    // Phase 3: store them.
    progress.SetRange(51, 75, 1, nWordCount);
    progress.SetStatus(IDS_STORING_WORDS);
    nPosition = 0;
    if (Status status = reader.AllocateWordStore(); !status)
        return failed(status);
    if (Status status = reader.MeasureAndRewind(nIgnored); !status)
        return failed(status);
    while (reader.ReadAndStoreWord(nBytes)) {
        progress.SetPos(++nPosition);
        if (cancelRequested())
            return stop(JobEnd::Cancelled);
    }
    if (reader.ReadFailed())
        return failed(reader.ReadError());
    if (reader.InputChanged())
        return failed(Status::Message(IDS_WORD_LIST_CHANGED, MsgIcon::Stop));

    // Phase 4: sort each length.
    progress.SetRange(76, 85, 1, nWordCount);
    progress.SetStatus(IDS_SORTING_WORDS);
    nPosition = 0;
    for (int nLength = 2; nLength <= nLongest; ++nLength) {
        nPosition += reader.SortLength(nLength);
        progress.SetPos(nPosition);
        if (cancelRequested())
            return stop(JobEnd::Cancelled);
    }

    // Phase 5: write each length block, then the trailer. A write failure
    // is told with the dictionary's own message.
    progress.SetRange(86, 100, 1, nWordCount);
    progress.SetStatus(IDS_WRITING_DICTIONARY);
    nPosition = 0;
    for (int nLength = 2; nLength <= nLongest; ++nLength) {
        nPosition += reader.WriteLengthBlock(nLength, &dict);
        progress.SetPos(nPosition);
        if (dict.WriteFailed())
            return failed(dict.WriteFailure());
        // Refused, not failed: the refusal, which says why, is the closing
        // message, with nothing told before it.
        if (!dict.LengthFitsFormat(nLength)) {
            JobResult refused = stop(JobEnd::Refused);
            refused.closing = Status::Message(IDS_WORD_LIST_TOO_LARGE, MsgIcon::Exclamation);
            return refused;
        }
        if (cancelRequested())
            return stop(JobEnd::Cancelled);
    }
    dict.WriteTrailer();
    if (Status finished = dict.FinishWriting(); !finished)
        return failed(std::move(finished));
    m_pWordList.reset();
    m_nWordsImported = nPosition;  // read by the command once the worker has ended
    progress.Complete();
    return {JobEnd::Done, Status::Ok(), Status::Ok()};
}
