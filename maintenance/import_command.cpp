// The load command's steps after the file dialog: open the word list and the
// new dictionary file, run the worker behind the progress display, then put
// the new dictionary in place of the old one.
#include <cstring>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "maintenance/job_context.h"
#include "maintenance/word_list_file.h"
#include "phrases/phrase_file.h"
#include "phrases/user_phrases.h"
#include "platform/message_box.h"
#include "platform/worker_thread.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace {

UINT Finish(CJobContext& job, UINT nMessage, MsgIcon icon) {
    AfxMessageBox(nMessage, icon);
    delete job.m_pProgressDlg;
    delete job.m_pNewDict;  // its destructor removes a dictionary.$$$ that was not used
    job.m_pProgressDlg = nullptr;
    job.m_pNewDict = nullptr;
    job.m_pWordList = nullptr;
    return nMessage;
}

// The outcome of an import whose worker stopped: a cancel is reported as
// one, a word list too large for the format as refused (with the reason),
// anything else as a failure, after the worker's own message.
UINT ReportStop(CJobContext& job, UINT nExitCode) {
    switch (nExitCode) {
    case kImportCancelledPhase1:
    case kImportCancelledPhase2:
    case kImportCancelledPhase3:
    case kImportCancelledPhase4:
    case kImportCancelledPhase5:
        return Finish(job, IDS_LOAD_CANCELLED, MsgIcon::Information);
    case kImportTooLarge:
        return Finish(job, IDS_WORD_LIST_TOO_LARGE, MsgIcon::Exclamation);
    default:
        return Finish(job, IDS_LOAD_FAILED, MsgIcon::Stop);
    }
}

}  // namespace

UINT OnLoadDictionaryFile(CJobContext& job, const CString& path, const ModalRunner& runModal, bool bAskRetry,
                          EmptyWordList emptyList) {
    job.m_pWordList = new CWordListFile;
    job.m_pNewDict = new CDictionary(GetWorkDir());
    job.m_pProgressDlg = nullptr;
    job.m_strTextPath = path;
    job.m_nWordsImported = 0;
    job.m_nInvalidUtf8Lines = 0;
    job.m_pWordList->SetFoldAccents(job.m_bFoldAccents);

    // Only a plain file can be measured and read three times alike, and the
    // temporary dictionary.$$$ would be emptied by the import itself.
    CFileException error(CFileException::none, 0, path);
    job.m_strTextError.clear();
    if (!job.m_pWordList->Open(path, CFile::modeRead | CFile::shareDenyNone, &error))
        job.m_strTextError = std::strerror(error.m_lOsError);
    else if (!job.m_pWordList->OpenedRegularFile())
        job.m_strTextError = "Not a regular file";
    else if (CFile::IsSameFile(path, job.m_pNewDict->GetTempPath()))
        job.m_strTextError = "It is the dictionary's own temporary file";
    if (!job.m_strTextError.empty()) {
        delete job.m_pWordList;
        return Finish(job, IDS_CANNOT_OPEN_TEXT, MsgIcon::Exclamation);
    }
    if (!job.m_pNewDict->OpenForWriting()) {
        delete job.m_pWordList;
        return Finish(job, IDS_CANNOT_OPEN_TEMP, MsgIcon::Exclamation);
    }

    job.m_pProgressDlg = new CProgressDlg;
    job.m_pProgressDlg->SetTitle(IDS_LOADING_TITLE);
    std::unique_ptr<CWinThread> worker = AfxBeginThread(ImportThreadProc, &job);
    if (!worker) {
        delete job.m_pWordList;
        job.m_pNewDict->Abort();
        return Finish(job, IDS_CANNOT_START_TASK, MsgIcon::Stop);
    }
    const int nResult = runModal(*job.m_pProgressDlg);
    worker->Join();  // the worker has reported; let it return before cleaning up

    if (nResult != IDOK)
        return ReportStop(job, worker->ExitCode());
    // A list without a single word (one saved as UTF-16, a binary file, a
    // list of phrases) would leave a dictionary in which every search fails:
    // it replaces the old one only when the user says so.
    if (job.m_nWordsImported == 0) {
        if (emptyList == EmptyWordList::Refuse)
            return Finish(job, IDS_EMPTY_WORD_LIST_REFUSED, MsgIcon::Exclamation);
        if (emptyList == EmptyWordList::Ask &&
            AfxMessageBox(IDS_EMPTY_WORD_LIST_QUESTION, MsgIcon::Exclamation, MsgButtons::YesNo) != IDYES)
            return Finish(job, IDS_LOAD_CANCELLED, MsgIcon::Information);
    }
    while (!job.m_pNewDict->ReplaceDictionary()) {
        if (!bAskRetry)
            return Finish(job, IDS_CANNOT_RENAME, MsgIcon::Exclamation);
        if (AfxMessageBox(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel) != IDRETRY)
            return Finish(job, IDS_LOAD_CANCELLED, MsgIcon::Information);
    }
    // The list's lines of two to four words go to the phrase file beside
    // the new dictionary.
    const CString& temp = job.m_pNewDict->GetTempPath();
    const size_t slash = temp.rfind('/');
    const CString dir = slash == CString::npos ? CString(".") : temp.substr(0, slash);
    job.m_strPhraseError.clear();
    WriteUserPhrases(path, dir + "/" + kPhraseFileName, job.m_strPhraseError);
    return Finish(job, IDS_LOAD_DONE, MsgIcon::Information);
}
