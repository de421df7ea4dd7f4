#include "phrases/phrase_query.h"

#include "platform/message_box.h"
#include "res/string_table.h"
#include "search/sorted_letters.h"

namespace {

CString SortedLetters(const CString& text) {
    CString sorted(text.size(), '\0');
    sorted.resize(SortLetters(text.data(), text.size(), sorted.data()));
    return sorted;
}

}  // namespace

bool CPhraseQuery::Prepare(const CDictionary& grammar, bool anagram, const PhrasePattern& pattern,
                           const CString& letters) {
    m_parts = pattern;
    m_partLengths.clear();
    m_strPattern.clear();
    m_bAnagram = anagram;
    for (const CString& part : pattern.parts) {
        const size_t before = m_strPattern.size();
        if (!grammar.ParseQuery(m_strPattern, part, TRUE, FALSE)) {
            AfxMessageBox(IDS_BAD_PATTERN, MsgIcon::Exclamation);
            return false;
        }
        m_partLengths.push_back(static_cast<int>(m_strPattern.size() - before));
    }
    m_nWild = 0;
    for (const char c : m_strPattern)
        m_nWild += c == '?';
    if (letters.empty() || m_nWild == 0) {
        m_strLetters = SortedLetters(m_strPattern);
    } else {
        if (CountTypedCharacters(letters) > static_cast<size_t>(m_nWild)) {
            AfxMessageBox(IDS_REMAINDER_TOO_LONG, MsgIcon::Exclamation);
            return false;
        }
        CString combined = m_strPattern;
        if (!grammar.ParseQuery(combined, letters, FALSE, FALSE)) {
            AfxMessageBox(IDS_BAD_REMAINDER, MsgIcon::Exclamation);
            return false;
        }
        m_strLetters = SortedLetters(combined);
        m_bAnagram = false;
    }
    // A part of no letters (`0`) or a phrase longer than any the program
    // holds finds nothing; the pattern is still a pattern.
    // One part: the phrase's breaks may fall anywhere.
    if (pattern.parts.size() == 1) {
        m_partLengths.clear();
        m_parts = PhrasePattern();
    }
    if (m_strPattern.size() > static_cast<size_t>(CDictionary::kMaxWordLength)) {
        AfxMessageBox(IDS_PATTERN_TOO_LONG, MsgIcon::Information);
        return false;
    }
    return true;
}

void CPhraseQuery::PrepareFrom(const CDictionary& search) {
    m_parts = PhrasePattern();
    m_partLengths.clear();
    m_strPattern = search.m_strPattern;
    m_strLetters = search.m_strLetters;
    m_nWild = search.m_nWild;
    m_bAnagram = search.m_bAnagram;
}

size_t CPhraseQuery::KnownLetters() const {
    size_t n = 0;
    for (const char c : m_strPattern)
        n += c != '?';
    return n;
}

bool CPhraseQuery::BreaksFit(const uint8_t* breaks, int nBreaks) const {
    if (m_partLengths.empty())
        return true;
    if (static_cast<size_t>(nBreaks) + 1 != m_partLengths.size())
        return false;
    int at = 0;
    for (int i = 0; i < nBreaks; ++i) {
        at += m_partLengths[static_cast<size_t>(i)];
        if ((breaks[i] & 0x7F) != at)
            return false;
    }
    return true;
}

bool CPhraseQuery::Matches(const char* letters) const {
    const size_t nLength = m_strPattern.size();
    if (!m_bAnagram) {
        for (size_t i = 0; i < nLength; ++i)
            if (m_strPattern[i] != '?' && m_strPattern[i] != letters[i])
                return false;
    }
    char sorted[CDictionary::kMaxWordLength];
    const size_t nSorted = SortLetters(letters, nLength, sorted);
    const CString& target = m_strLetters;
    if (m_nWild == 0)
        return target.size() <= nSorted && target.compare(0, target.size(), sorted, target.size()) == 0;
    if (target.empty())
        return true;
    // Both sorted: each letter of the phrase passed over uses one free position.
    size_t i = 0;
    size_t j = 0;
    int budget = m_nWild;
    for (;;) {
        if (j < nSorted && sorted[j] == target[i])
            ++i;
        else if (--budget < 0)
            return false;
        ++j;
        if (i == target.size())
            return true;
    }
}
