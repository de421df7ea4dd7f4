#include "res/gui_images.h"

#include <wx/icon.h>

#include "res/about_picture_129.xpm"
#include "res/app_icon_128_16.xpm"
#include "res/app_icon_128_32.xpm"

wxIconBundle LoadAppIconBundle() {
    wxIconBundle icons;
    icons.AddIcon(wxIcon(app_icon_128_16_xpm));
    icons.AddIcon(wxIcon(app_icon_128_32_xpm));
    return icons;
}

wxBitmap LoadAboutBitmap() { return wxBitmap(about_picture_129_xpm); }
