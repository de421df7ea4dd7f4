// Query parsing, the checks of a search and its matches, on small dictionaries
// built through the real import.
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "search/find_words.h"
#include "tests/test_support.h"

namespace {

const std::vector<std::string> kWords = {
    "CAT", "COT", "CUT", "ACT", "CAB", "ARC", "ACE", "DATE", "GATE", "ANTE", "OATH", "ACTS", "LEVEL", "LEVER",
    "AA",  "AB",  "TAC", "CRATE", "REACT", "TRACE", "CATER", "CARET"};

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override { BuildDictionary(dir, kWords); }

    struct Result {
        bool prepared = false;
        std::vector<std::string> words;
        std::vector<UINT> messages;
        int resultCount = -1;
        CString pattern, letters;
        int wild = -1;
        BOOL anagram = FALSE;
    };

    Result Search(const std::string& pattern, const std::string& letters = "", bool anagram = false,
                  bool limit = false) {
        Result r;
        MessageRecorder recorder;
        CDictionary dict(GetWorkDir());
        if (ShowIfFailed(dict.OpenForReading())) {
            ShowWalkFailures(dict);
            r.prepared = ShowIfFailed(dict.PrepareSearch(anagram, pattern, letters, limit, r.resultCount));
            r.pattern = dict.GetSearchState().Pattern();
            r.letters = dict.GetSearchState().Letters();
            r.wild = dict.GetSearchState().Wild();
            r.anagram = dict.GetSearchState().IsAnagram();
            CString word;
            while (r.prepared && dict.NextMatch(word, false))
                r.words.push_back(word);
        }
        r.messages = recorder.Ids();
        return r;
    }

    ScratchDir dir;
};

TEST(ParseQuery, ExpandsDigitRunsAndUpperCases) {
    ScratchDir dir;
    CDictionary dict(GetWorkDir());
    CString out;
    const auto parse = [&](const std::string& text, BOOL digits = TRUE) {
        out = "keep";
        const BOOL ok = dict.ParseQuery(out, text, digits, TRUE);
        return std::make_pair(ok, out);
    };
    EXPECT_EQ(parse("c?t"), std::make_pair(TRUE, CString("C?T")));
    EXPECT_EQ(parse("s3e"), std::make_pair(TRUE, CString("S???E")));
    EXPECT_EQ(parse("12"), std::make_pair(TRUE, CString(12, '?')));
    EXPECT_EQ(parse("10"), std::make_pair(TRUE, CString(10, '?')));
    EXPECT_EQ(parse("a0b"), std::make_pair(TRUE, CString("AB")));
    EXPECT_EQ(parse("a 1"), std::make_pair(FALSE, CString("A")));
    EXPECT_EQ(parse("ab1", FALSE), std::make_pair(FALSE, CString("AB")));
    EXPECT_EQ(parse("\xC9t\xE9"), std::make_pair(FALSE, CString()));  // bytes of 128 and up are no letters

    out = "C";
    EXPECT_TRUE(dict.ParseQuery(out, "a?", FALSE, FALSE));
    EXPECT_EQ(out, "CA?");
}

TEST(ParseQuery, HugeDigitRunsStayBounded) {
    ScratchDir dir;
    CDictionary dict(GetWorkDir());
    CString out;
    EXPECT_TRUE(dict.ParseQuery(out, std::string(254, '9'), TRUE, TRUE));
    EXPECT_GT(out.size(), 255u);
    EXPECT_LE(out.size(), 256u);
    EXPECT_EQ(out.find_first_not_of('?'), CString::npos);
}

TEST_F(SearchTest, MatchingWordPositionsAndRemainingLetters) {
    EXPECT_EQ(Search("C?T").words, (std::vector<std::string>{"CAT", "COT", "CUT"}));
    const Result withA = Search("c?t", "a", true);
    EXPECT_EQ(withA.words, std::vector<std::string>{"CAT"});
    EXPECT_EQ(withA.letters, "ACT");
    EXPECT_EQ(withA.wild, 1);
    EXPECT_FALSE(withA.anagram) << "remaining letters always make a matching-word search";
    EXPECT_EQ(Search("??t?", "ea").words, (std::vector<std::string>{"ANTE", "DATE", "GATE"}));
    EXPECT_EQ(Search("A?", "A").words, std::vector<std::string>{"AA"});
    EXPECT_EQ(Search("Ca?").words, Search("cA?").words);
}

TEST_F(SearchTest, AnagramSearches) {
    EXPECT_EQ(Search("tac", "", true).words, (std::vector<std::string>{"ACT", "CAT", "TAC"}));
    const Result free = Search("ca?", "", true);
    EXPECT_EQ(free.words, (std::vector<std::string>{"ACE", "ACT", "ARC", "CAB", "CAT", "TAC"}));
    EXPECT_EQ(free.letters, "AC");
    EXPECT_EQ(free.wild, 1);
    EXPECT_EQ(Search("ca?", "t", true).words, std::vector<std::string>{"CAT"});
    EXPECT_EQ(Search("crate", "", true).words,
              (std::vector<std::string>{"CARET", "CATER", "CRATE", "REACT", "TRACE"}));
    EXPECT_EQ(Search("LEVEL", "", true).words, std::vector<std::string>{"LEVEL"});
}

TEST_F(SearchTest, WildPatternsListEveryWordOfTheLength) {
    const Result all = Search("3");
    EXPECT_EQ(all.pattern, "???");
    EXPECT_EQ(all.wild, 3);
    EXPECT_EQ(all.letters, "");
    EXPECT_EQ(all.words, (std::vector<std::string>{"ACE", "ACT", "ARC", "CAB", "CAT", "COT", "CUT", "TAC"}));
    EXPECT_EQ(all.resultCount, 8);
    EXPECT_EQ(Search("3", "", true).words, all.words);
    const Result letters = Search("CAT", "X");
    EXPECT_TRUE(letters.messages.empty());
    EXPECT_EQ(letters.letters, "ACT");
    EXPECT_EQ(letters.words, std::vector<std::string>{"CAT"});
    EXPECT_EQ(Search("???", "a?").letters, "A");
}

TEST_F(SearchTest, AccentedLettersAreTypedAsThePlainLettersTheDictionaryHolds) {
    EXPECT_EQ(Search("c\xc3\xa4t").words, std::vector<std::string>{"CAT"});                  // cät
    EXPECT_EQ(Search("ca\xcc\x81t").words, std::vector<std::string>{"CAT"});                 // decomposed á
    EXPECT_EQ(Search("?\xc3\xa7?").words, (std::vector<std::string>{"ACE", "ACT"}));         // ?ç?
    EXPECT_EQ(Search("c?t", "\xc3\xa0").words, std::vector<std::string>{"CAT"});             // letters à
    EXPECT_EQ(Search("[\xc3\xa0\xc3\xa9]?e").words, std::vector<std::string>{"ACE"});      // [àé]?e
    EXPECT_EQ(Search("t\xc3\xa2\xc3\xa7", "", true).words, (std::vector<std::string>{"ACT", "CAT", "TAC"}));
    // ß is two letters: a five-letter pattern.
    const Result sharp = Search("\xc3\x9f???");
    EXPECT_TRUE(sharp.prepared);
    EXPECT_EQ(sharp.pattern, "SS???");
    CDictionary dict(GetWorkDir());
    CString parsed;
    EXPECT_TRUE(dict.ParseQuery(parsed, "\xc3\xa9t\xc3\xa9", FALSE, TRUE));
    EXPECT_EQ(parsed, "ETE");
    // A character that is no Latin letter is refused as before.
    EXPECT_EQ(Search("c\xce\xb1t").messages, std::vector<UINT>{103});
}

TEST_F(SearchTest, RefusedQueriesShowOneMessageInOrder) {
    EXPECT_EQ(Search("a-b").messages, std::vector<UINT>{103});
    EXPECT_EQ(Search("ab c").messages, std::vector<UINT>{103});
    EXPECT_EQ(Search("   ").messages, std::vector<UINT>{103});
    EXPECT_EQ(Search("??", "ABC").messages, std::vector<UINT>{105});
    EXPECT_EQ(Search("??", "A B").messages, std::vector<UINT>{105});
    EXPECT_EQ(Search("??", "A1").messages, std::vector<UINT>{104});
    // Letters are counted as typed characters, not as the bytes of UTF-8.
    EXPECT_EQ(Search("c?t", "\xce\xb1").messages, std::vector<UINT>{104});
    EXPECT_EQ(Search("??", "\xc3\xa9\xe2\x82\xac").messages, std::vector<UINT>{104});
    EXPECT_EQ(Search("??", "\xc3\xa9\xe2\x82\xac" "a").messages, std::vector<UINT>{105});
    EXPECT_EQ(Search("a-b", "XYZW").messages, std::vector<UINT>{103});
    const Result tooLong = Search("6");
    EXPECT_FALSE(tooLong.prepared);
    EXPECT_EQ(tooLong.messages, std::vector<UINT>{59167});
    EXPECT_TRUE(Search("5").prepared) << "the longest length itself is accepted";
    EXPECT_EQ(Search(std::string(254, '9')).messages, std::vector<UINT>{59167});
    EXPECT_EQ(Search(std::string(254, 'a')).messages, std::vector<UINT>{59167});
}

TEST_F(SearchTest, PatternOfZerosFindsNothing) {
    for (const char* zeros : {"0", "00", "000"}) {
        const Result r = Search(zeros);
        EXPECT_TRUE(r.prepared);
        EXPECT_TRUE(r.words.empty());
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(r.resultCount, 0);
    }
}

TEST(SearchLimit, StopsAtOneHundredWithoutReadingFurther) {
    ScratchDir dir;
    std::vector<std::string> words;
    for (int i = 0; i < 300; ++i)
        words.push_back(std::string("Q") + static_cast<char>('A' + i / 26 % 26) + static_cast<char>('A' + i % 26));
    BuildDictionary(dir, words);
    MessageRecorder recorder;
    CDictionary dict(GetWorkDir());
    ASSERT_TRUE(dict.OpenForReading());
    int count = 0;
    ASSERT_TRUE(dict.PrepareSearch(FALSE, "q2", "", TRUE, count));
    EXPECT_EQ(count, 100);
    CString word;
    int found = 0;
    while (dict.NextMatch(word, FALSE))
        ++found;
    EXPECT_EQ(found, 100);
    EXPECT_EQ(word, "QDV") << "the 100th word stays in the string";

    ASSERT_TRUE(dict.PrepareSearch(FALSE, "q2", "", FALSE, count));
    EXPECT_EQ(count, 300);
    found = 0;
    while (dict.NextMatch(word, FALSE))
        ++found;
    EXPECT_EQ(found, 300);

    ASSERT_TRUE(dict.PrepareSearch(FALSE, "2", "", TRUE, count));
    EXPECT_EQ(count, 100) << "the limit sets the expected count even with fewer words";
    EXPECT_FALSE(dict.NextMatch(word, FALSE));
}

TEST(FindWords, ListsTheFirstHundredAndCountsEveryMatch) {
    ScratchDir dir;
    std::vector<std::string> words;
    for (int i = 0; i < 250; ++i)
        words.push_back(std::string("Q") + static_cast<char>('A' + i / 26 % 26) + static_cast<char>('A' + i % 26));
    BuildDictionary(dir, words);
    const auto find = [](const char* pattern, bool limit) {
        CDictionary dict(GetWorkDir());
        int count = 0;
        EXPECT_TRUE(dict.OpenForReading() && dict.PrepareSearch(FALSE, pattern, "", FALSE, count));
        return CollectMatches(dict, limit);
    };
    const CFoundWords limited = find("q2", true);
    ASSERT_EQ(limited.words.size(), 100u);
    EXPECT_EQ(limited.words.front(), "QAA");
    EXPECT_EQ(limited.words.back(), "QDV");
    EXPECT_EQ(limited.nTotal, 250);
    const CFoundWords all = find("q?a", false);
    EXPECT_EQ(all.words.size(), 10u);
    EXPECT_EQ(all.nTotal, 10);
}

TEST(TypedCharacters, WholeUtf8CharactersCountOnceAndBrokenBytesEachCountOne) {
    EXPECT_EQ(CountTypedCharacters("abc"), 3u);
    EXPECT_EQ(CountTypedCharacters("\xc3\xa9"), 1u);                 // é
    EXPECT_EQ(CountTypedCharacters("\xe2\x82\xac" "a"), 2u);         // € a
    EXPECT_EQ(CountTypedCharacters("\xf0\x9f\x98\x80"), 1u);         // an emoji
    EXPECT_EQ(CountTypedCharacters("?\xb2q"), 3u);                    // a stray continuation byte
    EXPECT_EQ(CountTypedCharacters("\xc3"), 1u);                      // cut at the end
    EXPECT_EQ(CountTypedCharacters("\xc3" "a"), 2u);                  // cut before a letter
    EXPECT_EQ(CountTypedCharacters("\xc0\x80"), 2u);                  // overlong
    EXPECT_EQ(CountTypedCharacters("\xed\xa0\x80"), 3u);              // a surrogate
    EXPECT_EQ(CountTypedCharacters("\xfb\xb9\xb9\xb9\xb9"), 5u);      // the old 5-byte form
    EXPECT_EQ(CountTypedCharacters(std::string(1, '\0')), 1u);
}

TEST(FindWords, CountLineText) {
    EXPECT_EQ(FormatWordCount(100, 35601), "100 of 35,601 words");
    EXPECT_EQ(FormatWordCount(35601, 35601), "35,601 words");
    EXPECT_EQ(FormatWordCount(1, 1), "1 word");
    EXPECT_EQ(FormatWordCount(100, 1234567), "100 of 1,234,567 words");
    EXPECT_EQ(FormatWordCount(999, 999), "999 words");
    EXPECT_EQ(FormatWordCount(0, 0), "");
}

// A refused query must leave nothing to decode: the pattern it leaves behind
// (300 letters here) is longer than any word the decoder can build, and the
// block the earlier query walked still has thousands of bytes to give.
TEST(SearchState, ARefusedQueryLeavesNothingToDecode) {
    ScratchDir dir;
    std::vector<std::string> words;
    uint32_t seed = 12345;
    for (int i = 0; i < 900; ++i) {
        std::string word;
        for (int k = 0; k < 16; ++k) {
            seed = seed * 1103515245u + 12345u;
            word += static_cast<char>('A' + (seed >> 16) % 26);
        }
        words.push_back(word);
    }
    const std::string packed = BuildDictionary(dir, words);
    ASSERT_GT(packed.size(), 6000u) << "the 16-letter block must outlast one read buffer";

    MessageRecorder recorder;
    CDictionary dict(GetWorkDir());
    ASSERT_TRUE(dict.OpenForReading());
    ShowWalkFailures(dict);
    int count = 0;
    ASSERT_TRUE(dict.PrepareSearch(FALSE, "16", "", FALSE, count));
    CString word;
    ASSERT_TRUE(dict.NextMatch(word, FALSE));
    EXPECT_FALSE(ShowIfFailed(dict.PrepareSearch(FALSE, std::string(300, 'a'), "", FALSE, count)));
    EXPECT_FALSE(dict.NextMatch(word, FALSE));
    EXPECT_FALSE(dict.NextMatch(word, TRUE));
    EXPECT_EQ(recorder.Ids(), std::vector<UINT>{59167}) << "nothing was decoded after the refusal";

    // The object is usable again after the next successful query.
    ASSERT_TRUE(dict.PrepareSearch(FALSE, "16", "", FALSE, count));
    int found = 0;
    while (dict.NextMatch(word, TRUE))
        ++found;
    EXPECT_EQ(found, count);
}

}  // namespace
