#include "search/find_request.h"

#include <algorithm>

bool PrepareFind(CDictionary& dict, const CFindRequest& request) {
    int nResultCount = 0;
    return dict.PrepareSearch(request.bAnagram ? TRUE : FALSE, request.pattern, request.letters, FALSE,
                              nResultCount) != FALSE;
}

CFoundWords RunFind(CDictionary& dict, const CFindRequest& request) {
    if (!request.pScorer)
        return CollectMatches(dict, request.bLimit, request.bCommonFirst);
    // Ranking needs every match in the usual order before the first row is known.
    CFoundWords all = CollectMatches(dict, false, request.bCommonFirst);
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
        ranked.push_back({tier, tier == 0 ? verdict.score : 0.0, i, tier == 0 ? verdict.reason : std::string_view()});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.tier != b.tier)
            return a.tier < b.tier;
        return a.score > b.score;
    });
    const size_t nListed =
        request.bLimit ? std::min(ranked.size(), static_cast<size_t>(CDictionary::kLimitMatches)) : ranked.size();
    CFoundWords found;
    found.nTotal = all.nTotal;
    found.words.reserve(nListed);
    found.reasons.reserve(nListed);
    for (size_t i = 0; i < nListed; ++i) {
        found.words.push_back(std::move(all.words[ranked[i].index]));
        found.reasons.emplace_back(ranked[i].reason);
    }
    return found;
}
