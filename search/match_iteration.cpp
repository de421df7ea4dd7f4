// Walking the words of the prepared length block and returning the matches.
#include <bit>

#include "dictionary/dictionary.h"
#include "search/sorted_letters.h"

BOOL CDictionary::NextMatch(CString& word, BOOL bListAll) {
    for (;;) {
        if (NextMatchInBlock(word, bListAll))
            return TRUE;
        if (m_bLimit && m_nMatches >= kLimitMatches)
            return FALSE;
        // A pattern with '*' goes on with the next length it allows.
        if (!NextLength())
            return FALSE;
    }
}

BOOL CDictionary::NextMatchInBlock(CString& word, BOOL bListAll) {
    if (m_bLimit && m_nMatches >= kLimitMatches)
        return FALSE;
    // No letters to look for: the pattern is only '?' and digit runs (the
    // letters always include the pattern's own), so every word of the block
    // matches, as in list-all mode.
    const bool bEveryWord =
        bListAll || (m_strLetters.empty() && !m_bSquareSets && !m_bManyStars && m_setItems.empty());
    // A matching-word search with a square to test decodes each word only as
    // far as it fits.
    if (!bEveryWord && !m_bAnagram && !m_bManyStars) {
        for (;;) {
            if (!NextFittingWord(word))
                return FALSE;
            if (m_bLettersPlaced || MatchesLetters(word)) {
                ++m_nMatches;
                return TRUE;
            }
        }
    }
    for (;;) {
        // A block that ended before its count has shown its damage once (and
        // an open-length search reads no further block).
        if (!NextWord(word))
            return FALSE;
        if (bEveryWord || MatchesWord(word)) {
            ++m_nMatches;
            return TRUE;
        }
    }
}

BOOL CDictionary::NextFittingWord(CString& word) {
    if (m_squareMasks.size() != static_cast<size_t>(m_decoder.Length()))
        return FALSE;
    const BlockStep step = m_decoder.NextFittingWord(m_squareMasks.data(), word);
    if (step == BlockStep::Word)
        return TRUE;
    if (step != BlockStep::End)
        ReportBlockFailure(step);
    return FALSE;
}

bool CDictionary::MatchesTokens(const CString& word) const {
    // Squares of one letter and '*'s, as a glob is matched: on a mismatch the
    // last '*' takes one more letter and the walk resumes after it.
    const size_t nTokens = m_patternTokens.size();
    const auto fits = [&](size_t p, size_t w) {
        return ((m_patternTokens[p] >> (word[w] - 'A')) & 1) != 0;
    };
    size_t p = 0;
    size_t w = 0;
    size_t star = SIZE_MAX;
    size_t starWord = 0;
    while (w < word.size()) {
        if (p < nTokens && m_patternTokens[p] == 0) {
            star = p++;
            starWord = w;
        } else if (p < nTokens && fits(p, w)) {
            ++p;
            ++w;
        } else if (star != SIZE_MAX) {
            p = star + 1;
            w = ++starWord;
        } else {
            return false;
        }
    }
    while (p < nTokens && m_patternTokens[p] == 0)
        ++p;
    return p == nTokens;
}

bool CDictionary::MatchesWord(const CString& word) const {
    const size_t nLength = m_strPattern.size();
    if (!m_bAnagram) {
        if (m_bManyStars) {
            if (!MatchesTokens(word))
                return false;
        } else if (m_bSquareSets) {
            for (size_t i = 0; i < nLength; ++i)
                if (((m_squareMasks[i] >> (word[i] - 'A')) & 1) == 0)
                    return false;
        } else {
            for (size_t i = 0; i < nLength; ++i)
                if (m_strPattern[i] != '?' && m_strPattern[i] != word[i])
                    return false;
        }
    }
    return MatchesLetters(word);
}

bool CDictionary::MatchesLetters(const CString& word) const {
    const size_t nLength = m_strPattern.size();
    // S: the word's letters in ascending order.
    char sorted[kMaxWordLength];
    const size_t nSorted = SortLetters(word.data(), nLength, sorted);

    const CString& target = m_strLetters;
    if (m_nWild == 0)
        return target.size() <= nSorted && target.compare(0, target.size(), sorted, target.size()) == 0;

    // Walk both sorted strings; the budget counts letters of S passed over.
    size_t i = 0;
    size_t j = 0;
    int budget = m_nWild;
    while (i < target.size()) {
        if (j < nSorted && sorted[j] == target[i]) {
            ++i;
        } else if (--budget < 0) {
            return false;
        }
        ++j;
    }
    return m_setItems.empty() || SetItemsFit(sorted, nSorted);
}

bool CDictionary::SetItemsFit(const char* sorted, size_t nSorted) const {
    // The word's letters left once the target letters are taken out: each
    // set must take one of them, a different one for each set. Sets are
    // given letters one by one; a set whose letters are all taken may take
    // a letter from an earlier set that can move to another (augmenting
    // paths of a bipartite matching).
    unsigned left[26] = {};
    for (size_t j = 0; j < nSorted; ++j)
        ++left[sorted[j] - 'A'];
    for (const char c : m_strLetters)
        --left[c - 'A'];
    uint32_t available = 0;
    for (int letter = 0; letter < 26; ++letter)
        if (left[letter] != 0)
            available |= 1u << letter;
    const size_t nItems = m_setItems.size();
    for (const uint32_t mask : m_setItems)
        if ((mask & available) == 0)
            return false;

    if (nItems > nSorted)
        return false;
    unsigned char given[kMaxWordLength];
    unsigned used[26] = {};
    size_t nPlaced = 0;
    const auto place = [&](auto& self, size_t item, uint32_t& tried) -> bool {
        uint32_t choices = m_setItems[item] & available & ~tried;
        while (choices != 0) {
            const int letter = std::countr_zero(choices);
            choices &= choices - 1;
            tried |= 1u << letter;
            if (used[letter] < left[letter]) {
                ++used[letter];
                given[item] = static_cast<unsigned char>(letter);
                return true;
            }
            for (size_t other = 0; other < nPlaced; ++other) {
                if (other != item && given[other] == letter && self(self, other, tried)) {
                    given[item] = static_cast<unsigned char>(letter);
                    return true;
                }
            }
        }
        return false;
    };
    for (size_t item = 0; item < nItems; ++item) {
        uint32_t tried = 0;
        if (!place(place, item, tried))
            return false;
        ++nPlaced;
    }
    return true;
}
