// What the import and export jobs share with the front ends that run them:
// the modal progress run, the way a job asks the user a question, and how a
// job ended together with the messages that say so.
#pragma once

#include <functional>

#include "platform/status.h"
#include "res/string_table.h"

class CProgressDlg;

// Runs the progress display modally until the worker completes (IDOK) or
// stops (IDCANCEL): a dialog in the desktop program, a status line in the
// command-line tool.
using ModalRunner = std::function<int(CProgressDlg&)>;

// Asks the user a question on string-table entry nID with the given buttons;
// returns the button chosen (IDYES, IDRETRY, ...).
using JobQuestion = std::function<int(UINT nID, MsgIcon icon, MsgButtons buttons)>;

// The front end's ways to reach the user while a job runs; either may be
// left empty.
struct JobPrompts {
    // Shows what stopped the worker while the progress display is still up:
    // the worker waits until it has been shown, then stops. Without it the
    // reason is only in the job's result.
    std::function<void(const Status&)> tell;
    // Asks the job's questions; without it nothing is asked (see each job).
    JobQuestion ask;
};

enum class JobEnd {
    Done,           // the job did what it was for
    Cancelled,      // the user cancelled, or chose not to go on
    Refused,        // the input was refused; `closing` says why
    Failed,         // something went wrong
    EndedByReader,  // the export's reader closed its pipe: nothing to report
};

// How a job ended: `cause` is what stopped the worker when it has a message
// of its own (told through JobPrompts::tell as it stopped), `closing` the
// job's last message, for the front end to show once the job has returned.
// Either is Status::Ok() when there is no such message.
struct JobResult {
    JobEnd end = JobEnd::Failed;
    Status cause;
    Status closing;
};

// Shows the closing message; returns its id (0 when there is none).
inline UINT ShowJobResult(const JobResult& result) {
    ShowStatus(result.closing);
    return result.closing.nMessage;
}
