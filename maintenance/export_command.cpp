// The save command's steps after the file dialog: create the text file and
// run the export worker behind the progress display. The text file is made
// under a temporary name and takes the chosen file's place only once the
// export is complete, so a cancelled or failed export leaves it as it was.
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "location/work_dir.h"
#include "maintenance/job_context.h"
#include "platform/atomic_replacement.h"
#include "platform/file.h"
#include "platform/message_box.h"
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

// Opens the export's output. A file (or no file yet) at `path` is written
// under a temporary name beside it and replaced only by a complete export;
// a device or pipe there is written directly, as it cannot be replaced.
// Returns 0, or the system's reason why the output cannot be made.
int OpenOutput(CJobContext& job, const CString& path) {
    struct stat st {};
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode))
        return ELOOP;  // never written through a link: its target is not ours
    if (exists && S_ISDIR(st.st_mode))
        return EISDIR;
    if (exists && !S_ISREG(st.st_mode)) {
        // Write-only: the export never reads its output, and a FIFO opened
        // for reading too would be its own reader, so nobody reading it would
        // go unnoticed and a full pipe would block the worker for good.
        CFileException error(CFileException::none, 0, path);
        if (!job.m_pTextFile->Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error))
            return error.m_lOsError;
        return 0;
    }
    // A file that may not be written may not be replaced either.
    if (exists && ::access(path.c_str(), W_OK) != 0)
        return errno;
    job.m_pOutputReplacement = new CAtomicReplacement;
    int nError = 0;
    if (!job.m_pOutputReplacement->CreateBeside(*job.m_pTextFile, path, nError)) {
        delete job.m_pOutputReplacement;
        job.m_pOutputReplacement = nullptr;
        return nError;
    }
    return 0;
}

}  // namespace

UINT OnSaveDictionaryFile(CJobContext& job, const CString& path, const ModalRunner& runModal) {
    job.m_pTextFile = new CFile;
    job.m_strTextPath = path;
    job.m_strTextError.clear();
    if (IsADictionaryFile(path))
        job.m_strTextError = "It is one of the dictionary's own files";
    else if (const int nError = OpenOutput(job, path))
        job.m_strTextError = std::strerror(nError);
    if (!job.m_strTextError.empty()) {
        delete job.m_pTextFile;
        job.m_pTextFile = nullptr;
        AfxMessageBox(IDS_CANNOT_CREATE_TEXT, MsgIcon::Exclamation);
        return IDS_CANNOT_CREATE_TEXT;
    }
    return RunExportJob(job, runModal);
}

UINT RunExportJob(CJobContext& job, const ModalRunner& runModal) {
    job.m_pProgressDlg = new CProgressDlg;
    job.m_pProgressDlg->SetTitle(IDS_SAVING_TITLE);
    UINT nMessage = IDS_CANNOT_START_TASK;
    MsgIcon icon = MsgIcon::Stop;
    if (std::unique_ptr<CWinThread> worker = AfxBeginThread(ExportThreadProc, &job)) {
        const int nResult = runModal(*job.m_pProgressDlg);
        worker->Join();
        // Only a real Cancel is reported as one; a worker that stopped on a
        // failure has shown why, and the export failed.
        if (nResult == IDOK) {
            nMessage = IDS_SAVE_DONE;
            icon = MsgIcon::Information;
        } else if (worker->ExitCode() == kExportCancelled) {
            nMessage = IDS_SAVE_CANCELLED;
            icon = MsgIcon::Information;
        } else if (worker->ExitCode() == kExportReaderGone) {
            nMessage = kExportEndedByReader;
        } else {
            nMessage = IDS_SAVE_FAILED;
        }
    } else {
        // Nothing was written: the file just created is removed again.
        job.m_pTextFile->AbortAndRemove();
        delete job.m_pTextFile;
    }
    if (nMessage != kExportEndedByReader)
        AfxMessageBox(nMessage, icon);
    delete job.m_pProgressDlg;
    delete job.m_pOutputReplacement;  // removes a temporary file that never replaced its target
    job.m_pProgressDlg = nullptr;
    job.m_pTextFile = nullptr;
    job.m_pOutputReplacement = nullptr;
    return nMessage;
}
