// The program's menu (the window commands, then About, load and save) and
// the window commands it carries: minimize and restore, and Move and Size
// from the keyboard.
#include "app/main_dlg.h"

#include <wx/button.h>

#include "app/about_dlg.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"

using namespace tmpl::sys_cmd;

namespace {
// Keyboard move and size: pixels per arrow key press, and with Ctrl held.
constexpr int kMoveStep = 8;
constexpr int kMoveFineStep = 1;
}  // namespace

void CMainDlg::BuildProgramMenu() {
    // The window commands in their usual order, then the program's own.
    m_programMenu.Append(MenuIdOf(SC_RESTORE), "&Restore");
    m_programMenu.Append(MenuIdOf(SC_MOVE), "&Move");
    m_programMenu.Append(MenuIdOf(SC_SIZE), "&Size");
    m_programMenu.Append(MenuIdOf(SC_MINIMIZE), "Mi&nimize");
    m_programMenu.Append(MenuIdOf(SC_MAXIMIZE), "Ma&ximize");
    m_programMenu.AppendSeparator();
    m_programMenu.Append(MenuIdOf(SC_CLOSE), "&Close");
    const CString about = LoadStringText(IDS_ABOUTBOX);
    if (!about.empty()) {
        m_programMenu.AppendSeparator();
        m_programMenu.Append(MenuIdOf(IDM_ABOUTBOX), wxString::FromUTF8(about.c_str()));
        m_programMenu.Append(MenuIdOf(IDM_LOADDICT), wxString::FromUTF8(LoadStringText(IDS_LOAD_DICTIONARY).c_str()));
        m_programMenu.Append(MenuIdOf(IDM_SAVEDICT), wxString::FromUTF8(LoadStringText(IDS_SAVE_DICTIONARY).c_str()));
    }
    // The dialog has a sizing border but no maximize box.
    m_programMenu.Enable(MenuIdOf(SC_MAXIMIZE), false);
    SetMinimizeGrayed(false);
}

void CMainDlg::SetMinimizeGrayed(bool grayed) {
    m_programMenu.Enable(MenuIdOf(SC_MINIMIZE), !grayed);
    // Restore is offered only while there is something to restore.
    m_programMenu.Enable(MenuIdOf(SC_RESTORE), grayed);
}

void CMainDlg::OnSysCommand(unsigned nID) {
    const unsigned nCommand = nID & 0xFFF0;
    if (nCommand == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.ShowModal();
    } else if (nCommand == IDM_LOADDICT) {
        OnLoadDictionary();
    } else if (nCommand == IDM_SAVEDICT) {
        OnSaveDictionary();
    } else if (nCommand == SC_MINIMIZE) {
        SetMinimizeGrayed(true);
        Iconize(true);
    } else if (nCommand == SC_RESTORE) {
        SetMinimizeGrayed(false);
        Iconize(false);
    } else if (nCommand == SC_MOVE) {
        BeginKeyboardFrame(KeyboardFrame::Move);
    } else if (nCommand == SC_SIZE) {
        BeginKeyboardFrame(KeyboardFrame::Size);
    } else if (nCommand == SC_CLOSE) {
        Close();
    }
    // SC_MAXIMIZE: the dialog cannot be maximized.
}

void CMainDlg::ShowProgramMenu(const wxPoint& pos) {
    wxPoint where = pos;
    if (where == wxDefaultPosition) {
        const wxRect button = m_pMenuButton->GetRect();
        where = wxPoint(button.x, button.GetBottom() + 1);
    }
    PopupMenu(&m_programMenu, where);
}

void CMainDlg::OnIconize(wxIconizeEvent& event) {
    // However the window was minimized or restored (title bar, task bar or
    // this menu), Minimize is grayed exactly while it is minimized.
    SetMinimizeGrayed(event.IsIconized());
    event.Skip();
}

void CMainDlg::BeginKeyboardFrame(KeyboardFrame what) {
    m_keyboardFrame = what;
    m_frameStart = GetRect();
}

bool CMainDlg::HandleFrameKey(int key, int mods) {
    const int step = mods == wxMOD_CONTROL ? kMoveFineStep : kMoveStep;
    wxPoint delta;
    switch (key) {
    case WXK_LEFT:
        delta.x = -step;
        break;
    case WXK_RIGHT:
        delta.x = step;
        break;
    case WXK_UP:
        delta.y = -step;
        break;
    case WXK_DOWN:
        delta.y = step;
        break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        m_keyboardFrame = KeyboardFrame::None;
        return true;
    case WXK_ESCAPE:
        m_keyboardFrame = KeyboardFrame::None;
        SetSize(m_frameStart);
        return true;
    default:
        // Any other key ends the move or size where the window is.
        m_keyboardFrame = KeyboardFrame::None;
        return false;
    }
    if (m_keyboardFrame == KeyboardFrame::Move) {
        Move(GetPosition() + delta);
    } else {
        // Right and Down move the bottom right corner out, Left and Up in;
        // never below the window's smallest size.
        wxSize size = GetSize() + wxSize(delta.x, delta.y);
        size.IncTo(GetMinSize());
        SetSize(size);
    }
    return true;
}
