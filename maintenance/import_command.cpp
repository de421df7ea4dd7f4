// The load command's steps after the file dialog: open the word list and the
// new dictionary file, run the worker behind the progress display, then put
// the new dictionary in place of the old one.
#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "maintenance/import_job.h"
#include "maintenance/word_list_file.h"
#include "phrases/phrase_file.h"
#include "phrases/user_phrases.h"
#include "platform/worker_thread.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace {

JobResult Closing(JobEnd end, UINT nMessage, MsgIcon icon, CString detail = CString()) {
    return {end, Status::Ok(), Status::Message(nMessage, icon, std::move(detail))};
}

}  // namespace

CImportJob::CImportJob(CString path, ImportOptions options)
    : m_options(std::move(options)), m_strTextPath(std::move(path)), m_pProgressDlg(std::make_unique<CProgressDlg>()) {}

// The dictionary object's destructor removes a dictionary.$$$ that was not used.
CImportJob::~CImportJob() = default;

int CImportJob::Ask(UINT nID, MsgButtons buttons, int unasked) const {
    return m_prompts.ask ? m_prompts.ask(nID, MsgIcon::Exclamation, buttons) : unasked;
}

JobResult CImportJob::Stopped(JobResult worker) const {
    switch (worker.end) {
    case JobEnd::Cancelled:
        worker.closing = Status::Message(IDS_LOAD_CANCELLED, MsgIcon::Information);
        break;
    case JobEnd::Refused:
        break;  // the worker's refusal is the closing message
    default:
        worker.end = JobEnd::Failed;
        worker.closing = Status::Message(IDS_LOAD_FAILED, MsgIcon::Stop);
        break;
    }
    return worker;
}

JobResult CImportJob::Run(const ModalRunner& runModal, const JobPrompts& prompts) {
    m_prompts = prompts;
    m_pWordList = std::make_unique<CWordListFile>();
    m_pNewDict = std::make_unique<CDictionary>(GetWorkDir());
    m_nWordsImported = 0;
    m_nInvalidUtf8Lines = 0;
    m_strPhraseError.clear();
    m_pWordList->SetFoldAccents(m_options.bFoldAccents);

    // The temporary dictionary.$$$ would be emptied by the import itself.
    Status opened = m_pWordList->OpenList(m_strTextPath);
    if (opened && CFile::IsSameFile(m_strTextPath, m_pNewDict->GetTempPath()))
        opened = Status::Message(IDS_CANNOT_OPEN_TEXT, MsgIcon::Exclamation, "It is the dictionary's own temporary file");
    if (!opened) {
        m_pWordList.reset();
        return {JobEnd::Failed, Status::Ok(), opened};
    }
    if (Status created = m_pNewDict->OpenForWriting(); !created) {
        // Why the new file could not be made, then what that means for the
        // import.
        if (m_prompts.tell)
            m_prompts.tell(created);
        m_pWordList.reset();
        JobResult failed = Closing(JobEnd::Failed, IDS_CANNOT_OPEN_TEMP, MsgIcon::Exclamation);
        failed.cause = std::move(created);
        return failed;
    }

    m_pProgressDlg->SetTitle(IDS_LOADING_TITLE);
    // Written by the worker, read here only after it has been joined.
    JobResult worker;
    std::jthread thread = StartWorkerThread([this, &worker] { worker = ImportThreadProc(); });
    if (!thread.joinable()) {
        m_pWordList.reset();
        m_pNewDict->Abort();
        return Closing(JobEnd::Failed, IDS_CANNOT_START_TASK, MsgIcon::Stop);
    }
    const int nResult = runModal(*m_pProgressDlg);
    thread.join();  // the worker has reported; let it return before going on

    if (nResult != IDOK || worker.end != JobEnd::Done)
        return Stopped(worker);
    // A list without a single word (one saved as UTF-16, a binary file, a
    // list of phrases) would leave a dictionary in which every search fails:
    // it replaces the old one only when the user says so.
    if (m_nWordsImported == 0) {
        if (m_options.emptyList == EmptyWordList::Refuse)
            return Closing(JobEnd::Refused, IDS_EMPTY_WORD_LIST_REFUSED, MsgIcon::Exclamation);
        if (m_options.emptyList == EmptyWordList::Ask &&
            Ask(IDS_EMPTY_WORD_LIST_QUESTION, MsgButtons::YesNo, IDNO) != IDYES)
            return Closing(JobEnd::Cancelled, IDS_LOAD_CANCELLED, MsgIcon::Information);
    }
    while (!m_pNewDict->ReplaceDictionary()) {
        if (!m_prompts.ask)
            return Closing(JobEnd::Failed, IDS_CANNOT_RENAME, MsgIcon::Exclamation);
        if (Ask(IDS_CANNOT_RENAME, MsgButtons::RetryCancel, IDCANCEL) != IDRETRY)
            return Closing(JobEnd::Cancelled, IDS_LOAD_CANCELLED, MsgIcon::Information);
    }
    // The list's lines of two to four words go to the phrase file beside
    // the new dictionary.
    const CString& temp = m_pNewDict->GetTempPath();
    const size_t slash = temp.rfind('/');
    const CString dir = slash == CString::npos ? CString(".") : temp.substr(0, slash);
    WriteUserPhrases(m_strTextPath, dir + "/" + kPhraseFileName, m_strPhraseError);
    return Closing(JobEnd::Done, IDS_LOAD_DONE, MsgIcon::Information);
}
