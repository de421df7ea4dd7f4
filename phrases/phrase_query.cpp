#include "phrases/phrase_query.h"

#include <algorithm>
#include <array>
#include <bit>

#include "res/string_table.h"
#include "search/query_grammar.h"
#include "search/sorted_letters.h"

namespace {

CString SortedLetters(const CString& text) {
    CString sorted(text.size(), '\0');
    sorted.resize(SortLetters(text.data(), text.size(), sorted.data()));
    return sorted;
}

// Whether each set of `items` (most constrained first) can take a letter of
// its own from `left` (counts per letter A-Z): a bipartite matching, a set
// whose letters are all given away taking one from an earlier set that can
// move to another.
bool SetItemsFit(const std::vector<uint32_t>& items, const std::array<int, 26>& left) {
    std::vector<int> given(items.size(), -1);
    std::array<int, 26> used{};
    size_t nPlaced = 0;
    const auto place = [&](auto& self, size_t item, uint32_t& tried) -> bool {
        for (uint32_t choices = items[item] & ~tried; choices != 0; choices &= choices - 1) {
            const int letter = std::countr_zero(choices);
            tried |= 1u << letter;
            if (left[static_cast<size_t>(letter)] == 0)
                continue;
            if (used[static_cast<size_t>(letter)] < left[static_cast<size_t>(letter)]) {
                ++used[static_cast<size_t>(letter)];
                given[item] = letter;
                return true;
            }
            for (size_t other = 0; other < nPlaced; ++other)
                if (other != item && given[other] == letter && self(self, other, tried)) {
                    given[item] = letter;
                    return true;
                }
        }
        return false;
    };
    for (; nPlaced < items.size(); ++nPlaced) {
        uint32_t tried = 0;
        if (!place(place, nPlaced, tried))
            return false;
    }
    return true;
}

}  // namespace

Status CPhraseQuery::Prepare(bool anagram, const PhrasePattern& pattern, const CString& letters) {
    m_parts = pattern;
    m_partLengths.clear();
    m_strPattern.clear();
    m_bAnagram = anagram;
    m_squareMasks.clear();
    m_setItems.clear();
    m_bSquareSets = false;
    m_nWild = 0;
    for (const CString& part : pattern.parts) {
        // Each part in the grammar of a pattern of its own: letters, '?',
        // digit runs, '@', '#' and sets; a '*' has no length to give.
        QueryParse parsed;
        ParseQueryTokens(part, true, parsed);
        if (parsed.fault != QueryFault::None)
            return Status::Message(IDS_BAD_PATTERN, MsgIcon::Exclamation);
        if (parsed.bStar)
            return Status::Message(IDS_PHRASE_STAR, MsgIcon::Exclamation,
                                   FormatString(LoadStringText(IDS_PHRASE_STAR).c_str(), part.c_str()));
        size_t nSquares = 0;
        for (const QueryToken& token : parsed.tokens) {
            if (token.IsStar())
                continue;
            m_strPattern += token.bLetter ? static_cast<char>('A' + std::countr_zero(token.mask)) : '?';
            m_squareMasks.push_back(token.mask);
            m_bSquareSets = m_bSquareSets || (token.IsUnknown() && token.mask != kAnyLetter);
            m_nWild += token.bLetter ? 0 : 1;
            // In an anagram '@', '#' and sets are blanks of their letters.
            if (anagram && token.IsUnknown() && token.mask != kAnyLetter)
                m_setItems.push_back(token.mask);
            ++nSquares;
        }
        m_partLengths.push_back(static_cast<int>(nSquares));
    }
    if (letters.empty() || m_nWild == 0) {
        m_strLetters = SortedLetters(m_strPattern);
    } else {
        if (CountLetterItems(letters) > static_cast<size_t>(m_nWild))
            return Status::Message(IDS_REMAINDER_TOO_LONG, MsgIcon::Exclamation);
        QueryParse extra;
        ParseQueryTokens(letters, false, extra);
        if (extra.fault != QueryFault::None)
            return Status::Message(IDS_BAD_REMAINDER, MsgIcon::Exclamation);
        // Remaining letters; a set among them is a letter of the set.
        CString combined = m_strPattern;
        m_setItems.clear();
        for (const QueryToken& token : extra.tokens) {
            if (token.bLetter)
                combined += static_cast<char>('A' + std::countr_zero(token.mask));
            else if (token.mask != kAnyLetter)
                m_setItems.push_back(token.mask);
        }
        m_strLetters = SortedLetters(combined);
        m_bAnagram = false;
    }
    std::stable_sort(m_setItems.begin(), m_setItems.end(),
                     [](uint32_t a, uint32_t b) { return std::popcount(a) < std::popcount(b); });
    // A part of no letters (`0`) or a phrase longer than any the program
    // holds finds nothing; the pattern is still a pattern.
    // One part: the phrase's breaks may fall anywhere.
    if (pattern.parts.size() == 1) {
        m_partLengths.clear();
        m_parts = PhrasePattern();
    }
    if (m_strPattern.size() > static_cast<size_t>(kMaxWordLength))
        return Status::Message(IDS_PATTERN_TOO_LONG, MsgIcon::Information);
    return Status::Ok();
}

void CPhraseQuery::PrepareFrom(const CDictionary& dict) {
    const CSearchState& search = dict.GetSearchState();
    m_parts = PhrasePattern();
    m_partLengths.clear();
    m_strPattern = search.Pattern();
    // The squares' sets, when the search has one per letter (a pattern with
    // several '*'s matches its tokens instead).
    m_bSquareSets = search.HasSquareSets() && !search.IsAnagram() &&
                    search.SquareMasks().size() == search.Pattern().size();
    m_squareMasks.clear();
    if (m_bSquareSets)
        m_squareMasks = search.SquareMasks();
    else
        for (const char c : m_strPattern)
            m_squareMasks.push_back(c == '?' ? kAnyLetter : MaskOf(c));
    m_strLetters = search.Letters();
    m_setItems = search.SetItems();
    m_nWild = search.Wild();
    m_bAnagram = search.IsAnagram();
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
        if (m_bSquareSets)
            for (size_t i = 0; i < nLength; ++i)
                if (((m_squareMasks[i] >> (letters[i] - 'A')) & 1) == 0)
                    return false;
    }
    char sorted[kMaxWordLength];
    const size_t nSorted = SortLetters(letters, nLength, sorted);
    if (!TargetLettersFit(sorted, nSorted))
        return false;
    if (m_setItems.empty())
        return true;
    // The letters left once the target letters are taken out fill the sets.
    std::array<int, 26> left{};
    for (size_t j = 0; j < nSorted; ++j)
        ++left[static_cast<size_t>(sorted[j] - 'A')];
    for (const char c : m_strLetters)
        --left[static_cast<size_t>(c - 'A')];
    return SetItemsFit(m_setItems, left);
}

bool CPhraseQuery::TargetLettersFit(const char* sorted, size_t nSorted) const {
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
