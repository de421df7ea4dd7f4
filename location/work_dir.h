// The directory in which the dictionary files are looked for: the process's
// working directory when the program started, recorded once.
#pragma once

#include "platform/cstring.h"

// Records the current working directory (empty if it cannot be read).
void RecordWorkDir();
// Uses `dir` as the dictionary folder from now on (gridwell-cli -C, the
// user's Gridwell folder).
void SetWorkDir(const CString& dir);
// Tests: pretend the program was started in `dir`.
void SetWorkDirForTesting(const CString& dir);
const CString& GetWorkDir();
// The path of `fileName` in the recorded directory ("%s/%s").
CString WorkDirPath(const char* fileName);
