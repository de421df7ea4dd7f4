// The limits of words and queries: the longest word of 255 letters, a line of
// 256, patterns of 254 characters and digit runs of every size.
#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "res/string_table.h"
#include "tests/fault/fault_support.h"

namespace {

struct Search {
    bool prepared = false;
    int resultCount = -1;
    std::vector<std::string> matches;
};

Search SearchFor(const std::string& pattern, const std::string& letters = "", bool anagram = false) {
    Search search;
    CDictionary dict(GetWorkDir());
    if (!ShowIfFailed(dict.OpenForReading()))
        return search;
    ShowWalkFailures(dict);
    search.prepared = ShowIfFailed(dict.PrepareSearch(anagram, pattern, letters, false, search.resultCount));
    CString word;
    while (search.prepared && dict.NextMatch(word, false))
        search.matches.push_back(word);
    return search;
}

class LimitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        longest = std::string(254, 'E') + "S";  // 255 letters
        almost = "Q" + std::string(253, 'U');   // 254 letters
        tooLong = std::string(256, 'Z');
        dir.Write("list.txt", "at\n" + longest + "\n" + tooLong + "\nnext\n" + almost + "\n" + tooLong + "\r\n");
        MessageRecorder quiet;
        ASSERT_EQ(ImportHeadless(dir.File("list.txt")), IDS_LOAD_DONE);
    }

    ScratchDir dir;
    std::string longest;
    std::string almost;
    std::string tooLong;
};

TEST_F(LimitsTest, LongestWordIsKeptAndLongerLinesAreSkippedWhole) {
    const std::string bytes = dir.Read("dictionary.dat");
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(static_cast<unsigned char>(bytes.back()), 255u);
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"AT", "NEXT", almost, longest}))
        << "the line after a 256-letter line is read normally";

    MessageRecorder recorder;
    EXPECT_EQ(SearchFor("255").matches, std::vector<std::string>{longest});
    EXPECT_EQ(SearchFor(longest).matches, std::vector<std::string>{longest}) << "the 255-letter word as a pattern";
    EXPECT_EQ(SearchFor(std::string(255, '?'), "s").matches, std::vector<std::string>{longest});
    EXPECT_EQ(SearchFor("S" + std::string(254, 'e'), "", true).matches, std::vector<std::string>{longest})
        << "its anagram";
    EXPECT_TRUE(recorder.Ids().empty()) << IdsText(recorder.Ids());
    EXPECT_FALSE(SearchFor(tooLong).prepared);
    EXPECT_EQ(recorder.Ids(), std::vector<UINT>{IDS_PATTERN_TOO_LONG});

    dir.Write("out.txt", "");
    EXPECT_EQ(ExportHeadless(dir.File("out.txt")), IDS_SAVE_DONE);
    EXPECT_EQ(dir.Read("out.txt"), "AT\nNEXT\n" + almost + "\n" + longest + "\n");
}

TEST_F(LimitsTest, PatternsOf254Characters) {
    MessageRecorder recorder;
    EXPECT_EQ(SearchFor(std::string(254, '?')).matches, std::vector<std::string>{almost});
    EXPECT_EQ(SearchFor(almost).matches, std::vector<std::string>{almost});
    EXPECT_EQ(SearchFor("q" + std::string(253, '?'), std::string(253, 'u')).matches, std::vector<std::string>{almost})
        << "254 characters of pattern and 253 of remaining letters";
    EXPECT_EQ(SearchFor("q2" + std::string(251, 'u')).matches, std::vector<std::string>{almost})
        << "a digit run inside a long pattern";
    EXPECT_TRUE(recorder.Ids().empty()) << IdsText(recorder.Ids());

    // 254 characters of text that expand far past any word.
    EXPECT_FALSE(SearchFor(std::string(254, '9')).prepared);
    EXPECT_FALSE(SearchFor("9" + std::string(253, 'a')).prepared);
    EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{IDS_PATTERN_TOO_LONG, IDS_PATTERN_TOO_LONG}));
}

TEST_F(LimitsTest, DigitRunsOfAnySize) {
    MessageRecorder recorder;
    for (const char* zeros : {"0", "00", "000000000000", "0?0"}) {
        SCOPED_TRACE(zeros);
        const Search s = SearchFor(zeros);
        EXPECT_TRUE(s.prepared);
        EXPECT_TRUE(s.matches.empty());
    }
    EXPECT_EQ(SearchFor("1").matches, std::vector<std::string>{});
    EXPECT_EQ(SearchFor("2").matches, std::vector<std::string>{"AT"});
    EXPECT_EQ(SearchFor("02").matches, std::vector<std::string>{"AT"});
    EXPECT_EQ(SearchFor("n2t").matches, std::vector<std::string>{"NEXT"});
    EXPECT_EQ(SearchFor("0254").matches, std::vector<std::string>{almost});
    EXPECT_EQ(SearchFor("254").resultCount, 1);
    EXPECT_TRUE(recorder.Ids().empty()) << IdsText(recorder.Ids());

    for (const char* huge : {"256", "1000", "4294967296", "18446744073709551617", "99999999999999999999999999999999"}) {
        SCOPED_TRACE(huge);
        recorder.Clear();
        EXPECT_FALSE(SearchFor(huge).prepared);
        EXPECT_EQ(recorder.Ids(), std::vector<UINT>{IDS_PATTERN_TOO_LONG});
    }
}

TEST_F(LimitsTest, HugeDigitRunWithRemainingLettersIsTooLongNotTooManyLetters) {
    // 250 letters and a run of 999: the pattern stands for 999 unknown
    // letters, so ten remaining letters fit; the pattern is simply too long.
    MessageRecorder recorder;
    EXPECT_FALSE(SearchFor(std::string(250, 'a') + "999", "abcdefghij").prepared);
    EXPECT_FALSE(SearchFor(std::string(240, 'a') + "9" + std::string(4, 'b') + "9", "abcdefghijklmnopq").prepared);
    EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{IDS_PATTERN_TOO_LONG, IDS_PATTERN_TOO_LONG}))
        << IdsText(recorder.Ids());

    // Where the run really is short, the letters are still checked against it.
    recorder.Clear();
    EXPECT_FALSE(SearchFor(std::string(250, 'a') + "6", "abcdefghij").prepared);
    EXPECT_EQ(recorder.Ids(), std::vector<UINT>{IDS_REMAINDER_TOO_LONG});
}

}  // namespace
