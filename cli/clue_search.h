// gridwell-cli find --clue WORDS: the matches that WordNet relates to the
// clue words.
#pragma once

#include <string>

#include "dictionary/dictionary.h"
#include "search/find_words.h"

// True when `clue` holds at least one clue word; otherwise find is the plain
// search.
bool HasClueWords(const std::string& clue);

// Lists the related matches of a search that PrepareSearch accepted with its
// limit off (most common first within each rank with bCommonFirst). False
// after showing the message that the WordNet database is missing or damaged
// (matches found before damage showed are kept).
bool FindRelatedWords(CDictionary& dict, const std::string& clue, bool bLimit, bool bCommonFirst,
                      CFoundWords& found);
