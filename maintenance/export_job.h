// CExportJob: the save command's work after its file dialog. It creates the
// text file and runs the export worker behind the progress display. A file
// is written under a temporary name and takes the chosen file's place only
// once the export is complete, so a cancelled or failed export leaves it as
// it was. The job owns every part it makes; they go when the job goes, so a
// front end shows the result while the job still exists.
#pragma once

#include <memory>

#include "maintenance/job_result.h"
#include "platform/cstring.h"

class CAtomicReplacement;
class CFile;
class CProgressDlg;

// The closing message id of an export that ended quietly because the
// output's reader went away (a closed pipe, as in `export - | head`): that
// is how other tools end then too, with no message.
inline constexpr UINT kExportEndedByReader = 0;

class CExportJob {
public:
    // An export to `path`, which Run creates.
    explicit CExportJob(CString path);
    // An export to an output that is open already (standard output, say),
    // written where it is; `name` stands for it ("-").
    CExportJob(std::unique_ptr<CFile> output, CString name);
    ~CExportJob();
    CExportJob(const CExportJob&) = delete;
    CExportJob& operator=(const CExportJob&) = delete;

    // Runs the whole export once. Its closing message is 59149 when it is
    // complete, 59150 after a cancel, none when the reader went away, else
    // the failure message. The prompts tell why the worker stopped.
    JobResult Run(const ModalRunner& runModal, const JobPrompts& prompts = JobPrompts());

    // The progress the worker reports; it exists for the job's whole life.
    CProgressDlg& Progress() { return *m_pProgressDlg; }
    const CString& TextPath() const { return m_strTextPath; }

    // The worker, on the calling thread (Run starts it on one of its own):
    // every word of the dictionary, shortest lengths first, one per line.
    // It closes the output on every path, and removes a file it made when
    // it does not complete. Its result tells how it ended and why.
    JobResult ExportThreadProc();

private:
    // Opens the output at m_strTextPath: Ok, or 59146 with the reason.
    Status CreateOutput();

    CString m_strTextPath;
    JobPrompts m_prompts;
    std::unique_ptr<CProgressDlg> m_pProgressDlg;
    std::unique_ptr<CFile> m_pTextFile;
    // The output under a temporary name beside m_strTextPath, which it
    // replaces only once the export is complete; null when the output is
    // written where it is (standard output, a device, a pipe).
    std::unique_ptr<CAtomicReplacement> m_pOutputReplacement;
};
