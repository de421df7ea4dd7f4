// "Common words first": the matches of a Find put in order of how common
// they are, from the commonness table found beside the program.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Orders `words` (the matches of one Find, all `length` letters long, in
// dictionary order) most common first: by the commonness table's level, then
// in dictionary order within a level; words the table does not hold come
// last. Then keeps at most `nKeep` of them.
//
// When the table is missing, unreadable or damaged, the words keep their
// dictionary order (still cut to `nKeep`), message IDS_COMMON_ORDER_UNAVAILABLE
// is shown the first time this happens in the process, and the result is
// false.
bool ArrangeCommonFirst(std::vector<std::string>& words, size_t length, size_t nKeep);

// The stable reordering alone: `ranks[i]` (0-15) is the rank of `words[i]`.
void OrderByRank(std::vector<std::string>& words, const std::vector<unsigned char>& ranks, size_t nKeep);

// Tests: the message may be shown again.
void ResetCommonOrderNoticeForTesting();
