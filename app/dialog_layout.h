// Lays out a dialog's controls from its template's dialog units. GTK draws
// controls taller (and some wider) than the templates allow, so each control
// is grown to at least its best size while keeping its place, and the dialog
// grows to hold them all.
#pragma once

#include <wx/window.h>

#include "res/dialog_templates.h"

class CDialogLayout {
public:
    explicit CDialogLayout(wxWindow* dialog) : m_dialog(dialog) {}

    // The template rectangle in pixels of this dialog's font.
    wxRect ToPixels(const tmpl::Rect& r) const;

    // Puts `control` at the template rectangle, at least as large as its best
    // size. With bUseTemplateHeight false the template height is ignored (a
    // combo box's template height includes its dropped list).
    wxRect Place(wxWindow* control, const tmpl::Rect& r, bool bUseTemplateHeight = true);
    // Puts `control` at a rectangle already worked out in pixels.
    void PlaceRect(wxWindow* control, const wxRect& rect);
    // The template rectangle grown to the control's best size.
    wxRect Grown(wxWindow* control, const tmpl::Rect& r) const;

    // Sets the dialog's client size to the template size, or larger where
    // grown controls need it, keeping a margin of 4 dialog units.
    void FitDialog(int cxTemplate, int cyTemplate);

private:
    wxWindow* m_dialog;
    wxRect m_bounds;
};
