// The desktop program's pictures: icon 128 (16 and 32 pixels) and bitmap 129,
// the About picture (80 x 80 pixels).
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

// Icon 128 at both of its sizes, for a window's title bar and task bar.
wxIconBundle LoadAppIconBundle();
// Bitmap 129.
wxBitmap LoadAboutBitmap();
