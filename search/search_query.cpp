// Turning the typed pattern and remaining letters into the search state of a
// CDictionary, and positioning it at the block of the pattern's length.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "dictionary/dictionary.h"
#include "platform/message_box.h"
#include "res/string_table.h"

namespace {

// No dictionary holds words longer than 255 letters, so a digit run never
// needs to expand the pattern beyond 256 characters: that is already too long
// for any dictionary, and the search reports it as such.
constexpr size_t kMaxExpandedLength = 256;

// The letters of `text` (A-Z only) in ascending order, repeats kept.
CString SortedLetters(const CString& text) {
    int counts[26] = {};
    for (const char c : text)
        if (c >= 'A' && c <= 'Z')
            ++counts[c - 'A'];
    CString sorted;
    for (int letter = 0; letter < 26; ++letter)
        sorted.append(static_cast<size_t>(counts[letter]), static_cast<char>('A' + letter));
    return sorted;
}

// The number of wild positions that a parsed pattern text stands for: its '?'
// and the full value of every digit run, saturating at INT_MAX. ParseQuery
// stops expanding a run once the pattern is too long for any dictionary; the
// remaining-letters check must still see every wild position the user typed.
int CountWildPositions(const CString& text) {
    constexpr int64_t kMax = INT_MAX;
    int64_t nWild = 0;
    int64_t nRun = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '?') {
            nWild = std::min(nWild + 1, kMax);
        } else if (c >= '0' && c <= '9') {
            nRun = std::min(nRun * 10 + (c - '0'), kMax);
            if (i + 1 == text.size() || text[i + 1] < '0' || text[i + 1] > '9') {
                nWild = std::min(nWild + nRun, kMax);
                nRun = 0;
            }
        }
    }
    return static_cast<int>(nWild);
}

}  // namespace

BOOL CDictionary::ParseQuery(CString& strOut, const CString& strText, BOOL bAllowDigits, BOOL bClearFirst) const {
    if (bClearFirst)
        strOut.clear();
    size_t nRun = 0;
    for (size_t i = 0; i < strText.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(strText[i]);
        if (IsAsciiLetter(c)) {
            strOut.push_back(ToUpperAscii(static_cast<char>(c)));
        } else if (c == '?') {
            strOut.push_back('?');
        } else if (c >= '0' && c <= '9' && bAllowDigits) {
            nRun = nRun * 10 + (c - '0');
            if (nRun > kMaxExpandedLength)
                nRun = kMaxExpandedLength;  // keeps the value bounded however long the run
            const bool runEnds = i + 1 == strText.size() || strText[i + 1] < '0' || strText[i + 1] > '9';
            if (runEnds) {
                const size_t room = strOut.size() < kMaxExpandedLength ? kMaxExpandedLength - strOut.size() : 0;
                strOut.append(nRun < room ? nRun : room, '?');
                nRun = 0;
            }
        } else {
            return FALSE;
        }
    }
    return TRUE;
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

    if (!ParseQuery(m_strPattern, strPattern, TRUE, TRUE)) {
        AfxMessageBox(IDS_BAD_PATTERN, MsgIcon::Exclamation);
        return FALSE;
    }
    m_nWild = CountWildPositions(strPattern);

    if (strLetters.empty() || m_nWild == 0) {
        m_strLetters = SortedLetters(m_strPattern);
    } else {
        if (strLetters.size() > static_cast<size_t>(m_nWild)) {
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
