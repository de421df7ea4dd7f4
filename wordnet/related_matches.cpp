#include "wordnet/related_matches.h"

CFoundWords CollectRelatedMatches(CDictionary& dict, CClueWords& clues, bool bLimit, bool bCommonFirst) {
    // Ranking needs every match, in the list's usual order, before the first
    // row is known.
    const CFoundWords all = CollectMatches(dict, false, bCommonFirst);
    CFoundWords found;
    found.words = clues.RankRelated(all.words);
    found.nTotal = static_cast<int64_t>(found.words.size());
    if (bLimit && found.words.size() > static_cast<size_t>(CDictionary::kLimitMatches))
        found.words.resize(CDictionary::kLimitMatches);
    return found;
}
