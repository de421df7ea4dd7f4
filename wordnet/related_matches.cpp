#include "wordnet/related_matches.h"

CFoundWords CollectRelatedMatches(CDictionary& dict, CClueWords& clues, bool bLimit) {
    // Ranking needs every match before the first row is known.
    std::vector<CString> matches;
    CString word;
    while (dict.NextMatch(word, FALSE))
        matches.push_back(word);
    CFoundWords found;
    found.words = clues.RankRelated(matches);
    found.nTotal = static_cast<int64_t>(found.words.size());
    if (bLimit && found.words.size() > static_cast<size_t>(CDictionary::kLimitMatches))
        found.words.resize(CDictionary::kLimitMatches);
    return found;
}
