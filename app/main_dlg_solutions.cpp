// The dialog's keys and context menus, and what the solutions offer: their
// own menu, Select All, copying to the clipboard and the Meaning window.
#include "app/main_dlg.h"

#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>

#include "app/main_dlg_ids.h"
#include "app/meaning_wnd.h"
#include "app/solutions_list.h"
#include "res/string_table.h"

void CMainDlg::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const int mods = event.GetModifiers();
    if (m_keyboardFrame != KeyboardFrame::None && HandleFrameKey(key, mods))
        return;
    // While the Meaning window is open, Escape closes it, wherever the focus
    // is here; the next Escape is Exit. F6 goes over to it.
    if (m_pMeaning && m_pMeaning->IsShown() && mods == wxMOD_NONE) {
        if (key == WXK_ESCAPE) {
            m_pMeaning->Hide();
            return;
        }
        if (key == WXK_F6) {
            m_pMeaning->TakeFocus(FindFocus());
            return;
        }
    }
    wxWindow* focus = FindFocus();
    auto focusIn = [focus](wxWindow* control) { return focus && (focus == control || control->IsDescendant(focus)); };
    // Alt+Space opens the program menu anywhere; Shift+F10 and the Menu key
    // do too, except in the text boxes, which keep their own menu for them.
    const bool contextKey = (key == WXK_F10 && mods == wxMOD_SHIFT) ||
                            ((key == WXK_MENU || key == WXK_WINDOWS_MENU) && mods == wxMOD_NONE);
    // In the solutions they open the solutions' own menu.
    if (contextKey && focusIn(m_pSolutions)) {
        ShowSolutionsMenu();
        return;
    }
    if ((key == WXK_SPACE && mods == wxMOD_ALT) ||
        (contextKey && !focusIn(m_pPattern) && !focusIn(m_pLetters) && !focusIn(m_pClue))) {
        ShowProgramMenu();
        return;
    }
    if (mods == wxMOD_CONTROL && focusIn(m_pSolutions)) {
        if (key == 'C') {
            CopySelectedSolutions();
            return;
        }
        if (key == 'A') {
            SelectAllSolutions();
            return;
        }
    }
    event.Skip();
}

void CMainDlg::OnContextMenu(wxContextMenuEvent& event) {
    // The text boxes keep their own menu (cut, copy, paste).
    wxWindow* source = wxDynamicCast(event.GetEventObject(), wxWindow);
    if (source && (source == m_pPattern || source == m_pLetters || source == m_pClue ||
                   m_pPattern->IsDescendant(source))) {
        event.Skip();
        return;
    }
    const wxPoint screen = event.GetPosition();
    const wxPoint where = screen == wxDefaultPosition ? wxDefaultPosition : ScreenToClient(screen);
    if (source && (source == m_pSolutions || m_pSolutions->IsDescendant(source)))
        ShowSolutionsMenu(where);
    else
        ShowProgramMenu(where);
}

void CMainDlg::ShowSolutionsMenu(const wxPoint& pos) {
    wxMenu menu;
    menu.Append(wxID_COPY, "&Copy\tCtrl+C");
    menu.Append(wxID_SELECTALL, "Select &All\tCtrl+A");
    menu.AppendSeparator();
    menu.Append(kMeaningMenuId, wxString::FromUTF8(LoadStringText(IDS_MEANING_MENU).c_str()));
    menu.Enable(kMeaningMenuId, !MeaningWord().empty());
    menu.Enable(wxID_COPY, !m_bNoMatchRow && m_pSolutions->GetSelectedItemsCount() > 0);
    menu.Enable(wxID_SELECTALL, !m_bNoMatchRow && m_pSolutions->GetCount() > 0);
    wxPoint where = pos;
    if (where == wxDefaultPosition) {
        // From the keyboard: at the list's top left corner.
        where = m_pSolutions->GetPosition() + wxPoint(4, 4);
    }
    PopupMenu(&menu, where);
}

CString CMainDlg::MeaningWord() const {
    if (m_bNoMatchRow || m_pSolutions->GetCount() == 0)
        return CString();
    const int current = m_pSolutions->GetSelectedCurrentRow();
    if (current >= 0)
        return m_pSolutions->GetRow(static_cast<size_t>(current));
    const std::vector<std::string> rows = m_pSolutions->GetSelectedRows();
    return rows.empty() ? CString() : rows.front();
}

void CMainDlg::ShowMeaning() {
    const CString word = MeaningWord();
    if (word.empty())
        return;
    if (!m_pMeaning)
        m_pMeaning = new CMeaningWnd(this, m_wordnet);
    ShowMeaningOf(word);
}

void CMainDlg::OnSolutionSelected() {
    if (!m_pMeaning || !m_pMeaning->IsShown())
        return;
    const CString word = MeaningWord();
    if (!word.empty() && word != m_pMeaning->Word())
        ShowMeaningOf(word);
}

void CMainDlg::ShowMeaningOf(const CString& word) {
    // After a Find by a clue, the sense that answered it comes first.
    WnSynsetRef sense;
    const bool bSense = m_pScorer && m_pScorer->EvidenceSense(word, sense);
    m_pMeaning->ShowWord(word, bSense ? &sense : nullptr);
}

void CMainDlg::SelectAllSolutions() {
    if (!m_bNoMatchRow)
        m_pSolutions->SelectAll();
}

bool CMainDlg::CopySelectedSolutions() {
    if (m_bNoMatchRow)
        return false;
    const std::vector<std::string> rows = m_pSolutions->GetSelectedRows();
    if (rows.empty())
        return false;
    wxString text;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i)
            text += '\n';
        text += wxString::FromUTF8(rows[i].c_str());
    }
    wxClipboardLocker lock;
    if (!lock)
        return false;
    return wxTheClipboard->SetData(new wxTextDataObject(text));
}

// Load and save
