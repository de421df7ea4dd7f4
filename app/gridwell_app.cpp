#include "app/gridwell_app.h"

#include "app/gui_messages.h"
#include "app/help_book.h"
#include "app/main_dlg.h"
#include "location/dictionary_dir.h"
#include "location/work_dir.h"

bool CGridwellApp::OnInit() {
    // No command line of our own: the base class's parsing is not run.
    RecordDictionaryDir();
    InstallGuiMessageSink();
    auto* dlg = new CMainDlg();
    SetTopWindow(dlg);
    dlg->Show();
    // The program ends when the main dialog has been destroyed.
    SetExitOnFrameDelete(true);
    return true;
}

int CGridwellApp::OnExit() {
    TheHelpBook().Close();
    SetMessageSink(nullptr);
    return wxApp::OnExit();
}
