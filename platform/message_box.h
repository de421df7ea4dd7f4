// Message boxes: the core raises them by id, text and icon (the string table
// in res/ looks an entry's text up by its id). Where they appear is up to the
// front end, which installs a sink: the command-line tool prints the text,
// the desktop program shows a dialog (on its own thread, while a worker
// waits), tests record what was shown.
#pragma once

#include <functional>

#include "platform/cstring.h"

enum class MsgIcon { Stop, Exclamation, Information };
// YesNo asks a question whose default button is No: only the answer IDYES
// means Yes, so a sink that answers IDOK (or a box that is closed) says No.
// YesNoDefaultYes is the other way round: only IDNO means No.
enum class MsgButtons { Ok, RetryCancel, YesNo, YesNoDefaultYes };

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDRETRY = 4;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

using MessageSink = std::function<int(UINT nID, const CString& text, MsgIcon icon, MsgButtons buttons)>;

// Installs the sink and returns the one it replaces (empty for none).
MessageSink SetMessageSink(MessageSink sink);

// Shows message nID with its text; returns the button chosen (IDOK, IDRETRY
// or IDCANCEL). Without a sink the text goes to stderr and the answer is
// IDOK, or IDCANCEL for a Retry/Cancel question. The string table
// (res/string_table.h) shows an entry by its id alone, its text looked up.
int AfxMessageBox(UINT nID, const CString& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);
