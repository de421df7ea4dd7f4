// The About box (template 100): the program's picture, name and version.
#pragma once

#include <wx/dialog.h>

class wxStaticBitmap;

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* owner);

    wxStaticBitmap* Picture() const { return m_pPicture; }

private:
    wxStaticBitmap* m_pPicture = nullptr;
};
