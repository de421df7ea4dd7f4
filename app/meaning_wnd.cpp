#include "app/meaning_wnd.h"

#include <algorithm>

#include <wx/display.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "res/string_table.h"

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
    SetSize(FromDIP(wxSize(520, 360)));
    SetEscapeId(wxID_CANCEL);
    // Hidden, not destroyed: the next request reuses the window.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Hide(); });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE) {
            Hide();
            return;
        }
        event.Skip();
    });
}

void CMeaningWnd::ShowWord(const CString& word, const WnSynsetRef* pFirst) {
    m_strWord = word;
    const CWordNetSession::Meaning meaning = m_session.LookUp(word, pFirst);
    m_pText->ChangeValue(wxString::FromUTF8(meaning.text.c_str()));
    m_pText->SetInsertionPoint(0);
    m_pText->ShowPosition(0);
    if (!IsShown()) {
        // Beside the main dialog, where it hides no solution.
        if (wxWindow* parent = GetParent()) {
            const wxRect owner = parent->GetScreenRect();
            const wxRect screen = wxDisplay(parent).GetClientArea();
            const int x = std::max(screen.x, std::min(owner.GetRight() + 8, screen.GetRight() - GetSize().x));
            Move(x, std::max(screen.y, owner.GetTop()));
        }
        Show();
    }
}
