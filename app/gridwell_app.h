// CGridwellApp: the program's application object. It records the working
// directory (where the dictionary files are looked for), installs the
// message boxes, shows the main dialog and lives until that dialog closes.
#pragma once

#include <wx/app.h>

class CGridwellApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;
};

wxDECLARE_APP(CGridwellApp);
