// The save command's steps after the file dialog: create the text file and
// run the export worker behind the progress display.
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "location/work_dir.h"
#include "maintenance/export_job.h"
#include "platform/atomic_replacement.h"
#include "platform/file.h"
#include "platform/worker_thread.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace {

// True when `path` names dictionary.dat itself, under any name: creating the
// output would empty the dictionary before the export could read it. The
// temporary dictionary.$$$ is no output either: every dictionary object
// removes that file as a leftover once it is closed.
bool IsADictionaryFile(const CString& path) {
    return CFile::IsSameFile(path, WorkDirPath("dictionary.dat")) ||
           CFile::IsSameFile(path, WorkDirPath("dictionary.$$$"));
}

Status CannotCreate(CString reason) {
    return Status::Message(IDS_CANNOT_CREATE_TEXT, MsgIcon::Exclamation, std::move(reason));
}

}  // namespace

CExportJob::CExportJob(CString path)
    : m_strTextPath(std::move(path)), m_pProgressDlg(std::make_unique<CProgressDlg>()) {}

CExportJob::CExportJob(std::unique_ptr<CFile> output, CString name)
    : m_strTextPath(std::move(name)),
      m_pProgressDlg(std::make_unique<CProgressDlg>()),
      m_pTextFile(std::move(output)) {}

// The replacement's destructor removes a temporary file that never replaced
// its target.
CExportJob::~CExportJob() = default;

// A file (or no file yet) at the path is written under a temporary name
// beside it and replaced only by a complete export; a device or pipe there
// is written directly, as it cannot be replaced.
Status CExportJob::CreateOutput() {
    const CString& path = m_strTextPath;
    if (IsADictionaryFile(path))
        return CannotCreate("It is one of the dictionary's own files");
    m_pTextFile = std::make_unique<CFile>();
    struct stat st {};
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode))
        return CannotCreate(std::strerror(ELOOP));  // never written through a link: its target is not ours
    if (exists && S_ISDIR(st.st_mode))
        return CannotCreate(std::strerror(EISDIR));
    if (exists && !S_ISREG(st.st_mode)) {
        // Write-only: the export never reads its output, and a FIFO opened
        // for reading too would be its own reader, so nobody reading it would
        // go unnoticed and a full pipe would block the worker for good.
        CFileException error(CFileException::none, 0, path);
        if (!m_pTextFile->Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error))
            return CannotCreate(std::strerror(error.m_lOsError));
        return Status::Ok();
    }
    // A file that may not be written may not be replaced either.
    if (exists && ::access(path.c_str(), W_OK) != 0)
        return CannotCreate(std::strerror(errno));
    auto replacement = std::make_unique<CAtomicReplacement>();
    int nError = 0;
    if (!replacement->CreateBeside(*m_pTextFile, path, nError))
        return CannotCreate(std::strerror(nError));
    m_pOutputReplacement = std::move(replacement);
    return Status::Ok();
}

JobResult CExportJob::Run(const ModalRunner& runModal, const JobPrompts& prompts) {
    m_prompts = prompts;
    if (!m_pTextFile) {
        if (Status created = CreateOutput(); !created) {
            m_pTextFile.reset();
            return {JobEnd::Failed, Status::Ok(), created};
        }
    }
    m_pProgressDlg->SetTitle(IDS_SAVING_TITLE);
    // Written by the worker, read here only after it has been joined.
    JobResult result;
    std::jthread thread = StartWorkerThread([this, &result] { result = ExportThreadProc(); });
    if (!thread.joinable()) {
        // Nothing was written: the file just created is removed again.
        m_pTextFile->AbortAndRemove();
        return {JobEnd::Failed, Status::Ok(), Status::Message(IDS_CANNOT_START_TASK, MsgIcon::Stop)};
    }
    const int nResult = runModal(*m_pProgressDlg);
    thread.join();
    // Only a real Cancel is reported as one; a worker that stopped on a
    // failure says why, and the export failed.
    if (nResult == IDOK && result.end == JobEnd::Done) {
        result.closing = Status::Message(IDS_SAVE_DONE, MsgIcon::Information);
    } else if (result.end == JobEnd::Cancelled) {
        result.closing = Status::Message(IDS_SAVE_CANCELLED, MsgIcon::Information);
    } else if (result.end != JobEnd::EndedByReader) {
        result.end = JobEnd::Failed;
        result.closing = Status::Message(IDS_SAVE_FAILED, MsgIcon::Stop);
    }
    return result;
}
