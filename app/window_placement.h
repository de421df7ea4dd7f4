// Where a second window goes beside the main window, so that it hides none
// of the main window while the screen has room for both.
#pragma once

#include <wx/gdicmn.h>

// The rectangle for a window of `size` beside `owner` on `screen` (all in
// screen pixels), `gap` pixels away: to the owner's right where the screen
// has room for it, else to its left, else below it, else above it. Where no
// side has room for the whole window, it is narrowed (or made lower) to the
// roomiest strip beside the owner, as long as that leaves it `minSize`;
// failing that it goes to the screen's left edge, over the owner's left part
// (its controls) rather than its right part (the solutions).
wxRect PlaceBeside(const wxRect& owner, const wxSize& size, const wxRect& screen, int gap, const wxSize& minSize);
