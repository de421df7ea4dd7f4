// The one thing the window remembers between sessions: the name of the
// dictionary it used last, in $XDG_CONFIG_HOME/gridwell/last-dictionary
// (~/.config/gridwell when the variable is unset, empty or relative).
#pragma once

#include "platform/cstring.h"

// The remembered name; empty when none is remembered or the file does not
// hold a dictionary name.
CString LoadLastDictionary();

// Remembers `name`: the file is written beside its old self and renamed
// over it, so it is always whole. False when it could not be written.
bool SaveLastDictionary(const CString& name);
