// The user's own phrases: the lines of two to four words of an imported word
// list (ICE CREAM, SELF-TAUGHT), kept in a phrase file beside the dictionary
// that a Find searches with the packaged one.
#pragma once

#include <string>

#include "platform/cstring.h"

// Reads the word list at `textPath` and writes its phrase lines to the
// phrase file `phrasePath` (through a temporary file, then renamed), or
// removes that file when the list holds none. A phrase line is two to four
// words of letters, each separated by one space or one hyphen; a CR before
// the line end is ignored. Returns the number of phrases written, or -1
// with `error` saying what failed.
long WriteUserPhrases(const CString& textPath, const CString& phrasePath, std::string& error);
