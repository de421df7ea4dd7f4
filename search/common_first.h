// "Common words first": the matches of a Find put in order of how common
// they are, from the commonness table found beside the program.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/large_pages.h"

class CDictionary;

// memcpy for the few letters of one word: most words have 8 to 16, copied
// as two overlapping 8-byte moves, without a call.
inline void CopyWordLetters(char* out, const char* letters, size_t n) {
    if (n >= 8 && n <= 16) {
        uint64_t head, tail;
        std::memcpy(&head, letters, 8);
        std::memcpy(&tail, letters + n - 8, 8);
        std::memcpy(out, &head, 8);
        std::memcpy(out + n - 8, &tail, 8);
    } else {
        std::memcpy(out, letters, n);
    }
}

// Lines "WORD\n" of one length appended to a buffer that grows by doubling
// and is never filled ahead: room reserved and not yet used costs no memory.
// The room may be lent by the owner of a larger block (UseRoom).
class CMatchLines {
public:
    // Room of its own for `bytes`, the lines so far copied into it.
    void Reserve(size_t bytes);
    // While empty: `bytes` at `room`, owned elsewhere and kept there while
    // these lines are used.
    void UseRoom(char* room, size_t bytes) {
        m_pData = room;
        m_nCapacity = bytes;
    }
    void Append(const char* word, size_t length) {
        if (m_nCapacity - m_nSize < length + 1)
            Reserve(std::max(2 * m_nCapacity, m_nSize + length + 1));
        char* at = m_pData + m_nSize;
        CopyWordLetters(at, word, length);
        at[length] = '\n';
        m_nSize += length + 1;
    }
    const char* Data() const { return m_pData; }
    size_t Size() const { return m_nSize; }

private:
    std::unique_ptr<char[]> m_pOwned;
    char* m_pData = nullptr;
    size_t m_nSize = 0;
    size_t m_nCapacity = 0;
};

// Every match of one Find, as lines grouped by how common they are.
struct CCommonFirstMatches {
    static constexpr size_t kRanks = 16;  // the table's ranks 0-14 and "unknown"
    size_t length = 0;   // letters of each match
    int64_t nTotal = 0;  // every match
    // The matches of each rank (the only one when the order is plain), as
    // lines in dictionary order.
    std::array<CMatchLines, kRanks> byRank;
    CLargePageBlock room;  // lent to byRank: one block, not one per rank
    // The lines to list, in listing order: runs of whole lines in byRank.
    std::vector<std::string_view> listed;

    // The number of lines in `listed`.
    size_t ListedCount() const;
};

// Runs a search that PrepareSearch accepted with its limit off to the end of
// its block and orders the matches most common first: by the commonness
// table's level, then in dictionary order within a level; words the table
// does not hold come last. Lists at most `nKeep` of them.
//
// Each match is ranked as the search finds it, by one walk through the
// table's block of that length, and goes to the lines of its rank.
//
// When the table is missing, unreadable or damaged, the matches keep their
// dictionary order (still cut to `nKeep`), and the notice
// IDS_COMMON_ORDER_UNAVAILABLE goes to the dictionary's notice reporter the
// first time this happens in the process. `nExpected`, the number of words of the pattern's length, only
// sizes the buffers ahead (the dictionary's count may be damaged).
CCommonFirstMatches CollectCommonFirst(CDictionary& dict, size_t nKeep, size_t nExpected = 0);

// The same for every length the prepared pattern allows (one with '*'
// allows many), shortest first: the matches of each length that has any, at
// most `nKeep` listed in all.
std::vector<CCommonFirstMatches> CollectCommonFirstByLength(CDictionary& dict, size_t nKeep, size_t nExpected = 0);

// Tests: the notice may be given again.
void ResetCommonOrderNoticeForTesting();
