// The import worker: five phases over the word list, writing dictionary.$$$.
#include "dictionary/dictionary.h"
#include "maintenance/job_context.h"
#include "maintenance/word_list_file.h"
#include "platform/message_box.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace {

struct ImportJob {
    CWordListFile* reader;
    CDictionary* dict;
    CProgressDlg* progress;

    // Closes both files, destroys the reader and reports the stop; setting
    // m_bStopped is the last touch of anything shared.
    UINT Stop(UINT code) {
        dict->Abort();
        reader->Abort();
        delete reader;
        progress->m_bStopped.store(true);
        return code;
    }
    bool CancelRequested() const { return progress->m_bCancelRequested.load(); }
};

}  // namespace

UINT ImportThreadProc(void* pParam) {
    CJobContext& context = *static_cast<CJobContext*>(pParam);
    ImportJob job{context.m_pWordList, context.m_pNewDict, context.m_pProgressDlg};
    CWordListFile& reader = *job.reader;
    CProgressDlg& progress = *job.progress;
    int64_t nFileLength = 0;
    int64_t nBytes = 0;
    int64_t nWordCount = 0;
    int nLongest = 0;
    int64_t nPosition = 0;

    if (!reader.MeasureAndRewind(nFileLength))
        return job.Stop(kImportMeasureFailed);

    // Phase 1: the longest word.
    progress.SetRange(0, 25, 1, nFileLength);
    progress.SetStatus(IDS_FINDING_LONGEST);
    int nLength = 0;
    while (reader.ReadWordLength(nLength, nBytes)) {
        if (nLength > nLongest)
            nLongest = nLength;
        progress.SetPos(nBytes);
        ++nWordCount;
        if (job.CancelRequested())
            return job.Stop(kImportCancelledPhase1);
    }
    // A pass cut short by a read failure has not seen the whole list; a
    // dictionary built from part of it must not replace the old one.
    if (reader.ReadFailed())
        return job.Stop(kImportReadFailed);
    context.m_nInvalidUtf8Lines = reader.InvalidUtf8Lines();

    // Phase 2: count the words of each length.
    int64_t nIgnored = 0;
    if (!reader.MeasureAndRewind(nIgnored) || !reader.AllocateLengthTables(nLongest))
        return job.Stop(kImportPhase2Failed);
    progress.SetRange(26, 50, 1, nWordCount);
    progress.SetStatus(IDS_COUNTING_WORDS);
    nPosition = 0;
    while (reader.ReadWordLength(nLength, nBytes)) {
        reader.CountLength(nLength);
        progress.SetPos(++nPosition);
        if (job.CancelRequested())
            return job.Stop(kImportCancelledPhase2);
    }
    if (reader.ReadFailed())
        return job.Stop(kImportReadFailed);

    // Phase 3: store them.
    progress.SetRange(51, 75, 1, nWordCount);
    progress.SetStatus(IDS_STORING_WORDS);
    nPosition = 0;
    if (!reader.AllocateWordStore() || !reader.MeasureAndRewind(nIgnored))
        return job.Stop(kImportPhase3Failed);
    while (reader.ReadAndStoreWord(nBytes)) {
        progress.SetPos(++nPosition);
        if (job.CancelRequested())
            return job.Stop(kImportCancelledPhase3);
    }
    if (reader.ReadFailed())
        return job.Stop(kImportReadFailed);
    if (reader.InputChanged()) {
        AfxMessageBox(IDS_WORD_LIST_CHANGED, MsgIcon::Stop);
        return job.Stop(kImportWordListChanged);
    }

    // Phase 4: sort each length.
    progress.SetRange(76, 85, 1, nWordCount);
    progress.SetStatus(IDS_SORTING_WORDS);
    nPosition = 0;
    for (int nLength = 2; nLength <= nLongest; ++nLength) {
        nPosition += reader.SortLength(nLength);
        progress.SetPos(nPosition);
        if (job.CancelRequested())
            return job.Stop(kImportCancelledPhase4);
    }

    // Phase 5: write each length block, then the trailer.
    progress.SetRange(86, 100, 1, nWordCount);
    progress.SetStatus(IDS_WRITING_DICTIONARY);
    nPosition = 0;
    for (int nLength = 2; nLength <= nLongest; ++nLength) {
        nPosition += reader.WriteLengthBlock(nLength, job.dict);
        progress.SetPos(nPosition);
        if (job.dict->WriteFailed())
            return job.Stop(kImportWriteFailed);
        // Refused, not failed: the command says so, and why.
        if (!job.dict->LengthFitsFormat(nLength))
            return job.Stop(kImportTooLarge);
        if (job.CancelRequested())
            return job.Stop(kImportCancelledPhase5);
    }
    job.dict->WriteTrailer();
    if (!job.dict->FinishWriting())
        return job.Stop(kImportWriteFailed);
    reader.Abort();
    delete job.reader;
    context.m_nWordsImported = nPosition;  // read by the command once the worker has ended
    progress.Complete();
    return kImportComplete;
}
