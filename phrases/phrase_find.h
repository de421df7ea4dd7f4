// The phrase side of one Find, for the window and the command line alike: a
// pattern with word breaks, the phrases of an ordinary search (Phrases on),
// and its abbreviations.
#pragma once

#include "dictionary/dictionary.h"
#include "phrases/phrase_pattern.h"
#include "phrases/phrase_search.h"

// The phrases of a pattern cut at its breaks (of one part: of as many
// letters, the breaks anywhere), at most `nMaxListed`. A refused query
// returns why, for the caller to show. `dict` is opened for reading.
Status FindPhrasesOfPattern(CDictionary& dict, bool anagram, const PhrasePattern& pattern, const CString& letters,
                            size_t nMaxListed, CFoundPhrases& found);

// The phrases of as many letters as the search `dict` has prepared: two
// words, three when at least half the letters are known. Uses the search
// state of `dict` and leaves it unspecified.
CFoundPhrases FindPhrasesOfSearch(CDictionary& dict, size_t nMaxListed);

// The abbreviations that fit the search `dict` has prepared. A missing list
// leaves strNote saying so; a damaged one, strError.
CFoundPhrases FindAbbreviationsOfSearch(const CDictionary& dict, bool bCommonFirst, size_t nMaxListed);
