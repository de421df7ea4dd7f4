// gridwell-cli find --clue TEXT: the fitting words ranked by the clue, with
// the reason of each for --why.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "search/find_request.h"

// True when `clue` holds anything but blanks; otherwise find is the plain
// search.
bool HasClue(const std::string& clue);

// Runs a Find that PrepareFind accepted, ranked by `clue`, into `found`.
// Says once on stderr each clue word WordNet does not know, and that a clue
// of punctuation alone ranks nothing. False after showing the message that
// the WordNet database is missing or damaged. `leading` (the abbreviations a
// clue asks for) are ranked by the same clue and listed first.
bool FindByClue(CDictionary& dict, CFindRequest request, const std::string& clue, CFoundWords& found,
                std::vector<CString> leading = {});

// Ranks `candidates` (the phrases of a pattern with word breaks) by `clue`
// into `ranked`, at most `nMaxListed`; false as FindByClue.
bool RankByClue(const std::string& clue, std::vector<CString> candidates, size_t nMaxListed, CFoundWords& ranked);
