// A clue as printed, taken apart: its words in order, where a phrase may not
// run on (punctuation between words), the "___" blank of a fill-in-the-blank
// clue, the example of an "X, e.g." clue, and an enumeration such as "(5)".
//
// Words are the runs of ASCII letters, lower-cased; an apostrophe inside a
// word is dropped and a possessive "'s" taken off ("rock's" -> rock). A
// hyphen joins words into one phrase ("hide-and-seek"). Digits, quotes and
// other punctuation only separate. A run of letters that holds bytes beyond
// ASCII is kept aside whole (`foreign`): no lookup can know it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ClueWord {
    std::string text;        // a-z only
    bool bBreakBefore = false;  // punctuation (not a blank or hyphen) before it
    bool bStop = false;      // a function word ("the", "of", "and"): no lookup of its own
    bool bPossessive = false;  // typed with "'s" ("Boat's"): a modifier, never the head
};

struct ClueText {
    // A clue has at most this many words; the rest are ignored (a 254-character
    // box holds 127 words).
    static constexpr size_t kMaxWords = 64;

    std::vector<ClueWord> words;
    // The blank is before words[nBlank]; -1 without one.
    int nBlank = -1;
    // "Nile, for one", "Sonnet, e.g.", "such as Nile", "Nile, say",
    // "Rover, perhaps": the example's words (indices into `words`).
    size_t nExampleFirst = 0, nExampleEnd = 0;
    // The letters an enumeration "(5)", "(3,4)" or "(3-4)" gives; 0 without.
    int nEnumeration = 0;
    // Words with letters beyond ASCII, as typed.
    std::vector<std::string> foreign;

    bool HasExample() const { return nExampleEnd > nExampleFirst; }
    // The content words: every word that is not a function word.
    std::vector<size_t> ContentWords() const;
    // The head of a definition: the content word that names what the answer
    // is ("bottom beam" -> beam, "unit of farmland" -> unit): the last
    // content word before the first preposition that follows one, else the
    // last content word; possessives and the example are passed over. -1 for
    // none.
    int Head() const;
    // The letters of words [first, end) run together.
    std::string Letters(size_t first, size_t end) const;
    // The words [first, end) as typed, separated by blanks.
    std::string Phrase(size_t first, size_t end) const;
};

ClueText ParseClue(std::string_view text);

// True for the short words that carry no meaning of their own in a clue.
bool IsFunctionWord(std::string_view word);
