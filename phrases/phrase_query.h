// What a phrase must be to fit a Find: its letters as one pattern (the parts
// run together), the target letters, and where its word breaks fall when the
// pattern gives them. The test is a word's own: known letters in place, then
// the target letters among the phrase's letters, the remaining letters
// counted over the unknown positions of the whole phrase; an anagram pools
// every letter of the pattern.
#pragma once

#include <cstdint>
#include <vector>

#include "dictionary/dictionary.h"
#include "phrases/phrase_pattern.h"

class CPhraseQuery {
public:
    // From a pattern with breaks: each part is parsed by the query grammar
    // as a pattern of its own, its '@', '#' and sets kept as the letters
    // each square may hold; a '*' is refused (a part has a length). A
    // pattern of one part gives no breaks: they may fall anywhere. A refused
    // query returns the message that says why, for the caller to show.
    Status Prepare(bool anagram, const PhrasePattern& pattern, const CString& letters);
    // From a search the dictionary prepared: any phrase of as many letters.
    void PrepareFrom(const CDictionary& dict);

    // Letters of the whole phrase.
    int Length() const { return static_cast<int>(m_strPattern.size()); }
    // The parts' lengths, or none when the breaks may fall anywhere.
    const std::vector<int>& PartLengths() const { return m_partLengths; }
    // The parts as typed (none without breaks) and the breaks between them.
    const PhrasePattern& Parts() const { return m_parts; }
    // The phrase's letters as one pattern: capitals and '?'.
    const CString& Pattern() const { return m_strPattern; }
    bool IsAnagram() const { return m_bAnagram; }
    // True when any letters fit that fit the pattern's known positions.
    // A square of a set ('@', '#', [...]) is one that some letters do not fit.
    bool AnyLettersFit() const {
        return !m_bAnagram && !m_bSquareSets && m_setItems.empty() && m_strLetters.size() == KnownLetters();
    }
    // The sorted letters a phrase must hold, and how many positions are free.
    const CString& TargetLetters() const { return m_strLetters; }
    int Wild() const { return m_nWild; }

    // The letters position i may hold (bit 0 for A): a typed letter's, a
    // '?''s every letter, '@', '#' and sets theirs. Not used in an anagram.
    uint32_t SquareMask(size_t i) const { return m_squareMasks[i]; }

    // Whether Length() capitals fit: positions (not in an anagram) and letters.
    bool Matches(const char* letters) const;
    // Whether the breaks of a stored phrase (PhraseEntry::breaks) fall where
    // the pattern's do; any do when it gives none.
    bool BreaksFit(const uint8_t* breaks, int nBreaks) const;

private:
    size_t KnownLetters() const;
    // Whether the sorted letters hold the target letters, the others within
    // the free positions.
    bool TargetLettersFit(const char* sorted, size_t nSorted) const;

    CString m_strPattern;
    std::vector<uint32_t> m_squareMasks;  // per letter of m_strPattern
    bool m_bSquareSets = false;           // some square holds a set
    // Sets that letters of the phrase beyond the target letters must fill,
    // each its own: an anagram's '@', '#' and sets; sets among the
    // remaining letters.
    std::vector<uint32_t> m_setItems;
    CString m_strLetters;
    int m_nWild = 0;
    bool m_bAnagram = false;
    std::vector<int> m_partLengths;
    PhrasePattern m_parts;
};
