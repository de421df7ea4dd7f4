// "Common words first": the matches of a Find put in order of how common
// they are, from the commonness table found beside the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CDictionary;

// Every match of one Find and the order to list them in.
struct CCommonFirstMatches {
    size_t length = 0;            // letters of each match
    std::string letters;          // the matches back to back, in dictionary order
    std::vector<uint32_t> order;  // indices of the matches to list, in listing order
    int64_t nTotal = 0;           // every match
    const char* Word(size_t i) const { return letters.data() + static_cast<size_t>(order[i]) * length; }
};

// Runs a search that PrepareSearch accepted with its limit off to the end of
// its block and orders the matches most common first: by the commonness
// table's level, then in dictionary order within a level; words the table
// does not hold come last. Keeps at most `nKeep` of them in `order`.
//
// When the table is missing, unreadable or damaged, the matches keep their
// dictionary order (still cut to `nKeep`), and message
// IDS_COMMON_ORDER_UNAVAILABLE is shown the first time this happens in the
// process. `nExpected`, the number of words of the pattern's length, only
// sizes the buffer ahead (the dictionary's count may be damaged).
CCommonFirstMatches CollectCommonFirst(CDictionary& dict, size_t nKeep, size_t nExpected = 0);

// The stable reordering alone: the indices of `ranks` (each 0-15) by rank,
// in index order within a rank, at most nKeep of them.
std::vector<uint32_t> OrderByRank(const std::vector<uint8_t>& ranks, size_t nKeep);

// Tests: the message may be shown again.
void ResetCommonOrderNoticeForTesting();
