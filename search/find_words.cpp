#include "search/find_words.h"

#include "search/common_first.h"

CFoundWords CollectMatches(CDictionary& dict, bool bLimit, bool bCommonFirst) {
    CFoundWords found;
    const size_t nMaxListed = bLimit ? static_cast<size_t>(CDictionary::kLimitMatches) : SIZE_MAX;
    if (bCommonFirst) {
        // The most common can be anywhere in the block: every match is
        // kept, then ordered and cut.
        for (const CCommonFirstMatches& common : CollectCommonFirstByLength(dict, nMaxListed)) {
            found.nTotal += common.nTotal;
            for (const std::string_view run : common.listed)
                for (size_t at = 0; at < run.size(); at += common.length + 1)
                    found.words.emplace_back(run.data() + at, common.length);
        }
        return found;
    }
    // The block's word count comes from the file's trailer and may be damaged:
    // the list grows with what is decoded instead of trusting it.
    if (bLimit)
        found.words.reserve(nMaxListed);
    CString word;
    while (dict.NextMatch(word, false)) {
        if (found.words.size() < nMaxListed)
            found.words.push_back(word);
        ++found.nTotal;
    }
    return found;
}

CString FormatThousands(int64_t n) {
    CString digits = std::to_string(n < 0 ? -n : n);
    for (size_t i = digits.size(); i > 3; i -= 3)
        digits.insert(i - 3, 1, ',');
    return n < 0 ? "-" + digits : digits;
}

CString FormatWordCount(size_t nListed, int64_t nTotal) {
    if (nTotal <= 0)
        return CString();
    const CString total = FormatThousands(nTotal) + (nTotal == 1 ? " word" : " words");
    if (static_cast<int64_t>(nListed) >= nTotal)
        return total;
    return FormatThousands(static_cast<int64_t>(nListed)) + " of " + total;
}
