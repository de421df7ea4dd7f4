// A typed pattern cut at its word breaks: `i?e c?e?m`, `3,5`, `4-4`, `(3,2)`
// (an enumeration as a puzzle prints it). A space, comma or hyphen between
// two parts is a break; a run of them (", ") is one break, a hyphen's if it
// holds one. Round brackets around the whole pattern are left out; a hyphen
// inside square brackets belongs to the part (a letter range). Each part
// keeps the query grammar of a pattern of its own.
#pragma once

#include <vector>

#include "platform/cstring.h"

struct PhrasePattern {
    std::vector<CString> parts;  // as typed, without the separators
    std::vector<char> breaks;    // between parts: ' ' or '-'
};

// Cuts `text` at its breaks. False when the text holds no break between two
// parts, so that it is searched as the pattern it is: `cat`, and `cat ` or
// `-cat` too (refused there as before). A pattern in round brackets is
// unwrapped even without a break: `(5)` gives the one part `5`.
bool SplitPhrasePattern(const CString& text, PhrasePattern& out);
