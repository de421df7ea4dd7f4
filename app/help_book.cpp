#include "app/help_book.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/stdpaths.h>

#include "app/accessibility.h"
#include "platform/data_dir.h"
#include "platform/message_box.h"
#include "res/string_table.h"

CHelpBook::CHelpBook() = default;

CHelpBook::~CHelpBook() { Close(); }

wxString CHelpBook::BookPath() {
    // Named after the executable's own file name, so a copy of the program
    // under another name looks for a book of that name.
    const wxString exeName = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetName();
    return wxString::FromUTF8(DataFilePath((exeName + ".htb").utf8_string().c_str()));
}

bool CHelpBook::ShowTopics() {
    if (!m_pController) {
        // The book is a zip archive; the help viewer reads it through the
        // archive file system.
        static bool archivesRegistered = false;
        if (!archivesRegistered) {
            wxFileSystem::AddHandler(new wxArchiveFSHandler);
            archivesRegistered = true;
        }
        auto controller = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE);
        if (!wxFileName::FileExists(BookPath()) || !controller->AddBook(wxFileName(BookPath()), false)) {
            AfxMessageBox(IDS_HELP_FAILED, MsgIcon::Exclamation);
            return false;
        }
        m_pController = std::move(controller);
    }
    if (!GetFrame())
        m_pController->SetFrameParameters("Help: %s", wxSize(760, 520));
    m_pController->DisplayContents();
    if (wxHtmlHelpFrame* frame = m_pController->GetFrame()) {
        wxWindow* window = frame->GetHelpWindow();
        if (window && window != m_pHelpWindow) {
            m_pHelpWindow = window;
            // Its toolbar and bookmark buttons show only pictures: they are
            // named after their tooltips for screen readers.
            if (auto* helpWindow = wxDynamicCast(window, wxHtmlHelpWindow))
                NameToolButtons(helpWindow->GetToolBar());
            NamePictureButtons(window);
            // Escape and Ctrl+W close it, as they close other windows here.
            frame->Bind(wxEVT_CHAR_HOOK, [frame](wxKeyEvent& event) {
                const int key = event.GetKeyCode();
                if ((key == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE) ||
                    (key == 'W' && event.GetModifiers() == wxMOD_CONTROL)) {
                    frame->Close();
                    return;
                }
                event.Skip();
            });
            window->Bind(wxEVT_DESTROY, [this, window](wxWindowDestroyEvent& event) {
                event.Skip();
                if (event.GetEventObject() == window && m_pHelpWindow == window)
                    m_pHelpWindow = nullptr;
            });
        }
        frame->Raise();
    }
    return true;
}

void CHelpBook::Close() {
    if (!m_pController)
        return;
    m_pController->Quit();
    wxHtmlHelpController* controller = m_pController.release();
    wxWindow* window = m_pHelpWindow;
    m_pHelpWindow = nullptr;
    if (!window) {
        delete controller;
        return;
    }
    // Quit only schedules the frame's deletion, and the help window calls its
    // controller while it is deleted, after its destroy notice: the
    // controller goes once that deletion is over.
    window->Bind(wxEVT_DESTROY, [controller, window](wxWindowDestroyEvent& event) {
        event.Skip();
        if (event.GetEventObject() == window && wxTheApp)
            wxTheApp->CallAfter([controller]() { delete controller; });
    });
}

wxFrame* CHelpBook::GetFrame() const { return m_pController ? m_pController->GetFrame() : nullptr; }

CHelpBook& TheHelpBook() {
    static CHelpBook book;
    return book;
}
