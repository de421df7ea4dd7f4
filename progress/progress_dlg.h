// CProgressDlg: the protocol between a worker thread and the progress display.
// The worker only stores ranges, positions, texts and flags here; the display
// (the desktop program's dialog or the command-line tool's status line) reads
// them on its own thread through Tick(). Flags and the percentage are atomic;
// the status and title texts change hands under a mutex with their flags.
#pragma once

#include <atomic>
#include <functional>
#include <cstdint>
#include <mutex>
#include <optional>

#include "platform/cstring.h"

class CProgressDlg {
public:
    // What the display should change at one update; an empty field means
    // "leave as it is".
    struct DisplayUpdate {
        std::optional<CString> status;
        std::optional<CString> title;
        std::optional<int> percent;  // new percentage for the bar
        CString percentText;         // "%3d%%" of percent, when percent is set
    };
    enum class TickResult { KeepOpen, EndOk, EndCancel };

    CProgressDlg();
    virtual ~CProgressDlg();

    // Worker side. Measures are 64-bit so that large files give true percentages.
    bool SetRange(int64_t nPctFrom, int64_t nPctTo, int64_t nFrom, int64_t nTo);
    // Runs once per word, so the usual case (the position stays among those
    // that share the percentage last worked out) is inline and does no more.
    int64_t SetPos(int64_t nPos) {
        const int64_t previous = m_nPos;
        m_nPos = nPos < m_nFrom ? m_nFrom : (nPos > m_nTo ? m_nTo : nPos);
        if (m_nPos < m_nSamePctFrom || m_nPos >= m_nSamePctTo)
            UpdatePercent();
        return previous;
    }
    void Complete();
    void SetStatus(UINT nID);
    void SetStatus(const CString& text);

    // Command side.
    void SetTitle(UINT nID);

    // Display side: the Cancel button (or Ctrl-C) only asks the worker to stop.
    void OnCancel() { m_bCancelRequested.store(true); }
    // The changes to show now (nothing once cancel has been requested).
    DisplayUpdate TakeDisplayUpdate();
    // One timer tick: reads the done flags first, then takes the update, so a
    // closing display always shows the final percentage.
    TickResult Tick(DisplayUpdate& update);

    static CString FormatPercent(int nPct);

    int GetPercent() const { return m_nPct.load(); }

    std::atomic<bool> m_bCancelRequested{false};
    std::atomic<bool> m_bStopped{false};
    std::atomic<bool> m_bComplete{false};

protected:
    // Works out the percentage of m_nPos, and the positions that share it.
    void UpdatePercent();

    // Worker-only values.
    int64_t m_nPctFrom = 0;
    int64_t m_nPctTo = 0;
    int64_t m_nFrom = 0;
    int64_t m_nTo = 0;
    int64_t m_nPos = 0;
    // Positions [from, to) give the percentage last stored (empty at first).
    int64_t m_nSamePctFrom = 0;
    int64_t m_nSamePctTo = 0;
    // Shared values.
    std::atomic<int> m_nPct{0};
    int m_nPctShown = -1;  // display only
    mutable std::mutex m_textMutex;
    bool m_bStatusChanged = true;
    bool m_bTitleChanged = false;
    CString m_strStatus;
    CString m_strTitle;
};

// Runs a job's progress without a window: ticks `dlg` every `intervalMs`
// until the worker completes (IDOK) or stops (IDCANCEL), handing each update
// to `onUpdate` and asking `wantCancel` whether to request a cancel.
int RunProgressLoop(CProgressDlg& dlg, int intervalMs,
                    const std::function<void(const CProgressDlg::DisplayUpdate&)>& onUpdate,
                    const std::function<bool()>& wantCancel);
