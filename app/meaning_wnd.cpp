#include "app/meaning_wnd.h"

#include <wx/display.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "app/accessibility.h"
#include "app/window_placement.h"
#include "res/string_table.h"

namespace {
// Room between the main dialog and this window, and the smallest size it
// is narrowed to where the screen is short of room.
constexpr int kGap = 8;
const wxSize kMinSize(260, 180);
// Its size as it opens (the user may size it while it is open).
const wxSize kDefaultSize(520, 360);
}  // namespace

CMeaningWnd::CMeaningWnd(wxWindow* parent, CWordNetSession& session)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(LoadStringText(IDS_MEANING_CAPTION).c_str()), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_session(session) {
    // A read-only text view: selectable and copyable, and one text object
    // that a screen reader reads from start to end.
    m_pText = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                             wxTE_MULTILINE | wxTE_READONLY | wxTE_WORDWRAP);
    m_pText->SetName(wxString::FromUTF8(LoadStringText(IDS_MEANING_CAPTION).c_str()));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_pText, 1, wxEXPAND | wxALL, 4);
    SetSizer(sizer);
    SetSize(FromDIP(kDefaultSize));
    SetEscapeId(wxID_CANCEL);
    // Hidden, not destroyed: the next request reuses the window.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Hide(); });
    Bind(wxEVT_CHAR_HOOK, &CMeaningWnd::OnCharHook, this);
}

void CMeaningWnd::OnCharHook(wxKeyEvent& event) {
    if (event.GetModifiers() == wxMOD_NONE && event.GetKeyCode() == WXK_ESCAPE) {
        Hide();
        return;
    }
    if (event.GetModifiers() == wxMOD_NONE && event.GetKeyCode() == WXK_F6 && GetParent()) {
        GetParent()->Raise();
        if (m_returnFocus)
            m_returnFocus->SetFocus();
        return;
    }
    event.Skip();
}

void CMeaningWnd::ShowWord(const CString& word, const WnSynsetRef* pFirst) {
    m_strWord = word;
    const CWordNetSession::Meaning meaning = m_session.LookUp(word, pFirst);
    m_pText->ChangeValue(wxString::FromUTF8(meaning.text.c_str()));
    m_pText->SetInsertionPoint(0);
    m_pText->ShowPosition(0);
    const wxString title = wxString::Format(wxString::FromUTF8(LoadStringText(IDS_MEANING_OF).c_str()),
                                            wxString::FromUTF8(word.c_str()));
    SetTitle(title);
    SetAccessibleName(m_pText->GetConnectWidget(), title);
    if (!IsShown()) {
        PlaceBesideParent();
        // The keyboard stays where it was (in the solutions, as a rule), so
        // the arrows go on moving through them; with a window manager a
        // newly shown window would take the focus.
        ShowWithoutActivating();
    }
}

void CMeaningWnd::TakeFocus(wxWindow* returnTo) {
    m_returnFocus = returnTo;
    Raise();
    m_pText->SetFocus();
}

void CMeaningWnd::PlaceBesideParent() {
    wxWindow* parent = GetParent();
    if (!parent)
        return;
    const wxRect screen = wxDisplay(parent).GetClientArea();
    SetSize(PlaceBeside(parent->GetScreenRect(), FromDIP(kDefaultSize), screen, FromDIP(kGap), FromDIP(kMinSize)));
}
