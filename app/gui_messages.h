// Message boxes of the desktop program. The engine raises messages by
// string-table id through AfxMessageBox; the sink installed here shows them as
// dialogs captioned with the program's title. A message raised on a worker
// thread is handed to the user-interface thread, which shows it while the
// worker waits for the answer.
#pragma once

#include <wx/string.h>

#include "platform/message_box.h"

class wxWindow;

// The program's title: the executable's file name without its extension.
wxString GetAppTitle();

// Shows `text` in a modal message box over the active window; returns IDOK,
// IDRETRY, IDCANCEL, IDYES or IDNO. Must run on the user-interface thread.
int ShowMessageBox(const wxString& text, MsgIcon icon, MsgButtons buttons);

// Installs the sink (on the user-interface thread, once at start-up).
void InstallGuiMessageSink();
