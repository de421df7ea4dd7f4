// The desktop program's entry point.
#include "app/gridwell_app.h"

wxIMPLEMENT_APP(CGridwellApp);
