// Walking the words of the prepared length block and returning the matches.
#include "dictionary/dictionary.h"
#include "search/sorted_letters.h"

BOOL CDictionary::NextMatch(CString& word, BOOL bListAll) {
    if (m_bLimit && m_nMatches >= kLimitMatches)
        return FALSE;
    // No letters to look for: the pattern is only '?' and digit runs (the
    // letters always include the pattern's own), so every word of the block
    // matches, as in list-all mode.
    const bool bEveryWord = bListAll || m_strLetters.empty();
    while (NextWord(word)) {
        if (bEveryWord || MatchesWord(word)) {
            ++m_nMatches;
            return TRUE;
        }
    }
    return FALSE;
}

bool CDictionary::MatchesWord(const CString& word) const {
    const size_t nLength = m_strPattern.size();
    if (!m_bAnagram) {
        for (size_t i = 0; i < nLength; ++i)
            if (m_strPattern[i] != '?' && m_strPattern[i] != word[i])
                return false;
    }

    // S: the word's letters in ascending order.
    char sorted[kMaxWordLength];
    const size_t nSorted = SortLetters(word.data(), nLength, sorted);

    const CString& target = m_strLetters;
    if (m_nWild == 0)
        return target.size() <= nSorted && target.compare(0, target.size(), sorted, target.size()) == 0;
    if (target.empty())
        return true;

    // Walk both sorted strings; the budget counts letters of S passed over.
    size_t i = 0;
    size_t j = 0;
    int budget = m_nWild;
    for (;;) {
        if (j < nSorted && sorted[j] == target[i]) {
            ++i;
        } else if (--budget < 0) {
            return false;
        }
        ++j;
        if (i == target.size())
            return true;
    }
}
