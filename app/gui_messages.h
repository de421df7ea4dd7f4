// Message boxes of the desktop program. The engine raises messages by
// string-table id through AfxMessageBox; the sink installed here shows them as
// dialogs captioned with the program's title. A message raised on a worker
// thread is handed to the user-interface thread, which shows it while the
// worker waits for the answer.
#pragma once

#include <wx/string.h>

#include "platform/message_box.h"

class wxWindow;

// The text a message box shows for string-table entry nID, whose text is
// `text`: the entry itself, and for a dictionary that is missing or empty
// (106, 108) where it was looked for and how to make one.
wxString MessageText(UINT nID, const CString& text);

// The program's title for an executable named `exeName` (without its
// extension): the main window's caption when the name is the program's own
// in any case ("gridwell" gives "Gridwell"), else the name as it is, so a
// copy under another name is captioned with that name.
wxString AppTitleFor(const wxString& exeName);
// The title of this process's executable.
wxString GetAppTitle();

// Shows `text` in a modal message box over the active window; returns IDOK,
// IDRETRY, IDCANCEL, IDYES or IDNO. Must run on the user-interface thread.
int ShowMessageBox(const wxString& text, MsgIcon icon, MsgButtons buttons);

// Installs the sink (on the user-interface thread, once at start-up).
void InstallGuiMessageSink();
