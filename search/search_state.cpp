// A query's state: the typed pattern and remaining letters parsed into the
// squares' letter sets and the sorted target letters, and the tests that a
// word of the block must pass.
#include "search/search_state.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <vector>

#include "dictionary/word_codec.h"
#include "res/string_table.h"
#include "search/query_grammar.h"
#include "search/sorted_letters.h"
#include "text/letter_folding.h"

namespace {

// A pattern token as the search state keeps it: the square's letters, with
// this bit set for a typed letter; 0 for '*'.
constexpr uint32_t kTypedLetter = 1u << 31;

CString SortedLetters(const CString& text) {
    CString sorted(text.size(), '\0');
    sorted.resize(SortLetters(text.data(), text.size(), sorted.data()));
    return sorted;
}

}  // namespace

bool ParseQueryText(CString& strOut, const CString& strTyped, bool bAllowDigits, bool bClearFirst) {
    // Accented letters are typed as the letters the dictionary holds them by.
    const CString strText = FoldQueryLetters(strTyped);
    if (bClearFirst)
        strOut.clear();
    QueryParse parsed;
    ParseQueryTokens(strText, bAllowDigits, parsed);
    if (parsed.fault != QueryFault::None) {
        // What came before the fault, as letters and '?'.
        for (const QueryToken& token : parsed.tokens)
            if (!token.IsStar())
                strOut += token.bLetter ? QueryTokensText({token}) : CString(1, '?');
        return false;
    }
    strOut += QueryTokensText(parsed.tokens);
    return true;
}

namespace {

// The message for a text that breaks the grammar: its own, with its text
// filled in, when it has one, else `nPlain` (a character the grammar does
// not know).
Status QueryFaultStatus(const QueryParse& parse, const char* what, UINT nPlain) {
    CString text;
    const UINT nID = QueryFaultMessage(parse, what, text);
    if (nID != 0)
        return Status::Message(nID, MsgIcon::Exclamation, std::move(text));
    return Status::Message(nPlain, MsgIcon::Exclamation);
}

}  // namespace

Status CSearchState::Prepare(bool bAnagram, const CString& strPatternTyped, const CString& strLettersTyped,
                             bool bLimit) {
    const CString strPattern = FoldQueryLetters(strPatternTyped);
    const CString strLetters = FoldQueryLetters(strLettersTyped);
    m_bAnagram = bAnagram;
    m_bLimit = bLimit;
    m_nWild = 0;
    m_squareMasks.clear();
    m_patternTokens.clear();
    m_setItems.clear();
    m_bSquareSets = false;
    m_bOpenLength = false;
    m_bManyStars = false;
    m_nMatches = 0;

    m_strPattern.clear();
    QueryParse parsed;
    ParseQueryTokens(strPattern, true, parsed);
    if (parsed.fault != QueryFault::None) {
        ParseQueryText(m_strPattern, strPattern, true, true);
        return QueryFaultStatus(parsed, "pattern", IDS_BAD_PATTERN);
    }
    m_nWild = static_cast<int>(parsed.nWild);
    m_bOpenLength = parsed.bStar;
    CString fixedLetters;
    int nStars = 0;
    m_nFixedSquares = 0;
    for (const QueryToken& token : parsed.tokens) {
        m_patternTokens.push_back(token.mask | (token.bLetter ? kTypedLetter : 0));
        if (token.IsStar()) {
            ++nStars;
            continue;
        }
        ++m_nFixedSquares;
        if (token.bLetter)
            fixedLetters += QueryTokensText({token});
        else if (token.mask != kAnyLetter)
            m_bSquareSets = true;
    }
    m_nFixedLetters = static_cast<int>(fixedLetters.size());
    m_bManyStars = nStars > 1;
    // The squares as letters and '?' (every square a '*' may add is unknown).
    for (const QueryToken& token : parsed.tokens)
        if (!token.IsStar())
            m_strPattern += token.bLetter ? QueryTokensText({token}) : CString(1, '?');

    // A '*' stands for unknown letters too: remaining letters may fill them.
    const bool bWild = m_nWild > 0 || m_bOpenLength;
    m_bLettersPlaced = false;
    if (strLetters.empty() || !bWild) {
        m_strLetters = SortedLetters(fixedLetters);
        // The letters to look for are the typed ones: a word that fits the
        // squares has them.
        m_bLettersPlaced = !m_bAnagram;
        // An anagram's '@', '#' and sets are blanks that a letter of their set
        // must fill; its '?' take any letter.
        if (m_bAnagram)
            for (const QueryToken& token : parsed.tokens)
                if (token.IsUnknown() && token.mask != kAnyLetter)
                    m_setItems.push_back(token.mask);
    } else {
        // Past a '*' any number of letters fits: the words are long enough.
        if (!m_bOpenLength && CountLetterItems(strLetters) > static_cast<size_t>(m_nWild))
            return Status::Message(IDS_REMAINDER_TOO_LONG, MsgIcon::Exclamation);
        QueryParse extra;
        ParseQueryTokens(strLetters, false, extra);
        if (extra.fault != QueryFault::None)
            return QueryFaultStatus(extra, "remaining letters", IDS_BAD_REMAINDER);
        CString letters = fixedLetters;
        for (const QueryToken& token : extra.tokens) {
            if (token.bLetter)
                letters += QueryTokensText({token});
            else if (token.mask != kAnyLetter)
                m_setItems.push_back(token.mask);
        }
        m_strLetters = SortedLetters(letters);
        // Remaining letters always make a matching-word search.
        m_bAnagram = false;
    }
    if (m_bAnagram && m_bOpenLength)
        return Status::Message(
            IDS_ANAGRAM_STAR, MsgIcon::Exclamation,
            FormatString(LoadStringText(IDS_ANAGRAM_STAR).c_str(),
                         static_cast<int>(CountTypedCharacters(strPattern.substr(0, strPattern.find('*'))) + 1)));
    // An anagram places no letter: its squares' sets are blanks, not positions.
    if (m_bAnagram)
        m_bSquareSets = false;
    // The most constrained sets are placed first.
    std::stable_sort(m_setItems.begin(), m_setItems.end(),
              [](uint32_t a, uint32_t b) { return std::popcount(a) < std::popcount(b); });

    return Status::Ok();
}

void CSearchState::SetLength(int nLength) {
    m_nLength = nLength;
    if (m_bOpenLength) {
        // One '*' stands for the letters between the squares before it and
        // those after it: a fixed pattern for each length. Several are
        // matched by walking the tokens; every square is then unknown here.
        const size_t nStarLetters = static_cast<size_t>(nLength - m_nFixedSquares);
        m_strPattern.clear();
        m_squareMasks.clear();
        if (m_bManyStars) {
            m_strPattern.assign(static_cast<size_t>(nLength), '?');
        } else {
            for (const uint32_t token : m_patternTokens) {
                if (token == 0) {
                    m_strPattern.append(nStarLetters, '?');
                    m_squareMasks.insert(m_squareMasks.end(), nStarLetters, kAnyLetter);
                    continue;
                }
                const uint32_t mask = token & ~kTypedLetter;
                m_strPattern += token & kTypedLetter ? static_cast<char>('A' + std::countr_zero(mask)) : '?';
                m_squareMasks.push_back(mask);
            }
        }
        // The budget of the letter test: every square but the typed letters.
        m_nWild = nLength - m_nFixedLetters;
    } else {
        m_squareMasks.clear();
        for (const uint32_t token : m_patternTokens)
            m_squareMasks.push_back(token & ~kTypedLetter);
    }
}

bool CSearchState::MatchesTokens(const CString& word) const {
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

bool CSearchState::MatchesWord(const CString& word) const {
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

bool CSearchState::MatchesLetters(const CString& word) const {
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

bool CSearchState::SetItemsFit(const char* sorted, size_t nSorted) const {
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
