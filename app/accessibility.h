// Ties a label to the widget that screen readers and the label's mnemonic
// should reach. wxWidgets links each label to the next control it creates,
// but for the solutions list that is GTK's scrolled window around the tree
// view, which neither takes the focus nor carries the rows; the tree view
// itself must be the label's target.
#pragma once

#include <wx/string.h>

class wxStaticText;
class wxWindow;

// Makes `label` (its "&" mnemonic and its text, for screen readers) lead to
// `target`'s own GTK widget `widget`; also names that widget `name`.
// Returns false when the toolkit's accessibility calls are not available.
bool LinkLabel(wxStaticText* label, GtkWidget* widget, const wxString& name);

// The name screen readers get for `widget`, or empty.
wxString AccessibleName(GtkWidget* widget);

// Whenever GTK gives the keyboard focus to `from` (a container that holds no
// rows of its own), it moves on to `to`. Returns false without the toolkit.
bool ForwardFocus(GtkWidget* from, GtkWidget* to);
