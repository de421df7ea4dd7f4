#include "search/common_first.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "dictionary/dictionary.h"
#include "platform/data_dir.h"
#include "res/string_table.h"
#include "search/commonness_table.h"

namespace {

std::atomic<bool> g_bNoticeGiven{false};

// The plain order is said once per process, through the dictionary's
// notice reporter.
void NoticeOnce(const CDictionary& dict) {
    if (!g_bNoticeGiven.exchange(true))
        dict.Notify(Status::Message(IDS_COMMON_ORDER_UNAVAILABLE, MsgIcon::Information));
}

// The lines of every rank merged back into dictionary order, in byRank[0]:
// for a table found damaged part-way through a Find. The lines of each rank
// are in dictionary order already, and no word is in two ranks.
void MergeIntoDictionaryOrder(CCommonFirstMatches& found) {
    const size_t stride = found.length + 1;
    size_t total = 0;
    for (const CMatchLines& lines : found.byRank)
        total += lines.Size();
    CMatchLines merged;
    merged.Reserve(total);
    std::array<size_t, CCommonFirstMatches::kRanks> at{};
    for (;;) {
        size_t best = CCommonFirstMatches::kRanks;
        for (size_t r = 0; r < CCommonFirstMatches::kRanks; ++r) {
            if (at[r] == found.byRank[r].Size())
                continue;
            if (best == CCommonFirstMatches::kRanks ||
                std::memcmp(found.byRank[r].Data() + at[r], found.byRank[best].Data() + at[best], found.length) < 0)
                best = r;
        }
        if (best == CCommonFirstMatches::kRanks)
            break;
        merged.Append(found.byRank[best].Data() + at[best], found.length);
        at[best] += stride;
    }
    for (CMatchLines& lines : found.byRank)
        lines = CMatchLines();
    found.byRank[0] = std::move(merged);
}

// Starts the walk of the table's block of the matches' length and lends
// each rank room for its lines. The block and the lines share one block of
// memory, which is filled from its start: for a Find of any length one large
// page holds them all, one fault instead of one per 4 KiB. Each rank gets
// room for as many lines as the table has words of that rank and length
// (the most a dictionary without repeats can match), the words the table
// does not hold room for `nUnknown` bytes of lines.
bool StartRanking(CCommonnessTable& table, CCommonnessWalk& walk, CCommonFirstMatches& found, size_t nUnknown) {
    const size_t length = found.length;
    const size_t nBlock = table.BlockBytes(length);
    const size_t nKnown = table.WordCount(length) * (length + 1);
    if (!found.room.Allocate(nBlock + nKnown + nUnknown))
        return walk.Start(table, length);  // the lines grow as they come
    if (!walk.Start(table, length, found.room.Data()))
        return false;
    const auto counts = walk.RankCounts();
    char* at = found.room.Data() + nBlock;
    for (size_t r = 0; r < CCommonnessTable::kUnknown; ++r) {
        const size_t bytes = counts[r] * (length + 1);
        found.byRank[r].UseRoom(at, bytes);
        at += bytes;
    }
    found.byRank[CCommonnessTable::kUnknown].UseRoom(at, nUnknown);
    return true;
}

}  // namespace

void CMatchLines::Reserve(size_t bytes) {
    if (bytes <= m_nCapacity)
        return;
    auto data = std::make_unique_for_overwrite<char[]>(bytes);
    if (m_nSize != 0)
        std::memcpy(data.get(), m_pData, m_nSize);
    m_pOwned = std::move(data);
    m_pData = m_pOwned.get();
    m_nCapacity = bytes;
}

size_t CCommonFirstMatches::ListedCount() const {
    size_t bytes = 0;
    for (const std::string_view run : listed)
        bytes += run.size();
    return bytes / (length + 1);
}

CCommonFirstMatches CollectCommonFirst(CDictionary& dict, size_t nKeep, size_t nExpected) {
    CCommonFirstMatches found;
    const size_t length = dict.GetSearchState().Pattern().size();
    const size_t stride = length + 1;
    found.length = length;
    // The words the table does not hold get room for every match ahead:
    // room not written is never touched, so it costs address space, not
    // memory.
    constexpr size_t kMaxReserve = 32 << 20;
    const size_t nReserve = std::min(nExpected * stride, kMaxReserve);
    CCommonnessTable table;
    CCommonnessWalk walk;
    bool bLooked = false;  // the table is opened at the first match
    bool bRanked = false;  // the matches go by rank
    // Matches are ranked a batch at a time: one call of the walk per match
    // cost more than the walk's own work.
    constexpr size_t kBatch = 256;
    std::vector<char> batch(kBatch * length);
    std::array<uint8_t, kBatch> ranks{};
    size_t nBatch = 0;
    const auto flush = [&] {
        if (bRanked && !walk.RankNext(batch.data(), nBatch, ranks.data())) {
            // The rest of the table's block is damaged: the matches so far
            // go back to dictionary order, and the rest follow them.
            bRanked = false;
            NoticeOnce(dict);
            MergeIntoDictionaryOrder(found);
        }
        if (!bRanked)
            ranks.fill(0);
        for (size_t i = 0; i < nBatch; ++i)
            found.byRank[ranks[i]].Append(batch.data() + i * length, length);
        nBatch = 0;
    };
    CString word;
    while (dict.NextMatchInBlock(word, false)) {
        if (word.size() != length)
            continue;  // cannot happen: NextWord builds words of that length
        if (!bLooked) {
            bLooked = true;
            bRanked = table.Open(DataFilePath(kCommonnessTableName)) && StartRanking(table, walk, found, nReserve);
            if (!bRanked) {
                NoticeOnce(dict);
                if (found.room.Allocate(nReserve))
                    found.byRank[0].UseRoom(found.room.Data(), nReserve);
            }
        }
        CopyWordLetters(batch.data() + nBatch * length, word.data(), length);
        ++found.nTotal;
        if (++nBatch == kBatch)
            flush();
    }
    flush();
    size_t nLeft = nKeep;
    for (const CMatchLines& lines : found.byRank) {
        const size_t n = std::min(nLeft, lines.Size() / stride);
        if (n != 0)
            found.listed.emplace_back(lines.Data(), n * stride);
        nLeft -= n;
    }
    return found;
}

std::vector<CCommonFirstMatches> CollectCommonFirstByLength(CDictionary& dict, size_t nKeep, size_t nExpected) {
    std::vector<CCommonFirstMatches> lengths;
    size_t nLeft = nKeep;
    do {
        const size_t nBlock = dict.GetSearchState().IsOpenLength() ? static_cast<size_t>(std::max(dict.GetBlockCount(), 0)) : nExpected;
        CCommonFirstMatches found = CollectCommonFirst(dict, nLeft, nBlock);
        if (found.nTotal == 0)
            continue;
        nLeft -= found.ListedCount();
        lengths.push_back(std::move(found));
    } while (dict.NextLength());
    return lengths;
}

void ResetCommonOrderNoticeForTesting() { g_bNoticeGiven = false; }
