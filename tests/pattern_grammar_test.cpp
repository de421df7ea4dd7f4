// The pattern grammar beyond letters, '?' and digit runs: vowels '@',
// consonants '#', letter sets, '*', their refusals, and the same patterns
// checked against a regular expression over an exported word list.
#include <cctype>
#include <fstream>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "res/string_table.h"
#include "search/find_words.h"
#include "search/search_history.h"
#include "tests/test_support.h"

namespace {

using Words = std::vector<std::string>;

class PatternGrammarTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildDictionary(dir, {"CAT", "COT", "CUT", "ACT", "CAB", "ARC", "ACE", "TAC", "DATE", "GATE", "ANTE", "OATH",
                              "ACTS", "CRATE", "REACT", "TRACE", "CATER", "CARET", "AA", "AB"});
    }
    ScratchDir dir;
};

TEST_F(PatternGrammarTest, ClassesAndSetsInMatchingWordSearches) {
    EXPECT_EQ(RunQuery("c@t").words, (Words{"CAT", "COT", "CUT"}));
    EXPECT_EQ(RunQuery("@##").words, (Words{"ACT", "ARC"}));
    EXPECT_EQ(RunQuery("[CT]a[tb]").words, (Words{"CAB", "CAT"}));
    EXPECT_EQ(RunQuery("[A-c]?[!t]").words, (Words{"ACE", "ARC", "CAB"}));
    EXPECT_EQ(RunQuery("?[^aeiou]?").words, RunQuery("?#?").words);
    EXPECT_EQ(RunQuery("[ab]?").words, (Words{"AA", "AB"}));
    // A set is an unknown square: a remaining letter may fill it, and must
    // fit it. On "#@#" an A can only be the middle letter.
    EXPECT_EQ(RunQuery("#@#", "a").words, (Words{"CAB", "CAT", "TAC"}));
    EXPECT_EQ(RunQuery("[a]?", "a").words, (Words{"AA", "AB"}));
    EXPECT_EQ(RunQuery("3", "c[rt]").words, (Words{"ACT", "ARC", "CAT", "COT", "CUT", "TAC"}))
        << "a set among the remaining letters";
}

TEST_F(PatternGrammarTest, StarSearchesEveryLengthShortestFirst) {
    const QueryOutcome endsInE = RunQuery("*e");
    EXPECT_EQ(endsInE.words, (Words{"ACE", "ANTE", "DATE", "GATE", "CRATE", "TRACE"}));
    EXPECT_EQ(endsInE.resultCount, 20) << "every word of lengths 1 and up";
    EXPECT_EQ(RunQuery("c*t").words, (Words{"CAT", "COT", "CUT", "CARET"}));
    EXPECT_EQ(RunQuery("*a*e*").words, (Words{"ACE", "ANTE", "DATE", "GATE", "CARET", "CATER", "CRATE", "TRACE"}));
    EXPECT_EQ(RunQuery("**t**").words, RunQuery("*t*").words);
    EXPECT_EQ(RunQuery("*").words.size(), 20u);
    EXPECT_EQ(RunQuery("c*", "t").words, (Words{"CAT", "COT", "CUT", "CARET", "CATER", "CRATE"}))
        << "the letters a * stands for take remaining letters";
    EXPECT_EQ(RunQuery("c*", "t", true).words, RunQuery("c*", "t").words)
        << "remaining letters make a matching-word search";
    EXPECT_EQ(RunQuery("*ate", "", false, true).resultCount, 100);
    EXPECT_EQ(RunQuery("6*").messages, std::vector<UINT>{IDS_PATTERN_TOO_LONG});
}

TEST(PatternGrammarLimit, TheLimitCountsAcrossLengths) {
    ScratchDir dir;
    Words words;
    for (char a = 'A'; a <= 'Z'; ++a)
        for (char b = 'A'; b <= 'C'; ++b) {
            words.push_back(std::string{a, b});
            words.push_back(std::string{a, b, 'X'});
        }
    BuildDictionary(dir, words);
    const QueryOutcome limited = RunQuery("*", "", false, true);
    ASSERT_EQ(limited.words.size(), 100u);
    EXPECT_EQ(limited.words[77], "ZC");
    EXPECT_EQ(limited.words[78], "AAX") << "then the 3-letter words";
    EXPECT_EQ(limited.words[99], "HAX");
    EXPECT_EQ(RunQuery("*").words.size(), 156u);
}

TEST_F(PatternGrammarTest, AnagramBlanksMustFitTheirSets) {
    EXPECT_EQ(RunQuery("ca@", "", true).words, Words{"ACE"});
    EXPECT_EQ(RunQuery("ca#", "", true).words, (Words{"ACT", "ARC", "CAB", "CAT", "TAC"}));
    EXPECT_EQ(RunQuery("[rt]ca", "", true).words, (Words{"ACT", "ARC", "CAT", "TAC"}));
    // Two sets that compete for the same letters, each needing its own: in
    // ACE the A first given to [ac] must move over to [at].
    EXPECT_EQ(RunQuery("[ac][at]?", "", true).words, RunQuery("3").words);
    EXPECT_EQ(RunQuery("[ac][at]", "", true).words, Words{"AA"});
    EXPECT_EQ(RunQuery("@#@#", "", true).words, (Words{"ANTE", "DATE", "GATE", "OATH"}));
    EXPECT_EQ(RunQuery("@@", "", true).words, Words{"AA"});
    // The history keeps such an anagram as letters that repeat it.
    CString parsed;
    CDictionary dict(GetWorkDir());
    ASSERT_TRUE(dict.ParseQuery(parsed, "ca[^aeiou]", true, true));
    const CString entry = CSearchHistory::EntryFor("ca[^aeiou]", "", true, parsed);
    EXPECT_EQ(entry, "3 (CA#)");
    EXPECT_EQ(RunQuery("3", "CA#").words, RunQuery("ca#", "", true).words);
    ASSERT_TRUE(dict.ParseQuery(parsed, "t[sz]2", true, true));
    EXPECT_EQ(CSearchHistory::EntryFor("t[sz]2", "", true, parsed), "4 (T[SZ]?\?)");
}

TEST_F(PatternGrammarTest, MalformedQueriesSayWhatIsWrongAndWhere) {
    const struct {
        const char* pattern;
        const char* letters;
        bool anagram;
        UINT id;
        const char* text;  // the start of the message
    } cases[] = {
        {"c[ab", "", false, IDS_SET_NOT_CLOSED, "The letter set that starts at character 2 of the pattern has no closing ]."},
        {"[]", "", false, IDS_SET_EMPTY, "The letter set at character 1 of the pattern names no letter"},
        {"?[!]", "", false, IDS_SET_EMPTY, "The letter set at character 2 of the pattern names no letter"},
        {"[z-a]", "", false, IDS_SET_BACKWARD_RANGE, "The range Z-A at character 2 of the pattern runs backwards: write it A-Z."},
        {"[a?]", "", false, IDS_SET_BAD_CHARACTER, "The letter set that starts at character 1 of the pattern holds \"?\" at character 3"},
        {"[a b]", "", false, IDS_SET_BAD_CHARACTER, "The letter set that starts at character 1 of the pattern holds a blank at character 3"},
        {"[!a-z]", "", false, IDS_SET_ALLOWS_NOTHING, "The letter set at character 1 of the pattern leaves no letter"},
        {"c?t]", "", false, IDS_STRAY_BRACKET, "The ] at character 4 of the pattern closes no letter set."},
        {"c*t", "", true, IDS_ANAGRAM_STAR, "An anagram has a fixed number of letters, so the * at character 2"},
        {"???", "a*", false, IDS_LETTERS_STAR, "Each remaining letter fills one square, so the * at character 2"},
        {"???", "[x", false, IDS_SET_NOT_CLOSED, "The letter set that starts at character 1 of the remaining letters"},
        // Characters outside the grammar keep their old messages.
        {"a-b", "", false, IDS_BAD_PATTERN, "The pattern can only contain"},
        {"??", "a1", false, IDS_BAD_REMAINDER, "The wild characters"},
        {"[ab", "[x", false, IDS_SET_NOT_CLOSED, "The letter set that starts at character 1 of the pattern"},
    };
    for (const auto& c : cases) {
        const QueryOutcome r = RunQuery(c.pattern, c.letters, c.anagram);
        EXPECT_FALSE(r.prepared) << c.pattern;
        ASSERT_EQ(r.messages, std::vector<UINT>{c.id}) << c.pattern << " / " << c.letters;
        EXPECT_EQ(r.texts[0].rfind(c.text, 0), 0u) << r.texts[0];
    }
}

// A refused query is returned, its message's blanks filled in as the detail,
// and nothing is shown until the caller shows it: then the filled-in text is
// what the user reads. The detail of a message without blanks (a system's
// reason) leaves the message's own text.
TEST_F(PatternGrammarTest, RefusalsAreReturnedFilledInAndShownOnlyByTheCaller) {
    std::vector<std::string> texts;
    const MessageSink previous = SetMessageSink([&texts](UINT, const CString& text, MsgIcon, MsgButtons) {
        texts.push_back(text);
        return IDOK;
    });
    CDictionary dict(GetWorkDir());
    ASSERT_TRUE(dict.OpenForReading());
    int count = 0;
    const Status star = dict.PrepareSearch(true, "ca*t", "", false, count);
    const Status set = dict.PrepareSearch(false, "c?t]", "", false, count);
    const Status tooLong = dict.PrepareSearch(false, "??????", "", false, count);
    const Status remainder = dict.PrepareSearch(false, "c??", "abc", false, count);
    EXPECT_TRUE(texts.empty()) << "the search showed a refusal itself";
    EXPECT_EQ(star.nMessage, IDS_ANAGRAM_STAR);
    EXPECT_EQ(star.icon, MsgIcon::Exclamation);
    EXPECT_EQ(star.detail.rfind("An anagram has a fixed number of letters, so the * at character 3", 0), 0u)
        << star.detail;
    EXPECT_EQ(set.nMessage, IDS_STRAY_BRACKET);
    EXPECT_EQ(set.detail, "The ] at character 4 of the pattern closes no letter set.");
    EXPECT_EQ(tooLong, Status::Message(IDS_PATTERN_TOO_LONG, MsgIcon::Information));
    EXPECT_EQ(remainder, Status::Message(IDS_REMAINDER_TOO_LONG, MsgIcon::Exclamation));
    // The refused query left nothing to decode.
    CString word;
    EXPECT_FALSE(dict.NextMatch(word, true));
    EXPECT_TRUE(dict.Failure().Succeeded());

    ShowStatus(star);
    ShowStatus(tooLong);
    ShowStatus(Status::Message(IDS_CANNOT_OPEN_TEXT, MsgIcon::Exclamation, "Permission denied"));
    SetMessageSink(previous);
    EXPECT_EQ(texts, (std::vector<std::string>{star.detail, LoadStringText(IDS_PATTERN_TOO_LONG),
                                               LoadStringText(IDS_CANNOT_OPEN_TEXT)}));
}

TEST(PatternGrammarDamage, ASearchFindsDamageInTheLettersItPassesOver) {
    ScratchDir dir;
    // Length 3, two words in one code group: CAT, then D and a prefix code
    // where a letter must be. A search whose first square refuses C and D
    // passes over both words' other letters, and must still see the damage.
    const std::string trailer("\0\0\0\0\0\0\0\0\x02\0\0\0\x03", 13);
    dir.Write("dictionary.dat", std::string("\x10\x26\x3d\x00\x00", 5) + trailer);
    // The words before the damage stay listed; the search stops there, once.
    for (const auto& [pattern, words] : std::vector<std::pair<std::string, Words>>{
             {"x??", {}}, {"[!cd]?a", {}}, {"3", {"CAT"}}, {"*", {"CAT"}}, {"*t", {"CAT"}}}) {
        const QueryOutcome r = RunQuery(pattern);
        EXPECT_EQ(r.messages, std::vector<UINT>{IDS_INVALID_CHARACTER}) << pattern;
        EXPECT_EQ(r.words, words) << pattern;
    }
    // The same group with E for the prefix code: DEA.
    dir.Write("dictionary.dat", std::string("\x10\x26\x32\x00\x00", 5) + trailer);
    EXPECT_EQ(RunQuery("x??").messages, std::vector<UINT>{});
    EXPECT_EQ(RunQuery("d@?").words, Words{"DEA"});
    EXPECT_EQ(RunQuery("*a").words, Words{"DEA"});
}

TEST(PatternGrammarDamage, DamageInAnEarlierGroupStopsTheSearchBeforeTheNextMatch) {
    ScratchDir dir;
    // Length 4 in three code groups: BAKE, BA+RN, CART, DO?E, FIRE, FIR+S,
    // where ? is a letter (M) or a prefix code (27) in the second group.
    const auto file = [](int third) {
        std::vector<int> codes{1, 0, 10, 4, 26, 17, 13, 2, 0, 17, 19, 3, 14, third, 4, 5, 8, 17, 4, 27, 18};
        codes.resize(24, 0);
        std::string bytes;
        for (size_t g = 0; g < codes.size(); g += 8) {
            uint64_t v = 0;
            for (size_t i = 0; i < 8; ++i)
                v = (v << 5) | static_cast<uint64_t>(codes[g + i]);
            for (int i = 4; i >= 0; --i)
                bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
        // Trailer: lengths 2 and 3 empty at 0, length 4 with 6 words at 0.
        return bytes + std::string("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x06\0\0\0\x04", 19);
    };
    dir.Write("dictionary.dat", file(12));
    EXPECT_EQ(RunQuery("f???").words, (Words{"FIRE", "FIRS"}));
    EXPECT_EQ(RunQuery("#a??").words, (Words{"BAKE", "BARN", "CART"}));
    EXPECT_EQ(RunQuery("d?me").words, Words{"DOME"});
    EXPECT_TRUE(RunQuery("f???").messages.empty());

    // The damage lies in letters that every search below passes over: the
    // words before it stay listed, none after it, and it is told once.
    dir.Write("dictionary.dat", file(27));
    for (const auto& [pattern, words] : std::vector<std::pair<std::string, Words>>{
             {"f???", {}}, {"#a??", {"BAKE", "BARN", "CART"}}, {"x*", {}}, {"*s", {}}, {"??r?", {"BARN", "CART"}}}) {
        const QueryOutcome r = RunQuery(pattern);
        EXPECT_EQ(r.messages, std::vector<UINT>{IDS_INVALID_CHARACTER}) << pattern;
        EXPECT_EQ(r.words, words) << pattern;
    }
}

// A query's regular expression for grep -ixE: '?' [a-z], '@' [aeiou], '#'
// the consonants, '*' [a-z]*, a digit run n [a-z]{n}, sets as they are.
class PatternMaker {
public:
    explicit PatternMaker(unsigned seed) : m_random(seed) {}

    // A pattern built from `word`, square by square, with a chance of a
    // change that makes it fit other words or none.
    void Make(const std::string& word, std::string& pattern, std::string& regex) {
        pattern.clear();
        regex.clear();
        int nStars = 0;
        for (size_t i = 0; i < word.size(); ++i) {
            if (Chance(12) && nStars < 2) {
                // A '*' for the next few letters (maybe none).
                i += Below(3);
                --i;
                pattern += '*';
                regex += "[a-z]*";
                ++nStars;
                continue;
            }
            const char letter = Chance(8) ? static_cast<char>('A' + Below(26)) : word[i];
            i += Square(letter, word.size() - i, pattern, regex) - 1;
        }
    }

private:
    bool Chance(unsigned percentOf100) { return Below(100) < percentOf100; }
    unsigned Below(unsigned n) { return static_cast<unsigned>(m_random() % n); }
    char Cased(char upper) { return Chance(50) ? static_cast<char>(upper - 'A' + 'a') : upper; }

    // One square for `letter` (or a run of unknown ones, at most `room`);
    // returns the letters of the word it stands for.
    size_t Square(char letter, size_t room, std::string& pattern, std::string& regex) {
        const bool vowel = std::string("AEIOU").find(letter) != std::string::npos;
        switch (Below(7)) {
        case 0:
        case 1:
            pattern += Cased(letter);
            regex += letter;
            break;
        case 2: {
            // A run of unknown letters, as '?'s or as a digit run.
            const unsigned n = 1 + Below(static_cast<unsigned>(std::min<size_t>(room, 3)));
            // Digits right after a digit run would join it.
            const bool bAfterDigit = !pattern.empty() && std::isdigit(static_cast<unsigned char>(pattern.back()));
            pattern += n == 1 || bAfterDigit || Chance(50) ? std::string(n, '?') : std::to_string(n);
            regex += "[a-z]{" + std::to_string(n) + "}";
            return n;
        }
        case 3:
            pattern += vowel ? '@' : '#';
            regex += vowel ? "[aeiou]" : "[b-df-hj-np-tv-z]";
            break;
        case 4: {
            std::string set(1, Cased(letter));
            for (unsigned k = Below(3); k > 0; --k)
                set += Cased(static_cast<char>('A' + Below(26)));
            pattern += "[" + set + "]";
            regex += "[" + set + "]";
            break;
        }
        case 5: {
            const char from = static_cast<char>(std::max<int>('A', letter - static_cast<int>(Below(4))));
            const char to = static_cast<char>(std::min<int>('Z', letter + static_cast<int>(Below(4))));
            pattern += "[" + std::string(1, Cased(from)) + "-" + Cased(to) + "]";
            // A regex range runs by character codes: both ends in one case.
            regex += "[" + std::string(1, from) + "-" + to + "]";
            break;
        }
        default: {
            std::string set;
            for (unsigned k = 1 + Below(4); k > 0; --k) {
                const char other = static_cast<char>('A' + Below(26));
                if (other != letter)
                    set += Cased(other);
            }
            if (set.empty())
                set = letter == 'Q' ? "x" : "q";
            pattern += (Chance(50) ? "[!" : "[^") + set + "]";
            regex += "[^" + set + "]";
            break;
        }
        }
        return 1;
    }

    std::mt19937 m_random;
};

TEST(PatternGrammarReference, AgreesWithARegularExpressionOverTheExportedList) {
    ScratchDir dir;
    // Words of 2 to 9 letters with English-like letter frequencies.
    std::mt19937 random(19);
    const std::string letters = "EEEEEAAAAIIIOOOUTTTNNNSSSRRRLLDDCCMMPPBGHKWYFVZXJQ";
    std::vector<std::string> list;
    for (int i = 0; i < 2500; ++i) {
        std::string word(2 + random() % 8, ' ');
        for (char& c : word)
            c = letters[random() % letters.size()];
        list.push_back(word);
    }
    BuildDictionary(dir, list);
    {
        MessageRecorder quiet;
        ASSERT_EQ(ExportHeadless(dir.File("exported.txt")), static_cast<UINT>(IDS_SAVE_DONE));
    }
    std::ifstream in(dir.File("exported.txt"));
    std::vector<std::string> exported;
    for (std::string line; std::getline(in, line);)
        exported.push_back(line);
    ASSERT_GT(exported.size(), 2000u);

    PatternMaker maker(2026);
    int nWithMatches = 0;
    int nWithStar = 0;
    for (int n = 0; n < 240; ++n) {
        std::string pattern, regexText;
        maker.Make(exported[random() % exported.size()], pattern, regexText);
        const std::regex regex(regexText, std::regex::icase | std::regex::extended);
        Words expected;
        for (const std::string& word : exported)
            if (std::regex_match(word, regex))
                expected.push_back(word);
        const QueryOutcome found = RunQuery(pattern);
        ASSERT_TRUE(found.prepared) << pattern;
        ASSERT_EQ(found.words, expected) << pattern << " as " << regexText;
        // The same through the seek index, which a search of these small
        // blocks would not otherwise consult.
        {
            SeekIndexForEveryBlock seekAlways;
            ASSERT_EQ(RunQuery(pattern).words, expected) << pattern << " through the seek index";
        }
        nWithMatches += !expected.empty();
        nWithStar += pattern.find('*') != std::string::npos;
    }
    // The comparison means something only if many patterns match words.
    EXPECT_GT(nWithMatches, 150);
    EXPECT_GT(nWithStar, 60);
    EXPECT_TRUE(dir.Exists("dictionary.idx"));
}

}  // namespace
