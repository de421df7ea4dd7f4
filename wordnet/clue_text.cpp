#include "wordnet/clue_text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

bool IsLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The example markers that follow their example ("Nile, for one").
bool EndsExample(const std::vector<ClueWord>& words, size_t at, size_t& nMarker) {
    const auto is = [&](size_t i, const char* text) { return i < words.size() && words[i].text == text; };
    if (is(at, "eg") || is(at, "say") || is(at, "perhaps") || is(at, "maybe") || is(at, "possibly")) {
        nMarker = 1;
        return true;
    }
    if (is(at, "for") && (is(at + 1, "one") || is(at + 1, "example") || is(at + 1, "instance"))) {
        nMarker = 2;
        return true;
    }
    return false;
}

}  // namespace

bool IsFunctionWord(std::string_view word) {
    // "Abbr." marks the answer as an abbreviation; it is no word to look up.
    static constexpr std::array<std::string_view, 64> kWords = {
        "a",    "abbr", "abbrev", "about", "an",   "and",  "are",   "as",    "at",    "be",    "been", "but",  "by",
        "can",  "did",   "do",   "does", "for",   "from",  "had",   "has",   "have", "he",   "her",
        "his",  "i",     "if",   "in",   "into",  "is",    "it",    "its",   "me",   "my",   "no",
        "not",  "of",    "on",   "one",  "or",    "our",   "she",   "so",    "some", "than", "that",
        "the",  "their", "them", "then", "there", "these", "they",  "this",  "to",   "too",  "up",
        "us",   "was",   "we",   "were", "with",  "you",   "your"};
    return std::find(kWords.begin(), kWords.end(), word) != kWords.end();
}

std::vector<size_t> ClueText::ContentWords() const {
    std::vector<size_t> content;
    for (size_t i = 0; i < words.size(); ++i)
        if (!words[i].bStop)
            content.push_back(i);
    return content;
}

int ClueText::Head() const {
    static constexpr std::string_view kPrepositions[] = {"of", "for", "in", "on", "at", "with", "from", "by",
                                                         "to", "into", "under", "over", "after", "before"};
    const auto candidate = [&](size_t i) {
        return !words[i].bStop && !words[i].bPossessive && !(HasExample() && i >= nExampleFirst && i < nExampleEnd);
    };
    int last = -1;
    for (size_t i = 0; i < words.size(); ++i) {
        if (last >= 0 && std::find(std::begin(kPrepositions), std::end(kPrepositions), words[i].text) !=
                             std::end(kPrepositions))
            return last;
        if (candidate(i))
            last = static_cast<int>(i);
    }
    return last;
}

std::string ClueText::Letters(size_t first, size_t end) const {
    std::string letters;
    for (size_t i = first; i < end && i < words.size(); ++i)
        letters += words[i].text;
    return letters;
}

std::string ClueText::Phrase(size_t first, size_t end) const {
    std::string phrase;
    for (size_t i = first; i < end && i < words.size(); ++i) {
        if (!phrase.empty())
            phrase += ' ';
        phrase += words[i].text;
    }
    return phrase;
}

// Pasted clues bring typographic punctuation and accented letters: curly
// quotes and apostrophes, dashes, an ellipsis, no-break spaces become their
// ASCII forms, and the accented Latin letters their plain ones (Café ->
// Cafe), so that only other scripts are left as foreign words.
std::string FoldTypography(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const unsigned char c1 = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const unsigned char c2 = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        if (c == 0xE2 && c1 == 0x80 && c2 >= 0x90 && c2 <= 0xA6) {
            // U+2010 to U+2026: hyphens and dashes, quotes, the ellipsis.
            if (c2 <= 0x95)
                out += '-';
            else if (c2 == 0x98 || c2 == 0x99 || c2 == 0x9B)
                out += '\'';
            else if (c2 >= 0x9C && c2 <= 0x9F)
                out += '"';
            else if (c2 == 0xA6)
                out += "...";
            else
                out += ' ';
            i += 2;
        } else if (c == 0xC2 && c1 == 0xA0) {
            out += ' ';
            ++i;
        } else if (c == 0xC3 && c1 >= 0x80 && c1 <= 0xBF && c1 != 0x97 && c1 != 0xB7) {
            static const char* const kPlain[64] = {
                "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
                "D", "N", "O", "O", "O", "O", "O", "",  "O", "U", "U", "U", "U", "Y", "TH", "ss",
                "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
                "d", "n", "o", "o", "o", "o", "o", "",  "o", "u", "u", "u", "u", "y", "th", "y"};
            out += kPlain[c1 - 0x80];
            ++i;
        } else if (c == 0xC5 && (c1 == 0x92 || c1 == 0x93)) {
            out += c1 == 0x92 ? "OE" : "oe";
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

ClueText ParseClue(std::string_view typed) {
    ClueText clue;
    const std::string folded = FoldTypography(typed);
    const std::string_view text = folded;
    bool bBreak = false;
    bool bEg = false;  // the word just taken was the "e" of "e.g."
    size_t i = 0;
    while (i < text.size() && clue.words.size() < ClueText::kMaxWords) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLetter(c) || c >= 0x80) {
            size_t j = i;
            bool bForeign = false;
            std::string word;
            bool bPossessive = false;
            while (j < text.size()) {
                const unsigned char d = static_cast<unsigned char>(text[j]);
                if (IsLetter(d)) {
                    word += Lower(static_cast<char>(d));
                } else if (d >= 0x80) {
                    bForeign = true;
                } else if ((d == '\'' || d == '`') && j + 1 < text.size() &&
                           IsLetter(static_cast<unsigned char>(text[j + 1])) && !word.empty()) {
                    // "rock's": the possessive goes; "don't": the apostrophe goes.
                    if (Lower(text[j + 1]) == 's' &&
                        (j + 2 >= text.size() || !IsLetter(static_cast<unsigned char>(text[j + 2])))) {
                        j += 2;
                        bPossessive = true;
                        break;
                    }
                } else {
                    break;
                }
                ++j;
            }
            if (bForeign) {
                clue.foreign.emplace_back(text.substr(i, j - i));
                bBreak = true;
            } else if (!word.empty()) {
                // "e.g." comes as the words "e" and "g" with a full stop between.
                if (word == "g" && bEg && !clue.words.empty()) {
                    clue.words.back().text = "eg";
                    bEg = false;
                } else {
                    bEg = word == "e" && j < text.size() && text[j] == '.';
                    clue.words.push_back({word, bBreak, IsFunctionWord(word), bPossessive});
                }
                bBreak = false;
            }
            i = j;
            continue;
        }
        if (c == '_') {
            while (i < text.size() && text[i] == '_')
                ++i;
            if (clue.nBlank < 0)
                clue.nBlank = static_cast<int>(clue.words.size());
            continue;
        }
        if (c == '(') {
            // An enumeration: digits, separated by commas, hyphens or blanks.
            size_t j = i + 1;
            int nTotal = 0, nNumber = 0;
            bool bDigits = false;
            while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == ',' ||
                                       text[j] == '-' || text[j] == ' ')) {
                if (std::isdigit(static_cast<unsigned char>(text[j]))) {
                    nNumber = std::min(nNumber * 10 + (text[j] - '0'), 1000);
                    bDigits = true;
                } else {
                    nTotal += nNumber;
                    nNumber = 0;
                }
                ++j;
            }
            if (bDigits && j < text.size() && text[j] == ')') {
                clue.nEnumeration = std::min(nTotal + nNumber, 1000);
                i = j + 1;
                bBreak = true;
                continue;
            }
        }
        // Blanks, tabs and a pasted line break only separate words.
        if (c != ' ' && c != '-' && c != '.' && c != '\t' && c != '\n' && c != '\r')
            bBreak = true;
        if (c == '.' && !bEg)
            bBreak = true;
        ++i;
    }
    if (clue.words.size() == ClueText::kMaxWords)
        clue.words.resize(ClueText::kMaxWords);

    // "such as X": the example follows; "X, e.g.": it comes before, back to
    // the punctuation or the start.
    for (size_t w = 0; w + 1 < clue.words.size() && !clue.HasExample(); ++w)
        if (clue.words[w].text == "such" && clue.words[w + 1].text == "as" && w + 2 < clue.words.size()) {
            clue.words[w].bStop = true;
            clue.nExampleFirst = w + 2;
            size_t end = w + 3;
            while (end < clue.words.size() && !clue.words[end].bBreakBefore)
                ++end;
            clue.nExampleEnd = end;
        }
    for (size_t w = 1; w < clue.words.size() && !clue.HasExample(); ++w) {
        size_t nMarker = 0;
        if (!EndsExample(clue.words, w, nMarker) || w + nMarker != clue.words.size() ||
            !(clue.words[w].bBreakBefore || clue.words[w].text == "eg"))
            continue;
        size_t first = w - 1;
        while (first > 0 && !clue.words[first].bBreakBefore)
            --first;
        clue.nExampleFirst = first;
        clue.nExampleEnd = w;
        for (size_t m = w; m < clue.words.size(); ++m)
            clue.words[m].bStop = true;
    }
    return clue;
}
