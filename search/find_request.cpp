#include "search/find_request.h"

#include <algorithm>
#include <cstdint>

#include "search/common_first.h"

namespace {

// Every match in the usual order, with how common each is (the commonness
// table's rank, 0 the most common, CCommonFirstMatches::kRanks - 1 unknown)
// when the order is common first; without it, every rank is unknown.
CFoundWords CollectRanked(CDictionary& dict, bool bCommonFirst, std::vector<uint8_t>& ranks) {
    if (!bCommonFirst) {
        CFoundWords all = CollectMatches(dict, false, false);
        ranks.assign(all.words.size(), CCommonFirstMatches::kRanks - 1);
        return all;
    }
    // A '*' pattern walks every length it allows, shortest first.
    const std::vector<CCommonFirstMatches> lengths = CollectCommonFirstByLength(dict, SIZE_MAX, 0);
    CFoundWords all;
    for (const CCommonFirstMatches& common : lengths) {
        all.nTotal += common.nTotal;
        all.words.reserve(all.words.size() + common.ListedCount());
        ranks.reserve(ranks.size() + common.ListedCount());
        for (const std::string_view run : common.listed) {
            // The rank whose lines hold the run.
            uint8_t rank = CCommonFirstMatches::kRanks - 1;
            for (size_t r = 0; r < CCommonFirstMatches::kRanks; ++r) {
                const CMatchLines& lines = common.byRank[r];
                if (lines.Size() && run.data() >= lines.Data() && run.data() < lines.Data() + lines.Size()) {
                    rank = static_cast<uint8_t>(r);
                    break;
                }
            }
            for (size_t at = 0; at < run.size(); at += common.length + 1) {
                all.words.emplace_back(run.data() + at, common.length);
                ranks.push_back(rank);
            }
        }
    }
    return all;
}

// How much a word's commonness adds to its evidence: answers are more often
// common words than rare ones, so among answers of like evidence the common
// one comes first. Rank 0 (the most common) adds kCommonBonus; unknown
// words nothing.
constexpr double kCommonBonus = 8;

}  // namespace

Status PrepareFind(CDictionary& dict, const CFindRequest& request) {
    int nResultCount = 0;
    return dict.PrepareSearch(request.bAnagram, request.pattern, request.letters, false, nResultCount);
}

int64_t RunFind(CDictionary& dict, const CFindRequest& request, IFoundSink& sink) {
    const size_t nMaxListed = request.bLimit ? static_cast<size_t>(CDictionary::kLimitMatches) : SIZE_MAX;
    if (!request.pScorer && request.bCommonFirst) {
        // The most common can be anywhere in the block: every match is
        // kept, then ordered and cut; the rows stay whole lines.
        int64_t nTotal = 0;
        // The block's count sizes the ranks' room ahead (a '*' pattern
        // takes each length's own count).
        const size_t nExpected = static_cast<size_t>(std::max(dict.GetBlockCount(), 0));
        for (const CCommonFirstMatches& common : CollectCommonFirstByLength(dict, nMaxListed, nExpected)) {
            nTotal += common.nTotal;
            for (const std::string_view run : common.listed)
                sink.Lines(run, common.length);
        }
        return nTotal;
    }
    if (!request.pScorer) {
        int64_t nTotal = 0;
        CString word;
        while (dict.NextMatch(word, false)) {
            if (static_cast<size_t>(nTotal) < nMaxListed)
                sink.Word(word, std::string_view());
            ++nTotal;
        }
        return nTotal;
    }
    // Ranking needs every match in the usual order before the first row is known.
    std::vector<uint8_t> ranks;
    CFoundWords all = CollectRanked(dict, request.bCommonFirst, ranks);
    const int64_t nTotal = all.nTotal;
    if (request.moreCandidates) {
        for (CString& more : request.moreCandidates()) {
            all.words.push_back(std::move(more));
            ranks.push_back(CCommonFirstMatches::kRanks - 1);
        }
    }
    struct Ranked {
        int tier;
        double score;
        size_t index;
        std::string_view reason;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(all.words.size());
    for (size_t i = 0; i < all.words.size(); ++i) {
        const ClueVerdict verdict = request.pScorer->Score(all.words[i]);
        const int tier = verdict.standing == ClueVerdict::kEvidence ? 0 : verdict.standing == ClueVerdict::kNone ? 1 : 2;
        const double common =
            kCommonBonus * (CCommonFirstMatches::kRanks - 1 - ranks[i]) / (CCommonFirstMatches::kRanks - 1);
        ranked.push_back({tier, tier == 0 ? verdict.score + common : 0.0, i,
                          tier == 0 ? verdict.reason : std::string_view()});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.tier != b.tier)
            return a.tier < b.tier;
        return a.score > b.score;
    });
    const size_t nListed = std::min(ranked.size(), nMaxListed);
    for (size_t i = 0; i < nListed; ++i)
        sink.Word(all.words[ranked[i].index], ranked[i].reason);
    return nTotal;
}

CFoundWords RunFind(CDictionary& dict, const CFindRequest& request) {
    // Keeps the rows; the reasons only for a Find by a clue.
    class Keeper : public IFoundSink {
    public:
        Keeper(CFoundWords& found, bool bReasons) : m_found(found), m_bReasons(bReasons) {}
        void Word(std::string_view word, std::string_view reason) override {
            m_found.words.emplace_back(word);
            if (m_bReasons)
                m_found.reasons.emplace_back(reason);
        }

    private:
        CFoundWords& m_found;
        bool m_bReasons;
    };
    CFoundWords found;
    Keeper keeper(found, request.pScorer != nullptr);
    found.nTotal = RunFind(dict, request, keeper);
    return found;
}

void PrependRanked(std::vector<CString> extra, IClueScorer* pScorer, size_t nMaxListed, CFoundWords& found) {
    struct Ranked {
        bool bEvidence;
        double score;
        size_t index;
        CString reason;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(extra.size());
    for (size_t i = 0; i < extra.size(); ++i) {
        const ClueVerdict verdict = pScorer ? pScorer->Score(extra[i]) : ClueVerdict();
        const bool bEvidence = verdict.standing == ClueVerdict::kEvidence;
        ranked.push_back({bEvidence, bEvidence ? verdict.score : 0.0, i, bEvidence ? CString(verdict.reason) : CString()});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.bEvidence != b.bEvidence)
            return a.bEvidence;
        return a.score > b.score;
    });
    const size_t nLeading = std::min(ranked.size(), nMaxListed);
    const size_t nWords = std::min(found.words.size(), nMaxListed - nLeading);
    const bool bReasons = pScorer || !found.reasons.empty();
    std::vector<CString> words;
    std::vector<CString> reasons;
    words.reserve(nLeading + nWords);
    for (size_t i = 0; i < nLeading; ++i) {
        words.push_back(std::move(extra[ranked[i].index]));
        if (bReasons)
            reasons.push_back(std::move(ranked[i].reason));
    }
    for (size_t i = 0; i < nWords; ++i) {
        words.push_back(std::move(found.words[i]));
        if (bReasons)
            reasons.push_back(i < found.reasons.size() ? std::move(found.reasons[i]) : CString());
    }
    found.words = std::move(words);
    found.reasons = std::move(reasons);
}
