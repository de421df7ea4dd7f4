// The main dialog as a window: its layout from the template, the program
// menu (contents, graying, commands with low bits, the ways to open it), the
// About box, help, Ctrl+C, message boxes and the icon.
#include <malloc.h>

#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/statbox.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "app/about_dlg.h"
#include "app/gui_messages.h"
#include "app/help_book.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"
#include "tests/gui/main_dlg_fixture.h"

using Strings = std::vector<std::string>;
using namespace tmpl::sys_cmd;

// The About box, checked and closed with OK.
template <>
class wxExpectModal<CAboutDlg> : public wxExpectModalBase<CAboutDlg> {
protected:
    int OnInvoked(CAboutDlg* dlg) const override {
        EXPECT_EQ(dlg->GetTitle(), "About Gridwell");
        EXPECT_EQ(dlg->Picture()->GetBitmap().GetSize(), wxSize(80, 80));
        bool version = false;
        for (wxWindow* child : dlg->GetChildren())
            if (auto* text = wxDynamicCast(child, wxStaticText))
                version = version || text->GetLabel() == kAppVersionText;
        EXPECT_TRUE(version) << "no \"" << kAppVersionText << "\" line";
        return tmpl::about_dlg::IDC_OK;
    }
};

using ShellTest = MainDlgTest;

TEST_F(ShellTest, ControlsKeepTheirTemplatePlaceAndShowWhole) {
    EXPECT_EQ(m_dlg->GetTitle(), "Gridwell");
    const wxSize client = m_dlg->GetClientSize();
    EXPECT_GE(client.x, m_dlg->ConvertDialogToPixels(wxSize(300, 0)).x);
    EXPECT_GE(client.y, m_dlg->ConvertDialogToPixels(wxSize(0, 130)).y);
    std::vector<wxRect> controls;
    for (wxWindow* child : m_dlg->GetChildren()) {
        const wxRect r = child->GetRect();
        // At least its best size, so nothing is clipped...
        EXPECT_GE(r.width, child->GetBestSize().x) << child->GetLabel();
        EXPECT_GE(r.height, child->GetBestSize().y) << child->GetLabel();
        // ...and inside the dialog.
        EXPECT_TRUE(wxRect(client).Contains(r)) << child->GetLabel();
        if (!wxDynamicCast(child, wxStaticBox))
            controls.push_back(r);
    }
    // No two controls overlap (the group box holds its radio buttons).
    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(controls[i].Intersects(controls[j])) << "controls " << i << " and " << j << " overlap";
    // Template places: Find at (85, 10) dialog units.
    EXPECT_EQ(m_dlg->FindButton()->GetPosition(), m_dlg->ConvertDialogToPixels(wxPoint(85, 10)));
    EXPECT_EQ(m_dlg->PatternCombo()->GetPosition(), m_dlg->ConvertDialogToPixels(wxPoint(5, 75)));
}

TEST_F(ShellTest, EachLabelComesJustBeforeItsControl) {
    // Creation order is tab order and how screen readers pair labels.
    const wxWindowList& children = m_dlg->GetChildren();
    auto indexOf = [&children](wxWindow* win) {
        int i = 0;
        for (wxWindow* child : children) {
            if (child == win)
                return i;
            ++i;
        }
        return -1;
    };
    auto labelBefore = [&](wxWindow* control) {
        const int i = indexOf(control);
        int j = 0;
        for (wxWindow* child : children)
            if (j++ == i - 1)
                return child->GetLabel();
        return wxString();
    };
    EXPECT_EQ(labelBefore(m_dlg->PatternCombo()), "&Pattern to match:");
    EXPECT_EQ(labelBefore(m_dlg->LettersEdit()), "&Remaining letters:");
    EXPECT_EQ(labelBefore(m_dlg->Solutions()), "&Solutions:");
    EXPECT_LT(indexOf(m_dlg->MatchingRadio()), indexOf(m_dlg->AnagramRadio()));
    EXPECT_LT(indexOf(m_dlg->AnagramRadio()), indexOf(m_dlg->LimitCheck()));
}

TEST_F(ShellTest, IconHasBothSizes) {
    const wxIconBundle& icons = m_dlg->GetIcons();
    EXPECT_TRUE(icons.GetIcon(wxSize(16, 16), wxIconBundle::FALLBACK_NONE).IsOk());
    EXPECT_TRUE(icons.GetIcon(wxSize(32, 32), wxIconBundle::FALLBACK_NONE).IsOk());
}

TEST_F(ShellTest, ProgramMenuHoldsTheWindowCommandsThenTheProgramsOwn) {
    wxMenu& menu = m_dlg->ProgramMenu();
    Strings labels;
    for (wxMenuItem* item : menu.GetMenuItems())
        labels.push_back(item->IsSeparator() ? "-" : item->GetItemLabel().utf8_string());
    EXPECT_EQ(labels, (Strings{"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "-", "&Close", "-",
                               "&About Gridwell...", "&Load Dictionary from file...", "&Save Dictionary to file..."}));
    EXPECT_TRUE(menu.FindItem(IDM_ABOUTBOX));
    EXPECT_TRUE(menu.FindItem(IDM_LOADDICT));
    EXPECT_TRUE(menu.FindItem(IDM_SAVEDICT));
    EXPECT_FALSE(menu.IsEnabled(MenuIdOf(SC_MAXIMIZE)));
    EXPECT_TRUE(menu.IsEnabled(MenuIdOf(SC_SIZE)));
    EXPECT_TRUE(menu.IsEnabled(MenuIdOf(SC_MINIMIZE)));
    EXPECT_TRUE(menu.IsEnabled(MenuIdOf(SC_MOVE)));
    EXPECT_TRUE(menu.IsEnabled(MenuIdOf(SC_CLOSE)));
}

TEST_F(ShellTest, MinimizeIsGrayedUntilRestore) {
    wxMenu& menu = m_dlg->ProgramMenu();
    m_dlg->OnSysCommand(SC_MINIMIZE);
    EXPECT_FALSE(menu.IsEnabled(MenuIdOf(SC_MINIMIZE)));
    EXPECT_TRUE(menu.IsEnabled(MenuIdOf(SC_RESTORE)));
    m_dlg->OnSysCommand(SC_RESTORE);
    EXPECT_TRUE(menu.IsEnabled(MenuIdOf(SC_MINIMIZE)));
    EXPECT_FALSE(menu.IsEnabled(MenuIdOf(SC_RESTORE)));
    // Minimized or restored some other way (title bar, task bar).
    wxIconizeEvent minimized(m_dlg->GetId(), true);
    minimized.SetEventObject(m_dlg);
    m_dlg->GetEventHandler()->ProcessEvent(minimized);
    EXPECT_FALSE(menu.IsEnabled(MenuIdOf(SC_MINIMIZE)));
    wxIconizeEvent restored(m_dlg->GetId(), false);
    restored.SetEventObject(m_dlg);
    m_dlg->GetEventHandler()->ProcessEvent(restored);
    EXPECT_TRUE(menu.IsEnabled(MenuIdOf(SC_MINIMIZE)));
    // Maximize never comes back; Size stays.
    EXPECT_FALSE(menu.IsEnabled(MenuIdOf(SC_MAXIMIZE)));
    EXPECT_TRUE(menu.IsEnabled(MenuIdOf(SC_SIZE)));
}

TEST_F(ShellTest, CommandsWithLowBitsActAsTheirMultipleOf16) {
    wxTEST_DIALOG(m_dlg->OnSysCommand(17), wxExpectModal<CAboutDlg>());
    wxTEST_DIALOG(m_dlg->OnSysCommand(50), ExpectFileDialog(wxFD_SAVE | wxFD_OVERWRITE_PROMPT, wxString()));
    wxTEST_DIALOG(m_dlg->OnSysCommand(33), ExpectFileDialog(wxFD_OPEN | wxFD_FILE_MUST_EXIST, wxString()));
    m_dlg->OnSysCommand(SC_MINIMIZE + 3);
    EXPECT_FALSE(m_dlg->ProgramMenu().IsEnabled(MenuIdOf(SC_MINIMIZE)));
    m_dlg->OnSysCommand(SC_RESTORE + 15);
    EXPECT_TRUE(m_dlg->ProgramMenu().IsEnabled(MenuIdOf(SC_MINIMIZE)));
}

TEST_F(ShellTest, MenuItemsRunTheirCommands) {
    wxCommandEvent about(wxEVT_MENU, MenuIdOf(IDM_ABOUTBOX));
    wxTEST_DIALOG(m_dlg->GetEventHandler()->ProcessEvent(about), wxExpectModal<CAboutDlg>());
    wxCommandEvent close(wxEVT_MENU, MenuIdOf(SC_CLOSE));
    bool destroyed = false;
    m_dlg->Bind(wxEVT_DESTROY, [&destroyed, this](wxWindowDestroyEvent& e) {
        destroyed = destroyed || e.GetEventObject() == m_dlg;
        e.Skip();
    });
    m_dlg->GetEventHandler()->ProcessEvent(close);
    EXPECT_TRUE(WaitFor([&destroyed]() { return destroyed; }));
    m_dlg = nullptr;
}

TEST_F(ShellTest, MoveCommandMovesWithTheArrowKeysAndEscapePutsItBack) {
    const wxPoint start = m_dlg->GetPosition();
    m_dlg->OnSysCommand(SC_MOVE);
    ASSERT_TRUE(m_dlg->IsMoving());
    auto press = [this](int key, int mods = wxMOD_NONE) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = key;
        event.m_controlDown = (mods & wxMOD_CONTROL) != 0;
        event.SetEventObject(m_dlg);
        m_dlg->GetEventHandler()->ProcessEvent(event);
    };
    press(WXK_RIGHT);
    press(WXK_DOWN);
    press(WXK_DOWN, wxMOD_CONTROL);
    EXPECT_TRUE(WaitFor([&]() { return m_dlg->GetPosition() == start + wxPoint(8, 9); }));
    press(WXK_ESCAPE);
    EXPECT_FALSE(m_dlg->IsMoving());
    EXPECT_TRUE(WaitFor([&]() { return m_dlg->GetPosition() == start; }));
    EXPECT_TRUE(m_dlg->IsShown()) << "Escape ended the move, not the program";
    m_dlg->OnSysCommand(SC_MOVE);
    press(WXK_LEFT);
    press(WXK_RETURN);
    EXPECT_FALSE(m_dlg->IsMoving());
    EXPECT_TRUE(WaitFor([&]() { return m_dlg->GetPosition() == start - wxPoint(8, 0); }));
}

TEST_F(ShellTest, LargerWindowGivesTheRoomToTheSolutions) {
    // Every control's place at the default size.
    std::vector<std::pair<wxWindow*, wxRect>> before;
    for (wxWindow* child : m_dlg->GetChildren())
        before.emplace_back(child, child->GetRect());
    const wxSize start = m_dlg->GetSize();
    const wxRect list = m_dlg->Solutions()->GetRect();
    const wxRect count = m_dlg->CountLine()->GetRect();
    const wxRect note = m_dlg->ClueNote()->GetRect();
    const wxRect menuButton = m_dlg->MenuButton()->GetRect();

    m_dlg->SetSize(start + wxSize(200, 150));
    ASSERT_TRUE(WaitFor([&]() { return m_dlg->GetSize() == start + wxSize(200, 150); }));
    Settle(50);
    EXPECT_EQ(m_dlg->Solutions()->GetRect(), wxRect(list.x, list.y, list.width + 200, list.height + 150));
    EXPECT_EQ(m_dlg->CountLine()->GetRect(), wxRect(count.x, count.y + 150, count.width + 200, count.height));
    EXPECT_EQ(m_dlg->ClueNote()->GetRect(), wxRect(note.x, note.y + 150, note.width + 200, note.height));
    EXPECT_EQ(m_dlg->MenuButton()->GetRect(), wxRect(menuButton.x + 200, menuButton.y, menuButton.width,
                                                     menuButton.height));
    for (const auto& [child, rect] : before) {
        if (child != m_dlg->Solutions() && child != m_dlg->CountLine() && child != m_dlg->ClueNote() &&
            child != m_dlg->MenuButton()) {
            EXPECT_EQ(child->GetRect(), rect) << child->GetLabel().utf8_string() << " moved";
        }
    }
    // The list's column is as wide as the list's new room.
    EXPECT_TRUE(WaitFor([&]() { return m_dlg->Solutions()->GetShownColumnWidth() > list.width; }));

    // Never smaller than the default: Size from the keyboard stops there.
    m_dlg->OnSysCommand(SC_SIZE);
    ASSERT_TRUE(m_dlg->IsSizing());
    auto press = [this](int key) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = key;
        event.SetEventObject(m_dlg);
        m_dlg->GetEventHandler()->ProcessEvent(event);
    };
    for (int i = 0; i < 40; ++i) {
        press(WXK_LEFT);
        press(WXK_UP);
    }
    press(WXK_RETURN);
    EXPECT_FALSE(m_dlg->IsSizing());
    EXPECT_TRUE(WaitFor([&]() { return m_dlg->GetSize() == start; }));
    Settle(50);
    EXPECT_EQ(m_dlg->Solutions()->GetRect(), list);
    // Right and Down grow it; Escape puts the size back.
    m_dlg->OnSysCommand(SC_SIZE);
    press(WXK_RIGHT);
    press(WXK_DOWN);
    EXPECT_TRUE(WaitFor([&]() { return m_dlg->GetSize() == start + wxSize(8, 8); }));
    press(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([&]() { return m_dlg->GetSize() == start; }));
    EXPECT_TRUE(m_dlg->IsShown()) << "Escape ended the sizing, not the program";
}

TEST_F(ShellTest, ProgramMenuOpensFromButtonKeyboardAndRightClick) {
    m_dlg->Raise();
    Settle(50);
    int opened = 0;
    m_dlg->Bind(wxEVT_MENU_OPEN, [&opened](wxMenuEvent& event) {
        event.Skip();
        ++opened;
        wxTheApp->CallAfter([]() { wxUIActionSimulator().Char(WXK_ESCAPE); });
    });
    wxUIActionSimulator sim;
    auto clickAt = [&sim](const wxPoint& p, int button) {
        sim.MouseMove(p);
        wxTheApp->Yield(true);
        sim.MouseClick(button);
    };
    const wxRect button = m_dlg->MenuButton()->GetScreenRect();
    clickAt(button.GetPosition() + button.GetSize() / 2, wxMOUSE_BTN_LEFT);
    ASSERT_TRUE(WaitFor([&opened]() { return opened == 1; })) << "the menu button did not open the menu";
    Settle(100);

    m_dlg->FindButton()->SetFocus();
    Settle(50);
    sim.KeyDown(WXK_SHIFT);
    sim.Char(WXK_F10, wxMOD_SHIFT);
    sim.KeyUp(WXK_SHIFT);
    ASSERT_TRUE(WaitFor([&opened]() { return opened == 2; })) << "Shift+F10 did not open the menu";
    Settle(100);

    // A right click on the dialog's own background (beside the Help button).
    const wxPoint blank = m_dlg->ClientToScreen(m_dlg->ConvertDialogToPixels(wxPoint(110, 68)));
    clickAt(blank, wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(WaitFor([&opened]() { return opened == 3; })) << "a right click did not open the menu";
    Settle(100);

    // Alt+Space works in the text boxes too; Shift+F10 there is theirs.
    m_dlg->PatternCombo()->SetFocus();
    Settle(50);
    sim.KeyDown(WXK_ALT);
    sim.Char(WXK_SPACE, wxMOD_ALT);
    sim.KeyUp(WXK_ALT);
    ASSERT_TRUE(WaitFor([&opened]() { return opened == 4; })) << "Alt+Space did not open the menu";
    Settle(100);
    m_dlg->PatternCombo()->SetFocus();
    Settle(50);
    sim.KeyDown(WXK_SHIFT);
    sim.Char(WXK_F10, wxMOD_SHIFT);
    sim.KeyUp(WXK_SHIFT);
    Settle(300);
    // Close the text box's menu with a click on the dialog's background (an
    // Escape would close the dialog if no menu were open).
    clickAt(blank, wxMOUSE_BTN_LEFT);
    Settle(200);
    EXPECT_EQ(opened, 4) << "Shift+F10 in the pattern box opened the program menu";
}

TEST_F(ShellTest, AboutBoxIsModalOverTheMainDialog) {
    CAboutDlg about(m_dlg);
    wxTheApp->CallAfter([&about, this]() {
        EXPECT_TRUE(about.IsModal());
        EXPECT_EQ(about.GetParent(), m_dlg);
        EXPECT_TRUE(about.GetRect().Intersects(m_dlg->GetRect())) << "centred over its owner";
        // OK ends it.
        wxButton* ok = wxDynamicCast(about.FindWindow(tmpl::about_dlg::IDC_OK), wxButton);
        ASSERT_TRUE(ok);
        wxCommandEvent click(wxEVT_BUTTON, ok->GetId());
        click.SetEventObject(ok);
        ok->GetEventHandler()->ProcessEvent(click);
    });
    EXPECT_EQ(about.ShowModal(), tmpl::about_dlg::IDC_OK);
    EXPECT_FALSE(about.Picture()->IsEnabled() && about.Picture()->AcceptsFocus());
}

TEST_F(ShellTest, HelpOpensTopicsAndClosesWithTheMainDialog) {
    wxCommandEvent help(wxEVT_BUTTON, wxID_HELP);
    help.SetEventObject(m_dlg->FindWindow(wxID_HELP));
    m_dlg->GetEventHandler()->ProcessEvent(help);
    ASSERT_TRUE(TheHelpBook().GetFrame()) << "no Help Topics window";
    wxFrame* frame = TheHelpBook().GetFrame();
    EXPECT_TRUE(frame->IsShown());
    bool closed = false;
    frame->Bind(wxEVT_DESTROY, [&closed, frame](wxWindowDestroyEvent& e) {
        closed = closed || e.GetEventObject() == frame;
        e.Skip();
    });
    m_dlg->Close();
    m_dlg = nullptr;
    EXPECT_TRUE(WaitFor([&closed]() { return closed; })) << "help stayed open";
    EXPECT_EQ(TheHelpBook().GetFrame(), nullptr);
}

TEST_F(ShellTest, ClosedHelpWindowKeepsItsControllerUntilItIsDeleted) {
    // A closed frame is deleted at idle time; until then its help window
    // calls into its controller, which must still be there. Freed memory is
    // filled with a pattern meanwhile, so that a freed controller shows.
    ASSERT_TRUE(TheHelpBook().ShowTopics());
    auto* frame = wxDynamicCast(TheHelpBook().GetFrame(), wxHtmlHelpFrame);
    ASSERT_TRUE(frame);
    wxHtmlHelpWindow* window = frame->GetHelpWindow();
    ASSERT_TRUE(window);
    bool deleted = false;
    window->Bind(wxEVT_DESTROY, [&deleted, window](wxWindowDestroyEvent& e) {
        deleted = deleted || e.GetEventObject() == window;
        e.Skip();
    });
    mallopt(M_PERTURB, 0x5a);
    TheHelpBook().Close();
    ASSERT_FALSE(deleted);
    wxHtmlHelpWindow* shown = window->GetController()->GetHelpWindow();
    EXPECT_TRUE(shown == nullptr || shown == window) << "the help window's controller was freed";
    EXPECT_TRUE(WaitFor([&deleted]() { return deleted; })) << "help stayed open";
    mallopt(M_PERTURB, 0);
}

TEST_F(ShellTest, HelpBookIsNamedAfterTheExecutable) {
    EXPECT_EQ(wxFileName(CHelpBook::BookPath()).GetName(), ExpectedTitle());
    EXPECT_EQ(wxFileName(CHelpBook::BookPath()).GetExt(), "htb");
    EXPECT_TRUE(wxFileName::FileExists(CHelpBook::BookPath()));
}

TEST_F(ShellTest, MissingHelpBookShows61703) {
    const wxString book = CHelpBook::BookPath();
    const wxString aside = book + ".aside";
    ASSERT_TRUE(wxRenameFile(book, aside));
    TheHelpBook().Close();
    wxTEST_DIALOG(EXPECT_FALSE(TheHelpBook().ShowTopics()), ExpectMessage(IDS_HELP_FAILED, MsgIcon::Exclamation));
    ASSERT_TRUE(wxRenameFile(aside, book));
}

TEST_F(ShellTest, CtrlCCopiesTheSelectedWordsOnePerLine) {
    Find("c?t");
    m_dlg->Solutions()->SelectAll();
    ASSERT_TRUE(m_dlg->CopySelectedSolutions());
    wxString text;
    {
        wxClipboardLocker lock;
        ASSERT_TRUE(!!lock);
        wxTextDataObject data;
        ASSERT_TRUE(wxTheClipboard->GetData(data));
        text = data.GetText();
    }
    EXPECT_EQ(text, "CAT\nCOT\nCUT");

    // The same through the keyboard, with one word selected.
    {
        wxClipboardLocker lock;
        wxTheClipboard->SetData(new wxTextDataObject("before"));
    }
    Find("d?g");
    m_dlg->Solutions()->SelectAll();
    m_dlg->Solutions()->SetFocus();
    ASSERT_TRUE(WaitFor([this]() {
        wxWindow* focus = wxWindow::FindFocus();
        return focus && (focus == m_dlg->Solutions() || m_dlg->Solutions()->IsDescendant(focus));
    }));
    wxUIActionSimulator().Char('c', wxMOD_CONTROL);
    EXPECT_TRUE(WaitFor([]() {
        wxClipboardLocker lock;
        wxTextDataObject data;
        return wxTheClipboard->GetData(data) && data.GetText() == "DOG";
    })) << "Ctrl+C did not copy";
}

TEST_F(ShellTest, SolutionsMenuOpensFromRightClickAndKeysWithCopyAndSelectAll) {
    Find("c?t");
    m_dlg->Raise();
    Settle(50);
    // Each opened menu: its item texts and whether Copy can be chosen.
    std::vector<Strings> items;
    std::vector<bool> copyEnabled;
    std::vector<bool> meaningEnabled;
    m_dlg->Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) {
        event.Skip();
        Strings texts;
        if (wxMenu* menu = event.GetMenu()) {
            for (wxMenuItem* item : menu->GetMenuItems())
                texts.push_back(item->GetItemLabelText().utf8_string());
            copyEnabled.push_back(menu->IsEnabled(wxID_COPY));
            const int meaning = menu->FindItem("Meaning");
            meaningEnabled.push_back(meaning != wxNOT_FOUND && menu->IsEnabled(meaning));
        }
        items.push_back(texts);
        wxTheApp->CallAfter([]() { wxUIActionSimulator().Char(WXK_ESCAPE); });
    });
    wxUIActionSimulator sim;
    const wxRect list = m_dlg->Solutions()->GetScreenRect();
    sim.MouseMove(list.GetPosition() + wxPoint(20, list.height - 10));
    wxTheApp->Yield(true);
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(WaitFor([&]() { return items.size() == 1; })) << "a right click on the list opened no menu";
    EXPECT_EQ(items[0], (Strings{"Copy", "Select All", "", "Meaning"}));
    EXPECT_FALSE(copyEnabled[0]) << "Copy with nothing selected";
    EXPECT_FALSE(meaningEnabled[0]) << "Meaning with nothing selected";
    Settle(100);

    // With the focus on the rows: Ctrl+A selects every word, the Menu key
    // and Shift+F10 open the same menu, Copy now available.
    m_dlg->Solutions()->UnselectAll();
    m_dlg->Solutions()->SetFocus();
    Settle(50);
    sim.Char('a', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([this]() { return m_dlg->Solutions()->GetSelectedRows().size() == 3; })) << "Ctrl+A";
    sim.Char(WXK_MENU);
    ASSERT_TRUE(WaitFor([&]() { return items.size() == 2; })) << "the Menu key opened no menu";
    Settle(100);
    sim.KeyDown(WXK_SHIFT);
    sim.Char(WXK_F10, wxMOD_SHIFT);
    sim.KeyUp(WXK_SHIFT);
    ASSERT_TRUE(WaitFor([&]() { return items.size() == 3; })) << "Shift+F10 opened no menu";
    EXPECT_EQ(items[2], (Strings{"Copy", "Select All", "", "Meaning"}));
    EXPECT_TRUE(copyEnabled[2]);
    EXPECT_TRUE(meaningEnabled[2]);
    Settle(100);
}

TEST_F(ShellTest, HelpTopicsCloseWithEscapeAndCtrlW) {
    for (const int mods : {wxMOD_NONE, wxMOD_CONTROL}) {
        ASSERT_TRUE(TheHelpBook().ShowTopics());
        wxFrame* frame = TheHelpBook().GetFrame();
        ASSERT_TRUE(frame);
        frame->Raise();
        frame->SetFocus();
        ASSERT_TRUE(WaitFor([frame]() {
            wxWindow* focus = wxWindow::FindFocus();
            return focus && (focus == frame || frame->IsDescendant(focus));
        }));
        bool closed = false;
        frame->Bind(wxEVT_CLOSE_WINDOW, [&closed](wxCloseEvent& e) {
            closed = true;
            e.Skip();
        });
        wxUIActionSimulator().Char(mods == wxMOD_NONE ? static_cast<int>(WXK_ESCAPE) : 'w', mods);
        EXPECT_TRUE(WaitFor([&closed]() { return closed; })) << (mods == wxMOD_NONE ? "Escape" : "Ctrl+W");
        Settle(100);
    }
}

TEST_F(ShellTest, MessageBoxesAreCaptionedWithTheProgramTitle) {
    EXPECT_EQ(GetAppTitle(), ExpectedTitle());
    // The program's own name is written as its window's caption writes it;
    // a copy under another name keeps that name.
    EXPECT_EQ(AppTitleFor("gridwell"), "Gridwell");
    EXPECT_EQ(AppTitleFor("copy-of-gridwell"), "copy-of-gridwell");
    int answer = 0;
    wxTEST_DIALOG(answer = AfxMessageBox(IDS_LOAD_DONE, MsgIcon::Information),
                  ExpectMessage(IDS_LOAD_DONE, MsgIcon::Information));
    EXPECT_EQ(answer, IDOK);
    wxTEST_DIALOG(answer = AfxMessageBox(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel),
                  ExpectMessage(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel, wxID_OK));
    EXPECT_EQ(answer, IDRETRY);
    wxTEST_DIALOG(answer = AfxMessageBox(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel),
                  ExpectMessage(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel, wxID_CANCEL));
    EXPECT_EQ(answer, IDCANCEL);
    wxTEST_DIALOG(AfxMessageBox(IDS_CANNOT_OPEN_DICT, MsgIcon::Stop), ExpectMessage(IDS_CANNOT_OPEN_DICT, MsgIcon::Stop));
}

TEST_F(ShellTest, MessageFromAnotherThreadWaitsForTheAnswer) {
    std::atomic<int> answer{0};
    std::atomic<bool> returned{false};
    wxTEST_DIALOG(
        {
            std::thread worker([&]() {
                answer = AfxMessageBox(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel);
                returned = true;
            });
            EXPECT_TRUE(WaitFor([&returned]() { return returned.load(); }));
            worker.join();
        },
        ExpectMessage(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel, wxID_OK));
    EXPECT_EQ(answer.load(), IDRETRY);
}
