// A Find with clue words: the matches of the search that WordNet relates to
// the clue words, ranked, with the limit and the count applied to them.
#pragma once

#include "search/find_words.h"
#include "wordnet/clue_words.h"

// Runs a search that PrepareSearch accepted with its limit off to the end of
// its block and keeps the matches related to `clues`, ranked as
// CClueWords::RankRelated ranks them; within a rank they keep the list's
// usual order, most common first with bCommonFirst. With bLimit only the
// first 100 related words are listed; nTotal counts every related match.
CFoundWords CollectRelatedMatches(CDictionary& dict, CClueWords& clues, bool bLimit, bool bCommonFirst = false);
