// The command-line tool's progress display: the same progress protocol as the
// desktop program's dialog, drawn as one status line on stderr (only when
// stderr is a terminal), with Ctrl-C asking the worker to cancel.
#pragma once

#include "maintenance/job_result.h"
#include "platform/message_box.h"

class TerminalProgress {
public:
    // drawBar: whether to draw the status line (normally: stderr is a tty).
    explicit TerminalProgress(bool drawBar);
    ~TerminalProgress();

    // The runner to hand to the import and export commands.
    ModalRunner Runner();
    // The message sink: prints each message on stderr below the status line.
    MessageSink Sink();
    // True once Ctrl-C was pressed while a job ran.
    bool Interrupted() const;

    // The status line as drawn for a status, a percentage text and a percentage.
    static CString FormatLine(const CString& status, const CString& percentText, int percent, int width);

private:
    bool m_bDraw = false;
};
