// Turning the typed pattern and remaining letters into the search state of a
// CDictionary, and positioning it at the block of the pattern's length.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "dictionary/dictionary.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "search/sorted_letters.h"

namespace {

// No dictionary holds words longer than 255 letters, so a digit run never
// needs to expand the pattern beyond 256 characters: that is already too long
// for any dictionary, and the search reports it as such.
constexpr size_t kMaxExpandedLength = 256;

// The query text's grammar: ASCII letters (upper-cased), '?', and, when
// digits are allowed, runs of decimal digits that stand for that many '?'.
// Appends the parsed characters to `out`; a digit run's '?' stop once `out`
// is kMaxExpandedLength long, so no huge string is built. `wild` gains the
// number of wild positions the text stands for: every '?' and the full value
// of every digit run, saturating at INT_MAX, since the remaining-letters
// check must see every wild position the user typed. False at the first
// character outside the grammar, with `out` holding what came before it.
bool ParseQueryText(CString& out, const CString& text, bool allowDigits, int64_t& wild) {
    constexpr int64_t kMax = INT_MAX;
    int64_t run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsAsciiLetter(c)) {
            out.push_back(ToUpperAscii(static_cast<char>(c)));
        } else if (c == '?') {
            out.push_back('?');
            wild = std::min(wild + 1, kMax);
        } else if (c >= '0' && c <= '9' && allowDigits) {
            run = std::min(run * 10 + (c - '0'), kMax);
            const bool runEnds = i + 1 == text.size() || text[i + 1] < '0' || text[i + 1] > '9';
            if (runEnds) {
                const size_t room = out.size() < kMaxExpandedLength ? kMaxExpandedLength - out.size() : 0;
                out.append(std::min(static_cast<size_t>(run), room), '?');
                wild = std::min(wild + run, kMax);
                run = 0;
            }
        } else {
            return false;
        }
    }
    return true;
}

CString SortedLetters(const CString& text) {
    CString sorted(text.size(), '\0');
    sorted.resize(SortLetters(text.data(), text.size(), sorted.data()));
    return sorted;
}

}  // namespace

BOOL CDictionary::ParseQuery(CString& strOut, const CString& strText, BOOL bAllowDigits, BOOL bClearFirst) const {
    if (bClearFirst)
        strOut.clear();
    int64_t nWild = 0;
    return ParseQueryText(strOut, strText, bAllowDigits, nWild);
}

BOOL CDictionary::PrepareSearch(BOOL bAnagram, const CString& strPattern, const CString& strLetters, BOOL bLimit,
                                int& nResultCount) {
    // Whatever block an earlier query was walking is given up first: a
    // refused query must leave nothing to decode, since the pattern it leaves
    // behind need not fit the block (or the decoder's word buffer).
    ForgetBlock();
    m_bAnagram = bAnagram;
    m_bLimit = bLimit;
    m_nWild = 0;

    m_strPattern.clear();
    int64_t nWild = 0;
    if (!ParseQueryText(m_strPattern, strPattern, true, nWild)) {
        AfxMessageBox(IDS_BAD_PATTERN, MsgIcon::Exclamation);
        return FALSE;
    }
    m_nWild = static_cast<int>(nWild);

    if (strLetters.empty() || m_nWild == 0) {
        m_strLetters = SortedLetters(m_strPattern);
    } else {
        if (CountTypedCharacters(strLetters) > static_cast<size_t>(m_nWild)) {
            AfxMessageBox(IDS_REMAINDER_TOO_LONG, MsgIcon::Exclamation);
            return FALSE;
        }
        CString combined = m_strPattern;
        if (!ParseQuery(combined, strLetters, FALSE, FALSE)) {
            AfxMessageBox(IDS_BAD_REMAINDER, MsgIcon::Exclamation);
            return FALSE;
        }
        m_strLetters = SortedLetters(combined);
        // Remaining letters always make a matching-word search.
        m_bAnagram = FALSE;
    }

    const int nLength = static_cast<int>(m_strPattern.size());
    if (nLength > m_nMaxLength) {
        AfxMessageBox(IDS_PATTERN_TOO_LONG, MsgIcon::Information);
        return FALSE;
    }
    // A pattern of zeros only is empty: it selects no block and finds nothing.
    if (!SeekToLength(nLength))
        return FALSE;
    nResultCount = m_bLimit ? kLimitMatches : m_nBlockCount;
    return TRUE;
}
