// Where the program's own read-only data files are (the help book, the
// packaged default dictionary, the commonness table): found from the
// executable's location, never from the working directory, so that a program
// started in any folder finds them.
//
// Installed as PREFIX/bin/NAME, the data lives in PREFIX/share/gridwell/;
// run from its build tree, the data is built beside the executable.
#pragma once

#include "platform/cstring.h"

// The directory that holds the running executable ("" if it cannot be read).
CString ExecutableDir();

// The full path of data file `name`: PREFIX/share/gridwell/name when the
// executable sits in a "bin" folder that has it, else beside the executable.
// The file itself need not exist; callers open it and report what fails.
CString DataFilePath(const char* name);

// Tests: look for data files in `dir` instead ("" restores the default).
void SetDataDirForTesting(const CString& dir);

// The user's folder of one XDG kind for Gridwell: $VARIABLE/gridwell when
// `variable` (XDG_DATA_HOME, XDG_CONFIG_HOME) holds an absolute path, else
// HOME/`underHome`/gridwell (HOME from the password database when unset);
// "" when there is no home.
CString UserXdgDir(const char* variable, const char* underHome);
