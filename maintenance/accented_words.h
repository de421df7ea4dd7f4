// Before a word list is loaded in the window: how many of its lines only
// folding their accented letters would make words (DÉJÀ, STRAßE), so that
// the user can be asked once whether to fold them.
#pragma once

#include <cstdint>

#include "platform/cstring.h"

// The lines of the UTF-8 file at `path` that are no word as they stand (2 to
// 255 letters A to Z) but are one once their Latin letters are folded; 0
// when the file cannot be read.
int64_t CountWordsOnlyFoldingKeeps(const CString& path);
