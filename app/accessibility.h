// Ties a label to the widget that screen readers and the label's mnemonic
// should reach. wxWidgets links each label to the next control it creates,
// but for the solutions list that is GTK's scrolled window around the tree
// view, which neither takes the focus nor carries the rows; the tree view
// itself must be the label's target.
#pragma once

#include <wx/string.h>

class wxStaticText;
class wxToolBar;
class wxWindow;

// Makes `label` (its "&" mnemonic and its text, for screen readers) lead to
// `target`'s own GTK widget `widget`; also names that widget `name`.
// Returns false when the toolkit's accessibility calls are not available.
bool LinkLabel(wxStaticText* label, GtkWidget* widget, const wxString& name);

// Gives `widget` the name screen readers announce for it. Returns false when
// the toolkit's accessibility calls are not available.
bool SetAccessibleName(GtkWidget* widget, const wxString& name);

// Names each button of `toolbar` after its tooltip: the buttons show only
// pictures, and GTK gives such buttons no name of their own.
void NameToolButtons(wxToolBar* toolbar);

// Names each button under `root` that shows only a picture after its
// tooltip, for the same reason.
void NamePictureButtons(wxWindow* root);

// The name screen readers get for `widget`, or empty.
wxString AccessibleName(GtkWidget* widget);

// Whenever GTK gives the keyboard focus to `from` (a container that holds no
// rows of its own), it moves on to `to`. Returns false without the toolkit.
bool ForwardFocus(GtkWidget* from, GtkWidget* to);
