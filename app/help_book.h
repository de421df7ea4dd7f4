// The program's help: an HTML help book named after the executable
// ("gridwell.htb" for "gridwell"), one of the program's data files (in
// PREFIX/share/gridwell when installed, beside the executable in the build
// tree), shown in a Help Topics window with its contents and index.
#pragma once

#include <memory>

#include <wx/string.h>

class wxHtmlHelpController;
class wxFrame;
class wxWindow;

class CHelpBook {
public:
    CHelpBook();
    ~CHelpBook();

    // The book's path: the data file named after the executable, ".htb".
    static wxString BookPath();

    // Opens the Help Topics window on the contents; false (after message
    // 61703) when the book cannot be loaded.
    bool ShowTopics();
    // Closes the Help Topics window, if open.
    void Close();
    // The open Help Topics window, or null.
    wxFrame* GetFrame() const;

private:
    std::unique_ptr<wxHtmlHelpController> m_pController;
    // The help window inside the Help Topics window while it exists. A closed
    // frame is deleted only at idle time, and its help window calls back into
    // its controller until then, so the controller must outlive it.
    wxWindow* m_pHelpWindow = nullptr;
};

// The one help book of the process.
CHelpBook& TheHelpBook();
