// Patterns with word breaks, --phrases and --abbreviations, through the
// command line on a small dictionary and phrase files of the test's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "phrases/abbreviation_clue.h"
#include "phrases/phrase_file.h"
#include "phrases/phrase_pattern.h"
#include "phrases/phrase_query.h"
#include "phrases/phrase_search.h"
#include "location/work_dir.h"
#include "platform/data_dir.h"
#include "search/common_first.h"
#include "search/commonness_table.h"
#include "res/string_table.h"
#include "tests/cli_run.h"
#include "tests/test_support.h"

namespace {

std::vector<PhraseEntry> Entries(const std::vector<std::pair<const char*, int>>& texts) {
    std::vector<PhraseEntry> out;
    for (const auto& [text, level] : texts) {
        PhraseEntry e;
        EXPECT_TRUE(ParsePhraseText(text, e, 1)) << text;
        e.rank = level ? RankOfLevel(level) : kPhraseNoRank;
        out.push_back(e);
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1)
        lines.push_back(text.substr(from, nl - from));
    return lines;
}

TEST(PhrasePattern, CutsAtSpacesCommasAndHyphensOutsideLetterSets) {
    PhrasePattern p;
    ASSERT_TRUE(SplitPhrasePattern("i?e c?e?m", p));
    EXPECT_EQ(p.parts, (std::vector<CString>{"i?e", "c?e?m"}));
    EXPECT_EQ(p.breaks, (std::vector<char>{' '}));
    ASSERT_TRUE(SplitPhrasePattern("(3, 2-4)", p));
    EXPECT_EQ(p.parts, (std::vector<CString>{"3", "2", "4"}));
    EXPECT_EQ(p.breaks, (std::vector<char>{' ', '-'}));
    ASSERT_TRUE(SplitPhrasePattern("[a-e]? 3", p));
    EXPECT_EQ(p.parts, (std::vector<CString>{"[a-e]?", "3"}));
    // One word in brackets is that word's pattern.
    ASSERT_TRUE(SplitPhrasePattern("(5)", p));
    EXPECT_EQ(p.parts, (std::vector<CString>{"5"}));
    // No break between two parts: the pattern stays as typed (and is refused
    // there when it holds a stray separator).
    for (const char* whole : {"cat", "cat ", "-cat", "3,", "[a-e]?", "( 3)", "", "()"})
        EXPECT_FALSE(SplitPhrasePattern(whole, p)) << whole;
}

TEST(AbbreviationClue, SeesTheSettersSigns) {
    for (const char* clue : {"Space agency, for short", "Reply request, in brief", "Sooner, initially",
                             "Compact disc, briefly", "Tel. co. (Abbr.)", "Doctors' org.", "Soldiers' grp.",
                             "FIRST AID, INITIALLY"})
        EXPECT_TRUE(IsAbbreviationClue(clue)) << clue;
    for (const char* clue : {"Shortstop's glove", "Briefcase", "Organ part", "Initial letter", "Large feline", ""})
        EXPECT_FALSE(IsAbbreviationClue(clue)) << clue;
}

// The test of a phrase's letters is a word's own test: over random patterns
// and letters, a phrase query made from a prepared search accepts exactly the
// words the dictionary's search lists.
// A refused phrase query says why without showing it: a part with '*' (its
// message filled in with the part), a part outside the grammar, remaining
// letters beyond the unknown squares.
TEST(PhraseQuery, RefusalsAreReturnedNotShown) {
    MessageRecorder recorder;
    const auto refusal = [](const std::string& typed, const CString& letters) {
        PhrasePattern pattern;
        EXPECT_TRUE(SplitPhrasePattern(typed, pattern)) << typed;
        CPhraseQuery query;
        return query.Prepare(false, pattern, letters);
    };
    const Status star = refusal("ice c*m", "");
    EXPECT_EQ(star.nMessage, static_cast<UINT>(IDS_PHRASE_STAR));
    EXPECT_EQ(star.icon, MsgIcon::Exclamation);
    EXPECT_NE(star.detail.find("\"c*m\""), std::string::npos) << star.detail;
    EXPECT_EQ(refusal("ice cr!am", ""), Status::Message(IDS_BAD_PATTERN, MsgIcon::Exclamation));
    EXPECT_EQ(refusal("ic? cream", "ab"), Status::Message(IDS_REMAINDER_TOO_LONG, MsgIcon::Exclamation));
    EXPECT_TRUE(refusal("ic? cream", "e").Succeeded());
    EXPECT_TRUE(recorder.Ids().empty());
}

TEST(PhraseQuery, AcceptsWhatTheWordSearchAccepts) {
    ScratchDir dir;
    std::mt19937 random(18);
    std::set<std::string> words;
    while (words.size() < 300) {
        std::string w;
        for (int i = 0; i < 5; ++i)
            w.push_back(static_cast<char>('A' + random() % 6));
        words.insert(w);
    }
    const std::vector<std::string> list(words.begin(), words.end());
    BuildDictionary(dir, list);
    SetWorkDirForTesting(dir.Path());
    for (int round = 0; round < 200; ++round) {
        std::string pattern;
        std::string letters;
        for (int i = 0; i < 5; ++i)
            pattern.push_back(random() % 3 ? '?' : static_cast<char>('A' + random() % 6));
        for (int i = 0, n = static_cast<int>(random() % 3); i < n; ++i)
            letters.push_back(static_cast<char>('a' + random() % 6));
        const bool anagram = random() % 4 == 0;
        CDictionary dict(GetWorkDir());
        ASSERT_TRUE(dict.OpenForReading());
        int n = 0;
        if (!dict.PrepareSearch(anagram, pattern, letters, FALSE, n))
            continue;
        CPhraseQuery query;
        query.PrepareFrom(dict);
        std::set<std::string> listed;
        CString word;
        while (dict.NextMatch(word, FALSE))
            listed.insert(word);
        for (const std::string& w : list)
            EXPECT_EQ(query.Matches(w.data()), listed.count(w) == 1)
                << pattern << " " << letters << (anagram ? " anagram " : " ") << w;
    }
    SetWorkDirForTesting("");
}

// A pattern with breaks is tested as the word pattern of its parts run
// together: over random parts of letters, '?', '@', '#' and sets, with
// remaining letters (sets among them) or as an anagram, the phrase query
// accepts exactly what the dictionary's search of the joined pattern does.
TEST(PhraseQuery, PartsWithSetsAcceptWhatTheJoinedPatternAccepts) {
    ScratchDir dir;
    std::mt19937 random(19);
    const std::string alphabet = "ABEIKOST";
    const auto letter = [&] { return alphabet[random() % alphabet.size()]; };
    std::set<std::string> words;
    while (words.size() < 400) {
        std::string w;
        for (int i = 0; i < 6; ++i)
            w.push_back(letter());
        words.insert(w);
    }
    const std::vector<std::string> list(words.begin(), words.end());
    BuildDictionary(dir, list);
    SetWorkDirForTesting(dir.Path());
    int nCompared = 0;
    for (int round = 0; round < 300; ++round) {
        const auto square = [&]() -> std::string {
            switch (random() % 7) {
            case 0: return "@";
            case 1: return "#";
            case 2: return std::string("[") + letter() + letter() + "]";
            case 3: return std::string("[!") + letter() + "]";
            case 4: return std::string(1, static_cast<char>(letter() + ('a' - 'A')));
            case 5: return "[a-e]";
            default: return "?";
            }
        };
        const size_t cut = 2 + random() % 3;
        std::string first, second;
        for (size_t i = 0; i < 6; ++i)
            (i < cut ? first : second) += square();
        std::string letters;
        for (int i = 0, n = static_cast<int>(random() % 3); i < n; ++i)
            letters += random() % 3 ? std::string(1, static_cast<char>(letter() + ('a' - 'A'))) : square();
        const bool anagram = random() % 4 == 0;
        CDictionary dict(GetWorkDir());
        ASSERT_TRUE(dict.OpenForReading());
        int n = 0;
        MessageRecorder recorder;
        if (!dict.PrepareSearch(anagram, first + second, letters, FALSE, n))
            continue;
        std::set<std::string> listed;
        CString word;
        while (dict.NextMatch(word, FALSE))
            listed.insert(word);
        PhrasePattern pattern;
        ASSERT_TRUE(SplitPhrasePattern(first + " " + second, pattern));
        CPhraseQuery query;
        ASSERT_TRUE(query.Prepare(anagram, pattern, letters)) << first << " " << second << " / " << letters;
        for (const std::string& w : list)
            EXPECT_EQ(query.Matches(w.data()), listed.count(w) == 1)
                << first << " " << second << " / " << letters << (anagram ? " anagram " : " ") << w;
        ++nCompared;
    }
    EXPECT_GT(nCompared, 200);
    SetWorkDirForTesting("");
}

class PhraseCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDataDirForTesting(data.Path());
        SetWorkDirForTesting(dir.Path());
        ResetCommonOrderNoticeForTesting();
        BuildDictionary(dir, {"ICE", "IRE", "CREAM", "HOT", "DOG", "HAT", "BOX", "HOTDOG", "CAT", "COT", "CUT",
                              "SELF", "TAUGHT", "SET", "IN", "STONE"});
        data.Write(kPhraseFileName, BuildPhraseFile(Entries({{"ice cream", 0}, {"hot dog", 0}, {"self-taught", 0},
                                                             {"sea eagle", 0}, {"set in stone", 0}})));
        data.Write(kAbbreviationFileName,
                   BuildPhraseFile(Entries({{"NASA", 40}, {"CRT", 50}, {"CST", 35}, {"PSI", 60}})));
        data.Write(kCommonnessTableName, BuildCommonnessTable({{"HOT", 10}, {"DOG", 10}, {"HAT", 20}, {"BOX", 20},
                                                               {"ICE", 10}, {"IRE", 50}, {"CREAM", 20}}));
    }
    void TearDown() override {
        SetDataDirForTesting("");
        ResetCommonOrderNoticeForTesting();
    }
    CliRun Find(std::vector<std::string> args) {
        args.insert(args.begin(), {"-C", dir.Path(), "find"});
        return RunCliCapturing(args, dir.Path());
    }
    ScratchDir dir;
    ScratchDir data;
};

TEST_F(PhraseCliTest, BreaksListEntriesThenCompositionsOfWords) {
    CliRun run = Find({"i?e c?e?m"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "ICE CREAM\nIRE CREAM\n") << "the entry once, then the other composition";
    // Ten words of three letters by two of five, ICE CREAM once.
    EXPECT_EQ(Lines(Find({"(3,5)"}).out).size(), 2u + 10 * 2 - 1);
    EXPECT_EQ(Find({"s?l?-?a?g?t"}).out, "SELF-TAUGHT\n") << "an entry keeps its hyphen";
    EXPECT_EQ(Find({"s?l? ?a?g?t"}).out, "SELF-TAUGHT\n") << "a space finds it too, and only it";
    EXPECT_EQ(Find({"4-6", "l"}).out, "SELF-TAUGHT\nSELF-HOTDOG\n") << "compositions take the typed break";
    // Remaining letters go to the unknown places of the whole phrase.
    EXPECT_EQ(Find({"i?e c?e?m", "ca"}).out, "ICE CREAM\n");
    EXPECT_EQ(Find({"i?e c?e?m", "caz"}).exitCode, 1);
    // An anagram pools the letters; the breaks give the lengths.
    EXPECT_EQ(Find({"--anagram", "mae,ceric"}).out, "ICE CREAM\n");
    EXPECT_EQ(Find({"--anagram", "i?e,c???m"}).out, "ICE CREAM\nIRE CREAM\n");
    // Parts are patterns of their own, refused as one would be.
    run = Find({"i?e c.e?m"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.rfind("The pattern can only contain", 0), 0u);
    EXPECT_EQ(Find({"3,5", "abcdefghi"}).exitCode, 2);
    EXPECT_EQ(Find({"9,9"}).err, "No matching words found\n");
}

TEST_F(PhraseCliTest, PartsTakeVowelsConsonantsAndSets) {
    // Entries and compositions alike.
    EXPECT_EQ(Find({"h@t d@g"}).out, "HOT DOG\nHAT DOG\n");
    EXPECT_EQ(Find({"[hc]#t ???"}).err, "No matching words found\n");
    std::vector<std::string> boxes = Lines(Find({"[!h]?t [a-d]@x"}).out);
    std::sort(boxes.begin(), boxes.end());
    EXPECT_EQ(boxes, (std::vector<std::string>{"CAT BOX", "COT BOX", "CUT BOX", "SET BOX"})) << "not HOT, HAT";
    EXPECT_EQ(Find({"i[^r]e,c????"}).out, "ICE CREAM\n");
    // Remaining letters may be sets; an anagram's '@' and '#' are blanks of
    // their kind.
    std::vector<std::string> lines = Lines(Find({"??? ?n", "[ao]t"}).out);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"CAT IN", "COT IN", "HAT IN", "HOT IN"})) << "not CUT IN, SET IN";
    EXPECT_EQ(Find({"--anagram", "@#@ cream"}).out, "ICE CREAM\nIRE CREAM\n");
    EXPECT_EQ(Find({"--anagram", "###,cream"}).exitCode, 1);
    // '--phrases' keeps the squares' sets of an ordinary pattern.
    EXPECT_EQ(Lines(Find({"--phrases", "h@t[d-f]o#"}).out),
              (std::vector<std::string>{"HOTDOG", "HOT DOG", "HAT DOG"}));
    // A '*' has no length to give a word.
    const CliRun run = Find({"h*t dog"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("the * in its part \"h*t\" cannot be used"), std::string::npos) << run.err;
}

TEST_F(PhraseCliTest, PhrasesAndAbbreviationsOnlyWhenAsked) {
    EXPECT_EQ(Find({"c?t"}).out, "CAT\nCOT\nCUT\n");
    EXPECT_EQ(Find({"h?t?o?"}).out, "HOTDOG\n");
    EXPECT_EQ(Find({"--abbreviations", "c?t"}).out, "CAT\nCOT\nCUT\nCRT\nCST\n");
    EXPECT_EQ(Find({"--abbreviations", "--common", "c?t"}).out.substr(12), "CST\nCRT\n") << "by level";
    // Words, then the entries, then compositions by how common their words are.
    EXPECT_EQ(Lines(Find({"--phrases", "h?t?o?"}).out),
              (std::vector<std::string>{"HOTDOG", "HOT DOG", "HOT HOT", "HOT BOX", "HAT DOG", "HAT HOT", "HAT BOX",
                                        "HOT COT", "HAT COT"}));
    // A clue that asks for an abbreviation lists them, first.
    EXPECT_EQ(Find({"--clue", "Space agency, for short", "n??a"}).out.substr(0, 5), "NASA\n");
}

TEST_F(PhraseCliTest, TheCapOnCompositionsIsSaid) {
    std::vector<std::string> words;
    for (char a = 'A'; a <= 'Z'; ++a)
        for (char b = 'A'; b <= 'Z'; ++b)
            if (b < 'C')
                words.push_back(std::string{a, b});
    SetWorkDirForTesting(dir.Path());
    BuildDictionary(dir, words);  // 52 words: 2,704 pairs
    const CliRun run = Find({"2,2"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(Lines(run.out).size(), kMaxCompositions) << run.out.substr(0, 100) << run.err;
    EXPECT_NE(run.err.find("more compositions of words fit"), std::string::npos) << run.err;
    const CliRun limited = Find({"--limit", "2,2"});
    EXPECT_EQ(Lines(limited.out).size(), 100u);
    EXPECT_EQ(Find({"a?,?a"}).err, "") << "four fit: no cut";
}

TEST_F(PhraseCliTest, ADamagedPhraseFileIsSaid) {
    std::string bytes = data.Read(kPhraseFileName);
    bytes[bytes.size() - 3] ^= 0x10;
    data.Write(kPhraseFileName, bytes);
    // The last block is that of SET IN STONE.
    const CliRun run = Find({"3 2 5"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("damaged phrase file"), std::string::npos) << run.err;
}

TEST_F(PhraseCliTest, ImportedPhrasesAreSearchedWithThePackagedOnes) {
    dir.Write("list.txt", "cat\nice-lolly\r\nTin Pan Alley\nhot  dog\na b c d e\nsea_eagle\nst. ives\ncot\n");
    CliRun run = RunCliCapturing({"-C", dir.Path(), "import", dir.File("list.txt")}, dir.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The dictionary takes its words as before; the phrases go beside it.
    EXPECT_EQ(Find({"3"}).out, "CAT\nCOT\n");
    EXPECT_EQ(Find({"3 3 5"}).out, "TIN PAN ALLEY\n");
    EXPECT_EQ(Find({"3-5"}).out, "ICE-LOLLY\nICE CREAM\nSEA EAGLE\n") << "the packaged phrases too";
    // Longer than any word of the dictionary: phrases only.
    EXPECT_EQ(Find({"--phrases", "8"}).out, "ICE-LOLLY\nICE CREAM\nSEA EAGLE\n") << "the user's first";
    EXPECT_EQ(Find({"8"}).exitCode, 2) << "and without --phrases, too long as before";
    // A list without phrases leaves none behind.
    dir.Write("list.txt", "cat\n");
    run = RunCliCapturing({"-C", dir.Path(), "import", dir.File("list.txt")}, dir.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(dir.Exists(kPhraseFileName));
    EXPECT_EQ(Find({"3 3 5"}).exitCode, 1);
}

}  // namespace
