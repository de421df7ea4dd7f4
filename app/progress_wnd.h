// The progress dialog's window (template 130): a status line, a percentage, a
// progress bar and Cancel, in front of the main dialog while an import or
// export runs on a worker thread. It shows what the job's CProgressDlg holds,
// on a 600 ms timer, and closes with IDOK when the worker completes or IDCANCEL
// when it has stopped. Cancel only asks the worker to stop.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include "progress/progress_dlg.h"

class wxGauge;
class wxStaticText;
class wxButton;

class CProgressWnd : public wxDialog {
public:
    // `owner` is the main dialog: the window opens at the top left corner of
    // its client area.
    CProgressWnd(wxWindow* owner, CProgressDlg& job);
    ~CProgressWnd() override;

    // Runs the window modally; returns IDOK or IDCANCEL.
    int RunModal();

    // One display update, then closes the window when the worker is done.
    void OnTick();
    bool IsTimerRunning() const { return m_timer.IsRunning(); }
    int GetTimerInterval() const { return m_timer.GetInterval(); }

    wxStaticText* StatusCtrl() const { return m_pStatus; }
    wxStaticText* PercentCtrl() const { return m_pPercent; }
    wxGauge* Bar() const { return m_pBar; }
    wxButton* CancelButton() const { return m_pCancel; }

private:
    void ApplyUpdate(const CProgressDlg::DisplayUpdate& update);
    void OnInitDialog(wxInitDialogEvent& event);
    void OnCancelButton(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    CProgressDlg& m_job;
    wxTimer m_timer;
    wxStaticText* m_pStatus = nullptr;
    wxStaticText* m_pPercent = nullptr;
    wxGauge* m_pBar = nullptr;
    wxButton* m_pCancel = nullptr;
};
