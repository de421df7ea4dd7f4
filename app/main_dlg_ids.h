// Window ids that the main dialog's files share.
#pragma once

#include <wx/defs.h>

// The solutions' menu item that opens the Meaning window.
constexpr int kMeaningMenuId = wxID_HIGHEST + 1;
