// Turning the typed pattern and remaining letters into the search state of a
// CDictionary, and positioning it at the block of the pattern's length.
#include <algorithm>
#include <climits>
#include <bit>
#include <cstdint>
#include <vector>

#include "dictionary/dictionary.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "search/query_grammar.h"
#include "search/sorted_letters.h"
#include "text/letter_folding.h"

namespace {

// A pattern token as CDictionary keeps it: the square's letters, with this
// bit set for a typed letter; 0 for '*'.
constexpr uint32_t kTypedLetter = 1u << 31;

CString SortedLetters(const CString& text) {
    CString sorted(text.size(), '\0');
    sorted.resize(SortLetters(text.data(), text.size(), sorted.data()));
    return sorted;
}

}  // namespace

BOOL CDictionary::ParseQuery(CString& strOut, const CString& strTyped, BOOL bAllowDigits, BOOL bClearFirst) const {
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
        return FALSE;
    }
    strOut += QueryTokensText(parsed.tokens);
    return TRUE;
}

namespace {

// Shows the message for a text that breaks the grammar: its own when it has
// one, else `nPlain` (a character the grammar does not know).
void ShowQueryFault(const QueryParse& parse, const char* what, UINT nPlain) {
    CString text;
    const UINT nID = QueryFaultMessage(parse, what, text);
    if (nID != 0)
        AfxMessageBox(nID, text, MsgIcon::Exclamation);
    else
        AfxMessageBox(nPlain, MsgIcon::Exclamation);
}

}  // namespace

BOOL CDictionary::PrepareSearch(BOOL bAnagram, const CString& strPatternTyped, const CString& strLettersTyped,
                                BOOL bLimit, int& nResultCount) {
    const CString strPattern = FoldQueryLetters(strPatternTyped);
    const CString strLetters = FoldQueryLetters(strLettersTyped);
    // Whatever block an earlier query was walking is given up first: a
    // refused query must leave nothing to decode, since the pattern it leaves
    // behind need not fit the block (or the decoder's word buffer).
    ForgetBlock();
    m_bAnagram = bAnagram;
    m_bLimit = bLimit;
    m_nWild = 0;
    m_squareMasks.clear();
    m_patternTokens.clear();
    m_setItems.clear();
    m_bSquareSets = false;
    m_bOpenLength = false;
    m_bManyStars = false;
    m_bBlockDamaged = false;

    m_strPattern.clear();
    QueryParse parsed;
    ParseQueryTokens(strPattern, true, parsed);
    if (parsed.fault != QueryFault::None) {
        ParseQuery(m_strPattern, strPattern, TRUE, TRUE);
        ShowQueryFault(parsed, "pattern", IDS_BAD_PATTERN);
        return FALSE;
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
        if (!m_bOpenLength && CountLetterItems(strLetters) > static_cast<size_t>(m_nWild)) {
            AfxMessageBox(IDS_REMAINDER_TOO_LONG, MsgIcon::Exclamation);
            return FALSE;
        }
        QueryParse extra;
        ParseQueryTokens(strLetters, false, extra);
        if (extra.fault != QueryFault::None) {
            ShowQueryFault(extra, "remaining letters", IDS_BAD_REMAINDER);
            return FALSE;
        }
        CString letters = fixedLetters;
        for (const QueryToken& token : extra.tokens) {
            if (token.bLetter)
                letters += QueryTokensText({token});
            else if (token.mask != kAnyLetter)
                m_setItems.push_back(token.mask);
        }
        m_strLetters = SortedLetters(letters);
        // Remaining letters always make a matching-word search.
        m_bAnagram = FALSE;
    }
    if (m_bAnagram && m_bOpenLength) {
        AfxMessageBox(IDS_ANAGRAM_STAR,
                      FormatString(LoadStringText(IDS_ANAGRAM_STAR).c_str(),
                                   static_cast<int>(CountTypedCharacters(strPattern.substr(0, strPattern.find('*'))) + 1)),
                      MsgIcon::Exclamation);
        return FALSE;
    }
    // An anagram places no letter: its squares' sets are blanks, not positions.
    if (m_bAnagram)
        m_bSquareSets = false;
    // The most constrained sets are placed first.
    std::stable_sort(m_setItems.begin(), m_setItems.end(),
              [](uint32_t a, uint32_t b) { return std::popcount(a) < std::popcount(b); });

    if (m_nFixedSquares > m_nMaxLength) {
        AfxMessageBox(IDS_PATTERN_TOO_LONG, MsgIcon::Information);
        return FALSE;
    }
    // A pattern of zeros only is empty: it selects no block and finds nothing.
    m_nMatches = 0;
    if (!SetUpLength(m_nFixedSquares))
        return FALSE;
    int64_t nWords = m_decoder.Count();
    if (m_bOpenLength)
        for (int nLength = m_nFixedSquares + 1; nLength <= m_nMaxLength; ++nLength)
            nWords += nLength >= 2 && m_pnWordCount ? m_pnWordCount[nLength] : 0;
    nResultCount = m_bLimit ? kLimitMatches : static_cast<int>(std::min<int64_t>(nWords, INT_MAX));
    return TRUE;
}

BOOL CDictionary::SetUpLength(int nLength) {
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
    const int nMatches = m_nMatches;
    if (!SeekToLength(nLength))
        return FALSE;
    m_nMatches = nMatches;
    return TRUE;
}

BOOL CDictionary::NextLength() {
    if (!m_bOpenLength || m_bBlockDamaged || m_nLength >= m_nMaxLength)
        return FALSE;
    return SetUpLength(m_nLength + 1);
}
