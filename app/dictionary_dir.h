// Where a program started anywhere keeps its dictionary files.
//
// The working directory the program started in, when it holds a
// dictionary.dat; otherwise the user's Gridwell folder, created on first use
// with the packaged default dictionary copied into it. A program without a
// packaged default (run from its build tree) keeps the working directory.
#pragma once

#include "platform/cstring.h"

// The user's Gridwell folder: $XDG_DATA_HOME/gridwell, or
// ~/.local/share/gridwell when the variable is unset, empty or relative.
// Empty when neither it nor a home folder is known.
CString UserDictionaryDir();

// Copies the file `source` to `dir`/dictionary.dat through a temporary file
// and a hard link, so dictionary.dat appears whole or not at all and an
// existing one is never replaced. True when dictionary.dat exists afterwards.
bool InstallDefaultDictionary(const CString& source, const CString& dir);

// Records the dictionary folder by the rule above, for the rest of the
// process (see work_dir.h). Creates the user's folder when it is chosen.
void RecordDictionaryDir();
