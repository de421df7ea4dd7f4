// Writes pictures of the program's windows to the directory given on the
// command line: the main dialog after a search, the open history, the
// program menu, the progress dialog, a message box, the About box and the
// help window. Runs in the directory that holds the dictionary, under Xvfb
// (tests/gui/make-screenshots).
#include <cstdio>
#include <functional>
#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "app/about_dlg.h"
#include "app/gui_messages.h"
#include "app/help_book.h"
#include "app/main_dlg.h"
#include "app/meaning_wnd.h"
#include "app/solutions_list.h"
#include "app/progress_wnd.h"
#include "app/solutions_list.h"
#include "location/work_dir.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"
#include "tests/gui/gui_test_support.h"

namespace {

wxString g_outDir;
wxString g_xshot;
int g_failures = 0;

class ShotApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

// Saves the screen area `rect` (screen coordinates) as NAME.png. The X
// server's own picture of the screen is read (xshot.py), because a screen
// device context does not see popup menus.
void Shoot(const wxRect& rect, const char* name) {
    Settle(150);
    const wxString path = g_outDir + "/" + name + ".png";
    const wxString command = wxString::Format("/usr/bin/python3 %s %s %d %d %d %d", g_xshot, path, rect.x, rect.y,
                                              rect.width, rect.height);
    if (wxExecute(command, wxEXEC_SYNC | wxEXEC_NOEVENTS) != 0) {
        std::fprintf(stderr, "cannot write %s\n", static_cast<const char*>(path.utf8_str()));
        ++g_failures;
        return;
    }
    std::printf("%s\n", static_cast<const char*>(path.utf8_str()));
}

wxRect Around(wxWindow* win, int margin = 0) {
    wxRect r = win->GetScreenRect();
    r.Inflate(margin);
    return r.Intersect(wxRect(0, 0, 1280, 1024));
}

// Runs `action` once the next modal window is up (the action closes it).
void WhenModal(std::function<void()> action) {
    wxTheApp->CallAfter([action]() {
        Settle(300);
        action();
    });
}

wxDialog* TopModal() {
    for (auto it = wxTopLevelWindows.rbegin(); it != wxTopLevelWindows.rend(); ++it)
        if (auto* dlg = wxDynamicCast(*it, wxDialog); dlg && dlg->IsModal())
            return dlg;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [XSHOT_SCRIPT]\n", argv[0]);
        return 2;
    }
    wxApp::SetInstance(new ShotApp);
    if (!wxEntryStart(argc, argv))
        return 1;
    wxTheApp->CallOnInit();
    wxInitAllImageHandlers();
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
        std::fprintf(stderr, "assertion at %s:%d: %s %s\n", static_cast<const char*>(file.utf8_str()), line,
                     static_cast<const char*>(cond.utf8_str()), static_cast<const char*>(msg.utf8_str()));
        ++g_failures;
    });
    g_outDir = wxString::FromUTF8(argv[1]);
    g_xshot = argc > 2 ? wxString::FromUTF8(argv[2]) : wxString("xshot.py");
    RecordWorkDir();
    InstallGuiMessageSink();

    auto* dlg = new CMainDlg();
    dlg->Show();
    Settle(300);
    Shoot(Around(dlg), "main-dialog-empty");

    // A few searches for the history, then the one on show.
    for (const char* pattern : {"c?t", "s3e"}) {
        dlg->PatternCombo()->ChangeValue(pattern);
        dlg->OnFind();
    }
    dlg->LettersEdit()->ChangeValue("ea");
    dlg->PatternCombo()->ChangeValue("??t?");
    dlg->OnFind();
    dlg->AnagramRadio()->SetValue(true);
    dlg->LettersEdit()->ChangeValue("");
    dlg->PatternCombo()->ChangeValue("crate");
    dlg->OnFind();
    Shoot(Around(dlg), "main-dialog-anagram");
    // A Find that the limit cuts short, with its count line.
    dlg->MatchingRadio()->SetValue(true);
    dlg->PatternCombo()->ChangeValue("7");
    dlg->OnFind();
    Shoot(Around(dlg), "main-dialog");
    // Sized larger: the solutions take the room.
    {
        const wxSize size = dlg->GetSize();
        dlg->SetSize(size + wxSize(240, 160));
        Settle(300);
        Shoot(Around(dlg), "main-dialog-larger");
        dlg->SetSize(size);
        Settle(200);
    }

    // Common words first, with the limit: the 100 most common of all.
    dlg->CommonCheck()->SetValue(true);
    dlg->MatchingRadio()->SetValue(true);
    dlg->PatternCombo()->ChangeValue("s3e");
    dlg->OnFind();
    Settle(400);  // the check box's change of colour is animated
    Shoot(Around(dlg), "main-dialog-common-first");
    dlg->CommonCheck()->SetValue(false);
    dlg->OnFind();  // the list in dictionary order again, as the box now says

    // The solutions' own menu, from a real right click on the list.
    {
        // Static: the handler stays bound for the menus opened later on.
        static bool shot = false;
        dlg->Bind(wxEVT_MENU_OPEN, [dlg](wxMenuEvent& event) {
            event.Skip();
            if (shot)
                return;
            shot = true;
            wxTheApp->CallAfter([dlg]() {
                const wxRect r = dlg->GetScreenRect();
                Shoot(wxRect(r.x, r.y, r.width + 200, r.height + 100).Intersect(wxRect(0, 0, 1280, 1024)),
                      "solutions-menu");
                wxUIActionSimulator().Char(WXK_ESCAPE);
            });
        });
        dlg->SelectAllSolutions();
        wxUIActionSimulator sim;
        const wxRect list = dlg->Solutions()->GetScreenRect();
        sim.MouseMove(list.x + 40, list.y + 50);
        sim.MouseClick(wxMOUSE_BTN_RIGHT);
        WaitFor([]() { return shot; }, 5000);
        Settle(500);
    }

    // The open history, opened with a real click on the combo box's button.
    {
        wxUIActionSimulator sim;
        const wxRect combo = dlg->PatternCombo()->GetScreenRect();
        sim.MouseMove(combo.GetRight() - 10, combo.y + combo.height / 2);
        sim.MouseClick();
        Settle(500);
        Shoot(wxRect(dlg->GetScreenPosition(), wxSize(dlg->GetSize().x, dlg->GetSize().y + 140)), "history-open");
        sim.Char(WXK_ESCAPE);
        Settle(300);
    }

    // The program menu, from a real click on its button.
    {
        bool shot = false;
        dlg->Bind(wxEVT_MENU_OPEN, [dlg, &shot](wxMenuEvent& event) {
            event.Skip();
            if (shot)
                return;
            shot = true;
            wxTheApp->CallAfter([dlg]() {
                const wxRect r = dlg->GetScreenRect();
                Shoot(wxRect(r.x, r.y, r.width + 260, r.height + 200).Intersect(wxRect(0, 0, 1280, 1024)),
                      "program-menu");
                wxUIActionSimulator().Char(WXK_ESCAPE);
            });
        });
        wxUIActionSimulator sim;
        const wxRect button = dlg->MenuButton()->GetScreenRect();
        sim.MouseMove(button.x + button.width / 2, button.y + button.height / 2);
        sim.MouseClick();
        WaitFor([&shot]() { return shot; }, 5000);
        Settle(500);
    }

    // The progress dialog part way through an import.
    {
        CProgressDlg job;
        job.SetTitle(IDS_LOADING_TITLE);
        job.SetRange(26, 50, 1, 7);
        job.SetStatus(IDS_COUNTING_WORDS);
        job.SetPos(4);
        CProgressWnd wnd(dlg, job);
        WhenModal([&wnd, &job]() {
            Shoot(Around(&wnd, 20), "progress-dialog");
            job.m_bStopped.store(true);
        });
        wnd.RunModal();
    }

    // A message box: the Retry/Cancel question of a failed replacement.
    WhenModal([]() {
        if (wxDialog* box = TopModal()) {
            Shoot(Around(box, 10), "message-box");
            box->EndModal(wxID_CANCEL);
        }
    });
    AfxMessageBox(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel);
    WhenModal([]() {
        if (wxDialog* box = TopModal()) {
            Shoot(Around(box, 10), "message-box-information");
            box->EndModal(wxID_OK);
        }
    });
    AfxMessageBox(IDS_LOAD_DONE, MsgIcon::Information);
    // No dictionary: where it was looked for and how to make one.
    WhenModal([]() {
        if (wxDialog* box = TopModal()) {
            Shoot(Around(box, 10), "message-box-no-dictionary");
            box->EndModal(wxID_OK);
        }
    });
    AfxMessageBox(IDS_CANNOT_OPEN_DICT, MsgIcon::Stop);

    // The About box.
    {
        CAboutDlg about(dlg);
        WhenModal([&about]() {
            Shoot(Around(&about, 10), "about-box");
            about.EndModal(1);
        });
        about.ShowModal();
    }

    // A clue, and the Meaning window of the first word it ranks.
    dlg->AnagramRadio()->SetValue(false);
    dlg->MatchingRadio()->SetValue(true);
    dlg->PatternCombo()->ChangeValue("s3e");
    dlg->ClueEdit()->ChangeValue("rock");
    dlg->OnFind();
    Settle(200);
    Shoot(Around(dlg), "main-dialog-clue-words");
    if (dlg->Solutions()->GetCount() > 0) {
        dlg->Solutions()->SetFocus();
        dlg->Solutions()->SelectOnly(1);
        dlg->ShowMeaning();
        Settle(400);
        if (dlg->MeaningWindow()) {
            Shoot(Around(dlg->MeaningWindow(), 10), "meaning-window");
            Shoot(Around(dlg).Union(Around(dlg->MeaningWindow())), "meaning-beside-main-dialog");
        } else
            ++g_failures;
    }
    dlg->ClueEdit()->ChangeValue("");

    // The help window.
    if (TheHelpBook().ShowTopics() && TheHelpBook().GetFrame()) {
        wxFrame* frame = TheHelpBook().GetFrame();
        frame->SetSize(wxRect(20, 20, 900, 600));
        Settle(600);
        Shoot(Around(frame), "help-window");
    } else {
        ++g_failures;
    }
    TheHelpBook().Close();
    dlg->Destroy();
    Settle(100);
    SetMessageSink(nullptr);
    wxEntryCleanup();
    return g_failures ? 1 : 0;
}
