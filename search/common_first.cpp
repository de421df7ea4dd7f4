#include "search/common_first.h"

#include <algorithm>
#include <array>
#include <atomic>

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

void OrderByRank(std::vector<std::string>& words, const std::vector<unsigned char>& ranks, size_t nKeep) {
    // A counting sort: stable, so each rank keeps the dictionary order, and
    // only the first nKeep places are filled.
    std::array<size_t, 17> start{};
    for (const unsigned char rank : ranks)
        ++start[static_cast<size_t>(rank & 15) + 1];
    for (size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    const size_t nOut = std::min(nKeep, words.size());
    std::vector<std::string> ordered(nOut);
    for (size_t i = 0; i < words.size(); ++i) {
        const size_t at = start[ranks[i] & 15]++;
        if (at < nOut)
            ordered[at] = std::move(words[i]);
    }
    words = std::move(ordered);
}

bool ArrangeCommonFirst(std::vector<std::string>& words, size_t length, size_t nKeep) {
    CCommonnessTable table;
    std::vector<unsigned char> ranks;
    if (!table.Open(DataFilePath(kCommonnessTableName)) || !table.RankWords(length, words, ranks)) {
        ShowNoticeOnce();
        if (words.size() > nKeep)
            words.resize(nKeep);
        return false;
    }
    OrderByRank(words, ranks, nKeep);
    return true;
}

void ResetCommonOrderNoticeForTesting() { g_bNoticeShown = false; }
