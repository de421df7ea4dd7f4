// Any pattern and letters text up to 254 characters, parsed and searched in a
// fixed dictionary (words of 2 to 255 letters). The parse, the refusal
// message, the result count and the exact list of matches are checked
// against a plain reference of the query rules.
//
// Queries in the older alphabet (letters, '?', digits) are checked in full;
// those that use '@', '#', sets or '*' against a plain glob reference: the
// message when refused, the exact matches of a pattern alone, and that every
// match fits the pattern and comes in length order otherwise.
//
// Input: a flags byte (1 anagram, 2 limit), the pattern (a length byte and
// that many bytes), then the letters (the rest, cut at 254 characters).
#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "dictionary/dictionary.h"
#include "fuzz/fuzz_support.h"
#include "location/work_dir.h"
#include "maintenance/import_job.h"
#include "res/string_table.h"
#include "text/letter_folding.h"

namespace {

// Characters as typed, by the table of well-formed UTF-8 byte sequences in
// the Unicode standard: a byte that starts none of them counts as one.
size_t TypedCharacters(const std::string& text) {
    struct Form {
        size_t length;
        unsigned char low[4], high[4];
    };
    static const Form kForms[] = {
        {1, {0x00}, {0x7F}},
        {2, {0xC2, 0x80}, {0xDF, 0xBF}},
        {3, {0xE0, 0xA0, 0x80}, {0xE0, 0xBF, 0xBF}},
        {3, {0xE1, 0x80, 0x80}, {0xEC, 0xBF, 0xBF}},
        {3, {0xED, 0x80, 0x80}, {0xED, 0x9F, 0xBF}},
        {3, {0xEE, 0x80, 0x80}, {0xEF, 0xBF, 0xBF}},
        {4, {0xF0, 0x90, 0x80, 0x80}, {0xF0, 0xBF, 0xBF, 0xBF}},
        {4, {0xF1, 0x80, 0x80, 0x80}, {0xF3, 0xBF, 0xBF, 0xBF}},
        {4, {0xF4, 0x80, 0x80, 0x80}, {0xF4, 0x8F, 0xBF, 0xBF}},
    };
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++n) {
        size_t step = 1;
        for (const Form& form : kForms) {
            bool fits = i + form.length <= text.size();
            for (size_t k = 0; fits && k < form.length; ++k) {
                const unsigned char c = static_cast<unsigned char>(text[i + k]);
                fits = c >= form.low[k] && c <= form.high[k];
            }
            if (fits) {
                step = form.length;
                break;
            }
        }
        i += step;
    }
    return n;
}

using fuzz::Check;
using Words = std::vector<std::vector<std::string>>;

constexpr size_t kMaxText = 254;

// A word list with many short words and anagram families, and a few long
// words up to the 255-letter limit.
std::string MakeWordList() {
    std::string text;
    const char* letters = "ACDEINORST";
    for (const char* a = letters; *a; ++a)
        for (const char* b = letters; *b; ++b) {
            text += std::string{*a, *b} + "\n";
            for (const char* c = "AEOT"; *c; ++c)
                text += std::string{*a, *b, *c} + "\n";
        }
    for (const char* w : {"CRATE", "REACT", "TRACE", "CATER", "CARET", "CRANE", "CRANK", "LEVEL", "LEVER", "DATE",
                          "GATE", "ANTE", "OATH", "ACTS", "PRESERVED", "PRESERVES", "STONE", "ONSET", "NOTES",
                          "TONES", "SETON", "STENO", "AARDVARK", "ZYZZYVAS"})
        text += std::string(w) + "\n";
    for (size_t length : {20, 64, 200, 253, 254, 255}) {
        for (char first = 'A'; first <= 'C'; ++first) {
            std::string word(length, 'E');
            word[0] = first;
            word[length / 2] = 'Q';
            word[length - 1] = static_cast<char>('X' + (first - 'A'));
            text += word + "\n";
        }
    }
    return text;
}

const Words& Dictionary() {
    static const Words words = [] {
        fuzz::Env& env = fuzz::Env::Get();
        const std::string text = MakeWordList();
        env.Write("words.txt", text);
        ImportOptions options;
        options.emptyList = EmptyWordList::Accept;
        CImportJob job(env.File("words.txt"), std::move(options));
        Check(job.Run(fuzz::RunWithoutDisplay).end == JobEnd::Done, "building the query dictionary failed");
        return fuzz::AcceptedWords(text);
    }();
    return words;
}

// The query rules, stated plainly: letters upper-cased, '?' kept, a digit run
// n expanded to n '?'. The characters are kept up to 300 since every longer
// pattern is refused alike, but the number of wild positions is counted in
// full (up to a million); nullopt when a character is not allowed.
struct Parsed {
    std::string chars;
    long wild = 0;
};

std::optional<Parsed> ReferenceParse(const std::string& text, bool allowDigits) {
    constexpr long kCap = 1000000;
    Parsed out;
    long run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            out.chars += static_cast<char>(c & ~0x20);
        } else if (c == '?') {
            out.chars += '?';
            ++out.wild;
        } else if (c >= '0' && c <= '9' && allowDigits) {
            run = std::min(run * 10 + (c - '0'), kCap);
            if (i + 1 == text.size() || text[i + 1] < '0' || text[i + 1] > '9') {
                out.chars.append(static_cast<size_t>(std::min(run, 300L)), '?');
                out.wild = std::min(out.wild + run, kCap);
                run = 0;
            }
        } else {
            return std::nullopt;
        }
        if (out.chars.size() > 300)
            out.chars.resize(300);
    }
    return out;
}

std::array<int, 26> LetterCounts(const std::string& s) {
    std::array<int, 26> counts{};
    for (const char c : s)
        if (c >= 'A' && c <= 'Z')
            ++counts[static_cast<size_t>(c - 'A')];
    return counts;
}

// The squares of the newer grammar, plainly: a set of letters per square
// (bit 0 for A), 0 for '*'. False for a text the grammar refuses.
bool UsesNewerGrammar(const std::string& text) {
    return text.find_first_of("@#[]*") != std::string::npos;
}

// `fixed` counts the squares (digit runs in full), `letters` those that are
// typed letters.
bool ReferenceSquares(const std::string& text, bool pattern, std::vector<uint32_t>& squares, size_t& fixed,
                      size_t& letters) {
    constexpr uint32_t kAll = (1u << 26) - 1;
    constexpr uint32_t kVowels = 1u << 0 | 1u << 4 | 1u << 8 | 1u << 14 | 1u << 20;
    squares.clear();
    fixed = 0;
    letters = 0;
    long run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        uint32_t square = 0;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            square = 1u << ((c & ~0x20) - 'A');
            ++letters;
        } else if (c == '?') {
            square = kAll;
        } else if (c == '@') {
            square = kVowels;
        } else if (c == '#') {
            square = kAll & ~kVowels;
        } else if (c == '*' && pattern) {
            squares.push_back(0);
            continue;
        } else if (c >= '0' && c <= '9' && pattern) {
            run = std::min(run * 10 + (c - '0'), 1000L);
            if (i + 1 == text.size() || text[i + 1] < '0' || text[i + 1] > '9') {
                squares.insert(squares.end(), static_cast<size_t>(std::min(run, 300L)), kAll);
                fixed += static_cast<size_t>(run);
                run = 0;
            }
            continue;
        } else if (c == '[') {
            const size_t close = text.find(']', i + 1);
            if (close == std::string::npos)
                return false;
            std::string body = text.substr(i + 1, close - i - 1);
            const bool negated = !body.empty() && (body[0] == '!' || body[0] == '^');
            if (negated)
                body.erase(0, 1);
            uint32_t named = 0;
            for (size_t k = 0; k < body.size(); ++k) {
                const unsigned char from = static_cast<unsigned char>(body[k]);
                if (!std::isalpha(from) || from >= 0x80)
                    return false;
                unsigned char to = from;
                if (k + 2 < body.size() && body[k + 1] == '-') {
                    to = static_cast<unsigned char>(body[k + 2]);
                    if (!std::isalpha(to) || to >= 0x80 || (to & ~0x20) < (from & ~0x20))
                        return false;
                    k += 2;
                } else if (k + 1 < body.size() && body[k + 1] == '-') {
                    return false;
                }
                for (int letter = (from & ~0x20) - 'A'; letter <= (to & ~0x20) - 'A'; ++letter)
                    named |= 1u << letter;
            }
            square = negated ? kAll & ~named : named;
            if (body.empty() || square == 0)
                return false;
            i = close;
        } else {
            return false;
        }
        squares.push_back(square);
        ++fixed;
    }
    return true;
}

// Whether `word` fits the squares, '*' taking any run of letters: fits[a][w]
// says whether squares a.. fit the word's letters w.., filled from the end.
bool FitsSquares(const std::vector<uint32_t>& squares, const std::string& word) {
    const size_t n = squares.size(), m = word.size();
    std::vector<std::vector<char>> fits(n + 1, std::vector<char>(m + 1, 0));
    fits[n][m] = 1;
    for (size_t a = n; a-- > 0;)
        for (size_t w = m + 1; w-- > 0;)
            fits[a][w] = squares[a] == 0 ? fits[a + 1][w] || (w < m && fits[a][w + 1])
                                         : w < m && (squares[a] >> (word[w] - 'A') & 1) && fits[a + 1][w + 1];
    return fits[0][0] != 0;
}

// A query of the newer grammar: refused with one of the grammar's messages
// (or an older one) exactly when the reference refuses it; accepted, its
// matches fit the pattern, come shortest first without repeats, and are
// exactly the words that fit when no letters are given.
// `pattern` and `letters` are the typed texts folded, as the search folds
// them; the search itself is given the typed ones.
void CheckNewerGrammar(CDictionary& dict, bool anagram, bool limit, const std::string& typedPattern,
                       const std::string& typedLetters, const std::string& pattern, const std::string& letters) {
    fuzz::Env& env = fuzz::Env::Get();
    std::vector<uint32_t> squares;
    size_t fixed = 0, typed = 0;
    const bool patternOk = ReferenceSquares(pattern, true, squares, fixed, typed);
    int nResultCount = -1;
    // Shown as the front ends show a refusal, so that its message is checked.
    const Status refusal = dict.PrepareSearch(anagram, typedPattern, typedLetters, limit, nResultCount);
    ShowStatus(refusal);
    const bool prepared = refusal.Succeeded();
    const std::vector<UINT> messages = env.Messages();
    if (!patternOk) {
        Check(!prepared && messages.size() == 1, "a pattern the grammar refuses was accepted");
        return;
    }
    const bool star = std::count(squares.begin(), squares.end(), 0u) > 0;
    if (!prepared) {
        Check(messages.size() == 1, "a refusal showed no message or several");
        Check(!letters.empty() || (anagram && star) || fixed > static_cast<size_t>(dict.GetMaxLength()),
              "a pattern the grammar allows was refused");
        return;
    }
    Check(messages.empty(), "an accepted query showed a message");
    // Remaining letters make a matching-word search when there is an unknown
    // square for them; otherwise they are ignored.
    if (!letters.empty() && (star || fixed > typed))
        anagram = false;
    Check(!(anagram && star), "an anagram with '*' was accepted");
    std::vector<std::string> matches;
    CString word;
    while (dict.NextMatch(word, false))
        matches.push_back(word);
    Check(!limit || matches.size() <= 100, "more than 100 matches with the limit on");
    for (size_t i = 0; i < matches.size(); ++i) {
        Check(!anagram || matches[i].size() == fixed, "an anagram match of the wrong length");
        Check(anagram || FitsSquares(squares, matches[i]), "a match does not fit the pattern");
        Check(i == 0 || matches[i - 1].size() < matches[i].size() ||
                  (matches[i - 1].size() == matches[i].size() && matches[i - 1] < matches[i]),
              "matches out of length and dictionary order");
    }
    if (!anagram && letters.empty()) {
        std::vector<std::string> expected;
        const Words& words = Dictionary();
        for (const std::vector<std::string>& block : words)
            for (const std::string& candidate : block)
                if ((!limit || expected.size() < 100) && FitsSquares(squares, candidate))
                    expected.push_back(candidate);
        Check(matches == expected, "the matches differ from the pattern's squares");
    }
}

struct Expected {
    UINT message = 0;  // 0 when the search runs
    int resultCount = 0;
    std::vector<std::string> matches;
};

Expected ReferenceSearch(bool anagram, bool limit, const std::string& patternText, const std::string& lettersText) {
    Expected expected;
    const std::optional<Parsed> parsed = ReferenceParse(patternText, true);
    if (!parsed) {
        expected.message = IDS_BAD_PATTERN;
        return expected;
    }
    const std::string* pattern = &parsed->chars;
    const long wild = parsed->wild;
    std::array<int, 26> target = LetterCounts(*pattern);
    if (!lettersText.empty() && wild > 0) {
        if (static_cast<long>(TypedCharacters(lettersText)) > wild) {
            expected.message = IDS_REMAINDER_TOO_LONG;
            return expected;
        }
        const std::optional<Parsed> extra = ReferenceParse(lettersText, false);
        if (!extra) {
            expected.message = IDS_BAD_REMAINDER;
            return expected;
        }
        target = LetterCounts(*pattern + extra->chars);
        anagram = false;
    }
    const Words& words = Dictionary();
    if (pattern->size() > words.size() - 1) {
        expected.message = IDS_PATTERN_TOO_LONG;
        return expected;
    }
    const std::vector<std::string> none;
    const std::vector<std::string>& block = pattern->size() < words.size() ? words[pattern->size()] : none;
    expected.resultCount = limit ? 100 : static_cast<int>(block.size());
    for (const std::string& word : block) {
        if (limit && expected.matches.size() == 100)
            break;
        bool match = true;
        for (size_t i = 0; i < word.size() && !anagram; ++i)
            match = match && ((*pattern)[i] == '?' || (*pattern)[i] == word[i]);
        const std::array<int, 26> have = LetterCounts(word);
        for (size_t letter = 0; letter < 26 && match; ++letter)
            match = wild == 0 ? have[letter] == target[letter] : have[letter] >= target[letter];
        if (match)
            expected.matches.push_back(word);
    }
    return expected;
}

// The pattern is parsed into a cleared string, the letters are appended to
// one that already holds text, as PrepareSearch uses them.
// `text` is what the reference reads: the typed text with its accented
// letters folded, as the search folds them first.
void CheckParse(const CDictionary& dict, const std::string& typed, const std::string& text, bool allowDigits) {
    const std::optional<Parsed> parsed = ReferenceParse(text, allowDigits);
    const std::optional<std::string> expected =
        parsed ? std::optional<std::string>(parsed->chars) : std::nullopt;
    const CString before = allowDigits ? "JUNK" : "X?";
    CString out = before;
    const bool ok = dict.ParseQuery(out, typed, allowDigits, allowDigits);
    Check(ok == expected.has_value(), "ParseQuery accepted or refused wrongly");
    if (!ok)
        return;
    const CString prefix = allowDigits ? CString() : before;
    if (expected->size() <= 255) {
        Check(out == prefix + *expected, "ParseQuery gave the wrong query characters");
    } else {
        // A run that makes the pattern longer than any word may be cut short,
        // but the pattern must stay too long for any dictionary.
        Check(out.size() > 255 && out.size() <= 256 + typed.size(), "a long pattern was not kept too long");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Env& env = fuzz::Env::Get();
    Dictionary();
    fuzz::InputReader input(data, size);
    const uint8_t flags = input.Byte();
    const bool anagram = flags & 1;
    const bool limit = flags & 2;
    const std::string typedPattern = input.Text(kMaxText);
    std::string typedLetters = input.Rest();
    if (typedLetters.size() > kMaxText)
        typedLetters.resize(kMaxText);
    // The search folds accented letters once, first (é to E); the references
    // below read the folded text.
    const std::string pattern = FoldQueryLetters(typedPattern);
    const std::string letters = FoldQueryLetters(typedLetters);
    env.ClearMessages();

    CDictionary dict(GetWorkDir());
    Check(dict.OpenForReading().Succeeded(), "the query dictionary cannot be opened");
    dict.SetFailureReporter([](const Status& failure) { ShowStatus(failure); });
    if (UsesNewerGrammar(pattern) || UsesNewerGrammar(letters)) {
        CheckNewerGrammar(dict, anagram, limit, typedPattern, typedLetters, pattern, letters);
        return 0;
    }
    CheckParse(dict, typedPattern, pattern, true);
    CheckParse(dict, typedLetters, letters, false);

    const Expected expected = ReferenceSearch(anagram, limit, pattern, letters);
    int nResultCount = -1;
    // Shown as the front ends show a refusal, so that its message is checked.
    const Status refusal = dict.PrepareSearch(anagram, typedPattern, typedLetters, limit, nResultCount);
    ShowStatus(refusal);
    const bool prepared = refusal.Succeeded();
    const std::vector<UINT> messages = env.Messages();
    if (expected.message) {
        Check(!prepared, "a query was accepted that must be refused");
        Check(messages == std::vector<UINT>{expected.message}, "the refusal showed the wrong message");
        return 0;
    }
    Check(prepared && messages.empty(), "a valid query was refused");
    Check(nResultCount == expected.resultCount, "wrong result count");
    std::vector<std::string> matches;
    CString word;
    while (dict.NextMatch(word, false))
        matches.push_back(word);
    Check(matches == expected.matches, "the matches differ from the query rules");
    Check(env.Messages().empty(), "the search showed a message");
    return 0;
}
