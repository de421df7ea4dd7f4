// CMeaningWnd: the "Meaning" window. One per main dialog, non-modal and
// reused: it shows what WordNet says a word means, as plain text that can be
// selected, copied and read whole by a screen reader. Escape or its close
// box hides it; F6 goes back to the main dialog; it goes with the main
// dialog.
#pragma once

#include <wx/dialog.h>
#include <wx/weakref.h>

#include "platform/cstring.h"
#include "wordnet/wordnet_session.h"

class wxTextCtrl;

class CMeaningWnd : public wxDialog {
public:
    CMeaningWnd(wxWindow* parent, CWordNetSession& session);

    // Shows the meaning of `word` (the overview, "No meaning found for
    // WORD." or the message that WordNet is missing or damaged) under the
    // title "Meaning of WORD". A window not yet shown opens beside the main
    // dialog, without taking the keyboard focus from it. With `pFirst`, the
    // sense a clue matched comes first.
    void ShowWord(const CString& word, const WnSynsetRef* pFirst = nullptr);
    // Brings the window up with the focus in its text; F6 there gives the
    // focus back to `returnTo`.
    void TakeFocus(wxWindow* returnTo);
    const CString& Word() const { return m_strWord; }
    wxTextCtrl* TextBox() const { return m_pText; }

private:
    void PlaceBesideParent();
    void OnCharHook(wxKeyEvent& event);

    CWordNetSession& m_session;
    wxTextCtrl* m_pText = nullptr;
    CString m_strWord;
    wxWeakRef<wxWindow> m_returnFocus;
};
