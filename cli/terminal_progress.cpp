#include "cli/terminal_progress.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>

#include "progress/progress_dlg.h"

namespace {

std::atomic<bool> g_interrupted{false};
// The job running now. Ctrl-C requests its cancel at once, as the Cancel
// button does; the process has only the command's thread and the worker, and
// the dialog is deleted only after the worker has been joined, so the handler
// never touches a deleted dialog.
std::atomic<CProgressDlg*> g_activeDialog{nullptr};
std::mutex g_outputMutex;
bool g_lineDrawn = false;  // guarded by g_outputMutex

extern "C" void OnInterrupt(int) {
    g_interrupted.store(true);
    if (CProgressDlg* dlg = g_activeDialog.load())
        dlg->OnCancel();
}

void ClearLineLocked() {
    if (g_lineDrawn) {
        std::fputs("\r\033[K", stderr);
        g_lineDrawn = false;
    }
}

}  // namespace

TerminalProgress::TerminalProgress(bool drawBar) : m_bDraw(drawBar) {
    g_interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

TerminalProgress::~TerminalProgress() {
    std::signal(SIGINT, SIG_DFL);
    std::lock_guard<std::mutex> lock(g_outputMutex);
    ClearLineLocked();
}

bool TerminalProgress::Interrupted() const { return g_interrupted.load(); }

CString TerminalProgress::FormatLine(const CString& status, const CString& percentText, int percent, int width) {
    if (percent < 0)
        percent = 0;
    if (percent > 100)
        percent = 100;
    const int filled = width * percent / 100;
    CString line = status + " " + percentText + " [";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(width - filled), '.');
    line += "]";
    return line;
}

// How often the progress is looked at. The line is redrawn only when the status
// or the percentage changed, so a short interval costs nothing visible; it
// matters at the end, where the command waits for the next look to see that
// the worker has finished (100 ms would add a tenth of a second to every job).
constexpr int kProgressIntervalMs = 5;

ModalRunner TerminalProgress::Runner() {
    const bool draw = m_bDraw;
    return [draw](CProgressDlg& dlg) {
        CString status;
        CString percentText = CProgressDlg::FormatPercent(0);
        int percent = 0;
        g_activeDialog.store(&dlg);
        const int result = RunProgressLoop(
            dlg, kProgressIntervalMs,
            [&](const CProgressDlg::DisplayUpdate& update) {
                if (update.status)
                    status = *update.status;
                if (update.percent) {
                    percent = *update.percent;
                    percentText = update.percentText;
                }
                if (!draw || (!update.status && !update.percent))
                    return;
                std::lock_guard<std::mutex> lock(g_outputMutex);
                std::fprintf(stderr, "\r\033[K%s", FormatLine(status, percentText, percent, 30).c_str());
                std::fflush(stderr);
                g_lineDrawn = true;
            },
            [] { return g_interrupted.load(); });
        g_activeDialog.store(nullptr);
        return result;
    };
}

MessageSink TerminalProgress::Sink() {
    return [](UINT, const CString& text, MsgIcon, MsgButtons buttons) {
        std::lock_guard<std::mutex> lock(g_outputMutex);
        ClearLineLocked();
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
        return buttons == MsgButtons::RetryCancel ? IDCANCEL : IDOK;
    };
}
