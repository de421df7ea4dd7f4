// What one Find lists and how many words fit in all, shared by the window and
// the command line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dictionary/dictionary.h"

struct CFoundWords {
    std::vector<CString> words;  // the listed words, in listing order
    std::vector<CString> reasons;  // with a clue: each word's reason ("" for none); else empty
    int64_t nTotal = 0;          // every word that fits, listed or not
};

// Runs a search that PrepareSearch accepted with its limit off to the end of
// the block. With bLimit only the first 100 matches are listed; the rest are
// still counted (decoding them costs little next to listing them).
// With bCommonFirst the listed words are the most common matches, most
// common first (CollectCommonFirst, search/common_first.h).
CFoundWords CollectMatches(CDictionary& dict, bool bLimit, bool bCommonFirst = false);

// The line under the solutions: "100 of 35,601 words", "35,601 words",
// "1 word", and "" when no word fits (the list itself says so).
CString FormatWordCount(size_t nListed, int64_t nTotal);

// `n` with a comma between each group of three digits: 35601 -> "35,601".
CString FormatThousands(int64_t n);
