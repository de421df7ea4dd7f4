// CSearchState: one query as a CDictionary searches it: the typed pattern
// and remaining letters turned into the squares' letter sets, the sorted
// target letters and their budget, and the tests a word of the block must
// pass. The dictionary holds one and walks its blocks; callers read the
// query back through the accessors.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/cstring.h"
#include "platform/status.h"

// The typed text as a query string of letters and '?' (digit runs written
// out when allowed, '*' kept), appended to strOut (cleared first if asked);
// false at a fault, with what came before it.
bool ParseQueryText(CString& strOut, const CString& strTyped, bool bAllowDigits, bool bClearFirst);

class CSearchState {
public:
    static constexpr int kLimitMatches = 100;

    // Reads the typed pattern and remaining letters (accented letters typed
    // as the letters the dictionary holds them by). For a query that breaks
    // the grammar or asks what no word can give, the message that says why
    // (not shown); the pattern then holds what came before the fault.
    Status Prepare(bool bAnagram, const CString& strPattern, const CString& strLetters, bool bLimit);
    // The squares for words of nLength letters: an open-length pattern's
    // '*' takes the letters the fixed squares leave.
    void SetLength(int nLength);

    // The query's tests, on a word of the current length.
    bool MatchesWord(const CString& word) const;
    bool MatchesLetters(const CString& word) const;
    // Every word of a block matches: the pattern is only '?', digit runs
    // and '*' placed once, with no letters to look for.
    bool MatchesEveryWord() const {
        return m_strLetters.empty() && !m_bSquareSets && !m_bManyStars && m_setItems.empty();
    }
    // A matching-word search whose squares can be tested as each word is
    // decoded (one set per square).
    bool TestsSquares() const { return !m_bAnagram && !m_bManyStars; }

    // The matches returned since the walk began, and the 100-word limit.
    void ResetMatches() { m_nMatches = 0; }
    void SetMatchCount(int nMatches) { m_nMatches = nMatches; }
    void CountMatch() { ++m_nMatches; }
    int MatchCount() const { return m_nMatches; }
    bool LimitReached() const { return m_bLimit && m_nMatches >= kLimitMatches; }

    bool IsAnagram() const { return m_bAnagram; }
    bool IsLimited() const { return m_bLimit; }
    int Wild() const { return m_nWild; }
    // The squares as letters and '?', as long as the words of the block.
    const CString& Pattern() const { return m_strPattern; }
    // The target letters: upper case, sorted, repeats kept.
    const CString& Letters() const { return m_strLetters; }
    // The letters each square may hold (bit 0 for A), with several '*'s empty.
    const std::vector<uint32_t>& SquareMasks() const { return m_squareMasks; }
    // The sets that some unknown squares must fill, most constrained first.
    const std::vector<uint32_t>& SetItems() const { return m_setItems; }
    bool HasSquareSets() const { return m_bSquareSets; }
    bool IsOpenLength() const { return m_bOpenLength; }
    bool LettersPlaced() const { return m_bLettersPlaced; }
    // The squares the pattern fixes besides its '*'s: the shortest length.
    int FixedSquares() const { return m_nFixedSquares; }
    // The word length the squares are set up for.
    int Length() const { return m_nLength; }

private:
    bool MatchesTokens(const CString& word) const;
    bool SetItemsFit(const char* sorted, size_t nSorted) const;

    bool m_bAnagram = false;
    bool m_bLimit = false;
    int m_nWild = 0;
    CString m_strPattern;
    CString m_strLetters;
    int m_nMatches = 0;
    // Beyond letters and '?' (search/query_grammar.h): the letters each
    // square may hold, the parsed pattern with its '*' (0), and the sets that
    // some unknown squares must fill (an anagram's '@', '#' and sets;
    // remaining letters given as sets).
    std::vector<uint32_t> m_squareMasks;
    std::vector<uint32_t> m_patternTokens;
    std::vector<uint32_t> m_setItems;
    bool m_bSquareSets = false;     // some square of a matching-word search holds a set
    bool m_bOpenLength = false;     // the pattern has a '*'
    bool m_bLettersPlaced = false;  // the letters to look for are the pattern's typed ones
    // An open-length search: the squares the pattern fixes around its '*'s
    // and how many of them are typed letters; several '*'s are matched by
    // walking the tokens.
    int m_nFixedSquares = 0;
    int m_nFixedLetters = 0;
    int m_nLength = 0;
    bool m_bManyStars = false;
};
