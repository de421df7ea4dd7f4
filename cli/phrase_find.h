// gridwell-cli find with phrases: a pattern with word breaks (`i?e c?e?m`,
// `3,5`), and --phrases / --abbreviations after the words of any pattern.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "phrases/phrase_pattern.h"
#include "phrases/phrase_search.h"

struct PhraseListing {
    size_t nListed = 0;  // lines written
    bool bFailed = false;  // a phrase file could not be read (said on stderr)
};

// Lists the phrases that fit a pattern with breaks (or, of one part, of as
// many letters: breaks anywhere), at most `nMaxListed`;
// false (nothing listed) when the query is refused, its message shown.
bool ListPhrasePattern(CDictionary& dict, bool anagram, const PhrasePattern& pattern, const CString& letters,
                       size_t nMaxListed, std::FILE* out, PhraseListing& listing);

// After the words of an ordinary search (`dict` holds its prepared query):
// its phrases of as many letters, at most `nMaxListed`.
void ListPhrasesOfSearch(CDictionary& dict, size_t nMaxListed, std::FILE* out, PhraseListing& listing);

// The abbreviations that fit the prepared search of `dict`, at most
// `nMaxListed`, most common first with bCommonFirst.
void ListAbbreviationsOfSearch(const CDictionary& dict, bool bCommonFirst, size_t nMaxListed, std::FILE* out,
                               PhraseListing& listing);

// The same abbreviations, returned instead of written (a clue ranks them
// before they are listed); notes and errors are said as above.
std::vector<CString> TakeAbbreviationsOfSearch(const CDictionary& dict, bool bCommonFirst, size_t nMaxListed,
                                               PhraseListing& listing);

// Says on stderr what a phrase search has to say besides its phrases: the
// cap on compositions, a note, an error (which also sets bFailed).
void ReportPhrases(const CFoundPhrases& found, PhraseListing& listing);
