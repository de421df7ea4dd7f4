#include "app/progress_wnd.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include "app/dialog_layout.h"
#include "platform/message_box.h"
#include "progress/progress_dlg.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"

namespace t = tmpl::progress_dlg;

CProgressWnd::CProgressWnd(wxWindow* owner, CProgressDlg& job)
    : wxDialog(owner, wxID_ANY, kProgressCaption, wxDefaultPosition, wxDefaultSize, wxCAPTION),
      m_job(job),
      m_timer(this, t::kTimerId) {
    CDialogLayout layout(this);
    // Creation order is tab order: Cancel first, as in the template.
    m_pCancel = new wxButton(this, t::IDC_CANCEL, t::kCancelText);
    // The status and percentage lines are read-only text with no border on
    // the dialog's own background: plain labels, which never take the focus.
    m_pStatus = new wxStaticText(this, t::IDC_STATUS, wxString(), wxDefaultPosition, wxDefaultSize,
                                 wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    m_pPercent = new wxStaticText(this, t::IDC_PERCENT, wxString(), wxDefaultPosition, wxDefaultSize,
                                  wxST_NO_AUTORESIZE | wxALIGN_RIGHT);
    m_pBar = new wxGauge(this, t::IDC_BAR, 100, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL | wxGA_SMOOTH);
    m_pStatus->SetName("Status");
    m_pPercent->SetName("Percentage");
    m_pBar->SetName("Progress");
    const wxRect status = layout.Place(m_pStatus, t::kStatus);
    wxRect percent = layout.ToPixels(t::kPercent);
    percent.width = std::max(percent.width, m_pPercent->GetTextExtent("100%").x + 8);
    percent.height = status.height;
    layout.PlaceRect(m_pPercent, percent);
    // The bar starts below the status line, however tall GTK made it, and
    // Cancel below the bar.
    wxRect bar = layout.ToPixels(t::kBar);
    bar.y = std::max(bar.y, status.GetBottom() + 2);
    layout.PlaceRect(m_pBar, bar);
    wxRect cancel = layout.Grown(m_pCancel, t::kCancel);
    cancel.y = std::max(cancel.y, bar.GetBottom() + 1 + ConvertDialogToPixels(wxSize(0, 4)).y);
    layout.PlaceRect(m_pCancel, cancel);
    layout.FitDialog(t::kWidth, t::kHeight);

    // Not centred: the top left corner of the owner's client area.
    if (owner)
        Move(owner->ClientToScreen(wxPoint(0, 0)));

    SetEscapeId(t::IDC_CANCEL);
    Bind(wxEVT_INIT_DIALOG, &CProgressWnd::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CProgressWnd::OnCancelButton, this, t::IDC_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CProgressWnd::OnClose, this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTick(); }, t::kTimerId);
}

CProgressWnd::~CProgressWnd() { m_timer.Stop(); }

int CProgressWnd::RunModal() { return ShowModal() == IDOK ? IDOK : IDCANCEL; }

void CProgressWnd::OnInitDialog(wxInitDialogEvent& event) {
    event.Skip();
    // The first display update, then one every 600 ms.
    CProgressDlg::DisplayUpdate update = m_job.TakeDisplayUpdate();
    ApplyUpdate(update);
    m_pCancel->SetFocus();
    if (!m_timer.IsRunning())
        m_timer.Start(t::kTimerMs);
}

void CProgressWnd::OnTick() {
    CProgressDlg::DisplayUpdate update;
    const CProgressDlg::TickResult result = m_job.Tick(update);
    ApplyUpdate(update);
    if (result == CProgressDlg::TickResult::KeepOpen)
        return;
    m_timer.Stop();
    if (IsModal())
        EndModal(result == CProgressDlg::TickResult::EndOk ? IDOK : IDCANCEL);
}

void CProgressWnd::ApplyUpdate(const CProgressDlg::DisplayUpdate& update) {
    if (update.status)
        m_pStatus->SetLabelText(wxString::FromUTF8(update.status->c_str()));
    if (update.title)
        SetTitle(wxString::FromUTF8(update.title->c_str()));
    if (update.percent) {
        m_pPercent->SetLabelText(update.percentText);
        m_pBar->SetValue(std::clamp(*update.percent, 0, 100));
    }
}

void CProgressWnd::OnCancelButton(wxCommandEvent&) {
    // The worker acknowledges by stopping; the next tick closes the window.
    m_job.OnCancel();
}

void CProgressWnd::OnClose(wxCloseEvent& event) {
    if (event.CanVeto()) {
        event.Veto();
        m_job.OnCancel();
        return;
    }
    event.Skip();
}
