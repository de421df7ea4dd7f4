// The GUI tests' entry point: wxWidgets started on the (virtual) display,
// wxWidgets assertions turned into test failures, the program's message
// boxes installed.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/image.h>
#include <wx/toplevel.h>

#include "app/gui_messages.h"
#include "app/help_book.h"

namespace {

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wxWidgets assertion in " << func.utf8_string() << ": "
                                          << cond.utf8_string() << " " << msg.utf8_string();
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The window reads the user's dictionaries and the remembered one: a
    // scratch home of the run's own, never the real one.
    char home[] = "/tmp/gridwell-gui-home-XXXXXX";
    if (!::mkdtemp(home)) {
        std::perror("mkdtemp");
        return 1;
    }
    ::setenv("HOME", home, 1);
    ::setenv("XDG_DATA_HOME", (std::string(home) + "/data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (std::string(home) + "/config").c_str(), 1);
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets (no display?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxInitAllImageHandlers();
    wxSetAssertHandler(FailOnAssert);
    InstallGuiMessageSink();
    const int result = RUN_ALL_TESTS();
    TheHelpBook().Close();
    for (wxWindow* win : wxTopLevelWindows)
        win->Destroy();
    wxTheApp->Yield(true);
    SetMessageSink(nullptr);
    wxEntryCleanup();
    std::filesystem::remove_all(home);
    return result;
}
