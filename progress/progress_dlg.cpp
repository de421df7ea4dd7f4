#include "progress/progress_dlg.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

#include "platform/message_box.h"
#include "res/string_table.h"

CProgressDlg::CProgressDlg() : m_strStatus(kProgressInitialStatus) {}

CProgressDlg::~CProgressDlg() = default;

bool CProgressDlg::SetRange(int64_t nPctFrom, int64_t nPctTo, int64_t nFrom, int64_t nTo) {
    if (nPctFrom < 0 || nPctFrom > 100 || nPctTo <= nPctFrom || nPctTo < 0 || nPctTo > 100 || nFrom >= nTo)
        return false;
    m_nPctFrom = nPctFrom;
    m_nPctTo = nPctTo;
    m_nFrom = nFrom;
    m_nTo = nTo;
    m_nSamePctFrom = 0;
    m_nSamePctTo = 0;
    return true;
}

void CProgressDlg::UpdatePercent() {
    if (m_nFrom != m_nTo) {
        // Spans are at most 100 points and measures at most 2^62, so the
        // 128-bit product cannot overflow. The usual case, whose product fits
        // 64 bits, avoids the slower 128-bit division, and the shared
        // percentage is written only when it changes.
        const int64_t span = m_nPctTo - m_nPctFrom;
        const int64_t done = m_nPos - m_nFrom;
        int64_t pct;
        if (done <= INT64_MAX / 128) {
            pct = span * done / (m_nTo - m_nFrom);
        } else {
            const __int128 product = static_cast<__int128>(span) * done;
            pct = static_cast<int64_t>(product / (m_nTo - m_nFrom));
        }
        const int nPct = static_cast<int>(m_nPctFrom + pct);
        if (m_nPct.load(std::memory_order_relaxed) != nPct)
            m_nPct.store(nPct);
        // The positions with this percentage: done from ceil(pct * width /
        // span) up to, not including, ceil((pct + 1) * width / span).
        const int64_t width = m_nTo - m_nFrom;
        const auto firstDoneWith = [&](int64_t points) {
            const __int128 product = static_cast<__int128>(points) * width;
            return static_cast<int64_t>((product + span - 1) / span);
        };
        m_nSamePctFrom = m_nFrom + firstDoneWith(pct);
        m_nSamePctTo = m_nFrom + firstDoneWith(pct + 1);
    }
}

void CProgressDlg::Complete() {
    m_nPct.store(100);
    {
        std::lock_guard<std::mutex> lock(m_textMutex);
        m_strStatus = kProgressCompleteStatus;
    }
    m_bComplete.store(true);
}

void CProgressDlg::SetStatus(UINT nID) { SetStatus(LoadStringText(nID)); }

void CProgressDlg::SetStatus(const CString& text) {
    std::lock_guard<std::mutex> lock(m_textMutex);
    if (text != m_strStatus) {
        m_strStatus = text;
        m_bStatusChanged = true;
    }
}

void CProgressDlg::SetTitle(UINT nID) {
    const CString text = LoadStringText(nID);
    std::lock_guard<std::mutex> lock(m_textMutex);
    if (text != m_strTitle) {
        m_strTitle = text;
        m_bTitleChanged = true;
    }
}

CString CProgressDlg::FormatPercent(int nPct) { return FormatString("%3d%%", nPct); }

CProgressDlg::DisplayUpdate CProgressDlg::TakeDisplayUpdate() {
    DisplayUpdate update;
    if (m_bCancelRequested.load())
        return update;
    {
        std::lock_guard<std::mutex> lock(m_textMutex);
        if (m_bStatusChanged) {
            update.status = m_strStatus;
            m_bStatusChanged = false;
        }
        if (m_bTitleChanged) {
            update.title = m_strTitle;
            m_bTitleChanged = false;
        }
    }
    const int nPct = m_nPct.load();
    if (nPct != m_nPctShown) {
        m_nPctShown = nPct;
        update.percent = nPct;
        update.percentText = FormatPercent(nPct);
    }
    return update;
}

CProgressDlg::TickResult CProgressDlg::Tick(DisplayUpdate& update) {
    const bool complete = m_bComplete.load();
    const bool stopped = m_bStopped.load();
    update = TakeDisplayUpdate();
    if (complete)
        return TickResult::EndOk;
    if (stopped)
        return TickResult::EndCancel;
    return TickResult::KeepOpen;
}

int RunProgressLoop(CProgressDlg& dlg, int intervalMs,
                    const std::function<void(const CProgressDlg::DisplayUpdate&)>& onUpdate,
                    const std::function<bool()>& wantCancel) {
    for (;;) {
        if (wantCancel && wantCancel())
            dlg.OnCancel();
        CProgressDlg::DisplayUpdate update;
        const CProgressDlg::TickResult result = dlg.Tick(update);
        if (onUpdate)
            onUpdate(update);
        if (result == CProgressDlg::TickResult::EndOk)
            return IDOK;
        if (result == CProgressDlg::TickResult::EndCancel)
            return IDCANCEL;
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    }
}
