#include "search/common_first.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <numeric>

#include "dictionary/dictionary.h"
#include "platform/data_dir.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "search/commonness_table.h"

namespace {

std::atomic<bool> g_bNoticeShown{false};

void ShowNoticeOnce() {
    if (!g_bNoticeShown.exchange(true))
        AfxMessageBox(IDS_COMMON_ORDER_UNAVAILABLE, MsgIcon::Information);
}

}  // namespace

std::vector<uint32_t> OrderByRank(const std::vector<uint8_t>& ranks, size_t nKeep) {
    // A counting sort: stable, so each rank keeps the dictionary order, and
    // only the first nKeep places are filled.
    std::array<size_t, 17> start{};
    for (const uint8_t rank : ranks)
        ++start[static_cast<size_t>(rank & 15) + 1];
    for (size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    std::vector<uint32_t> order(std::min(nKeep, ranks.size()));
    for (size_t i = 0; i < ranks.size(); ++i) {
        const size_t at = start[ranks[i] & 15]++;
        if (at < order.size())
            order[at] = static_cast<uint32_t>(i);
    }
    return order;
}

CCommonFirstMatches CollectCommonFirst(CDictionary& dict, size_t nKeep, size_t nExpected) {
    CCommonFirstMatches found;
    found.length = dict.m_strPattern.size();
    constexpr size_t kMaxReserve = 16 << 20;
    found.letters.reserve(std::min(nExpected * found.length, kMaxReserve));
    // Every match has the pattern's length: one buffer holds them all, with
    // no string per word.
    CString word;
    while (dict.NextMatch(word, FALSE)) {
        if (word.size() != found.length)
            continue;  // cannot happen: NextWord builds words of that length
        found.letters += word;
        ++found.nTotal;
    }
    const size_t n = static_cast<size_t>(found.nTotal);
    CCommonnessTable table;
    std::vector<uint8_t> ranks(n);
    if (n == 0)
        return found;
    if (n > UINT32_MAX || !table.Open(DataFilePath(kCommonnessTableName)) ||
        !table.RankWords(found.length, found.letters.data(), n, ranks.data())) {
        ShowNoticeOnce();
        found.order.resize(std::min(nKeep, n));
        std::iota(found.order.begin(), found.order.end(), 0u);
        return found;
    }
    found.order = OrderByRank(ranks, nKeep);
    return found;
}

void ResetCommonOrderNoticeForTesting() { g_bNoticeShown = false; }
