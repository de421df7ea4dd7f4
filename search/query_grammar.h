// The query text's grammar: what each typed character of a pattern or of the
// remaining letters stands for, and what is wrong with a text that breaks it.
//
//   A-Z, a-z   that letter                    @       one vowel (A E I O U)
//   ?          any one letter                 #       one consonant
//   digits n   n unknown letters (patterns)   [abc]   one of the letters; a-e is a range
//   *          any run of letters, none or    [!abc]  one letter not in the set
//              more (patterns only)           [^abc]  the same
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/cstring.h"

// The letters a square may hold, bit 0 for A up to bit 25 for Z.
using LetterMask = uint32_t;
inline constexpr LetterMask kAnyLetter = (1u << 26) - 1;
inline constexpr LetterMask kVowels = (1u << 0) | (1u << 4) | (1u << 8) | (1u << 14) | (1u << 20);
inline constexpr LetterMask kConsonants = kAnyLetter & ~kVowels;

inline LetterMask MaskOf(char upper) { return 1u << (upper - 'A'); }

// One square of a query, or a '*'.
struct QueryToken {
    LetterMask mask = kAnyLetter;  // 0 for '*'
    bool bLetter = false;          // a typed letter: a known square
    bool IsStar() const { return mask == 0; }
    // A square the user left open: '?', '@', '#' or a set (even of one letter).
    bool IsUnknown() const { return mask != 0 && !bLetter; }
};

enum class QueryFault {
    None,
    BadCharacter,      // a character the grammar has no use for here (messages 103, 104)
    SetNotClosed,      // "[ab"
    SetEmpty,          // "[]", "[!]"
    SetBadCharacter,   // "[a1]", "[a-]"
    SetBackwardRange,  // "[z-a]"
    SetAllowsNothing,  // "[!a-z]"
    StrayBracket,      // "]" with no "["
    Star,              // '*' among the remaining letters
};

struct QueryParse {
    std::vector<QueryToken> tokens;
    // Unknown squares the text stands for: '?', '@', '#', sets and the full
    // value of every digit run (saturating at INT_MAX); '*' adds none.
    int64_t nWild = 0;
    bool bStar = false;
    QueryFault fault = QueryFault::None;
    size_t nAt = 0;        // the faulty character (or set's '['), 1-based, in characters as typed
    size_t nDetailAt = 0;  // SetBadCharacter: the character itself; SetBackwardRange: the range's start
    CString detail;        // SetBadCharacter: the character; SetBackwardRange: its two letters
};

// A digit run never expands the squares beyond this many: no dictionary holds
// words longer than 255 letters, so a longer query is too long for any.
inline constexpr size_t kMaxQuerySquares = 256;

// Parses a pattern (digits and '*' allowed) or remaining letters (neither)
// into `out`; stops at the first fault, with the tokens before it kept.
void ParseQueryTokens(const CString& text, bool bPattern, QueryParse& out);

// The message that says what is wrong with a faulty text and where, and its
// string-table entry; `what` names the text ("pattern", "remaining letters").
// BadCharacter has none of its own: the pattern's and the letters' general
// messages (103, 104) say what is allowed.
UINT QueryFaultMessage(const QueryParse& parse, const char* what, CString& text);

// The tokens written back as query text in upper case: '?' '@' '#' and '*'
// as themselves, other sets as "[ABC]" (or "[!ABC]" when that is shorter).
// A text of letters and '?' comes back as it was parsed before sets existed.
CString QueryTokensText(const std::vector<QueryToken>& tokens);

// The remaining letters counted as the message on too many letters counts
// them: every character as typed, a set "[...]" as one.
size_t CountLetterItems(const CString& text);
