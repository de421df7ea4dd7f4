// gridwell-cli meaning and find --clue, run in-process on a hand-made WordNet
// database named by WNSEARCHDIR.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "cli/cli_commands.h"
#include "tests/cli_run.h"
#include "tests/test_support.h"
#include "tests/wordnet/wordnet_test_db.h"

namespace {

class WordNetCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        SampleWordNet().WriteTo(m_wordnet.Path());
        ::setenv("WNSEARCHDIR", m_wordnet.Path().c_str(), 1);
        BuildDictionary(m_dir, {"cat", "cot", "cut", "felid", "stone", "shake", "snake", "rocks", "pebbles"});
    }
    void TearDown() override { ::unsetenv("WNSEARCHDIR"); }

    CliRun Run(const std::vector<std::string>& args) { return RunCliCapturing(args, m_dir.Path()); }

    ScratchDir m_wordnet;
    ScratchDir m_dir;
};

TEST_F(WordNetCliTest, MeaningPrintsTheOverviewAndExitsByWhetherItWasFound) {
    CliRun run = Run({"meaning", "cats"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.find("Overview of noun cat\n"), 0u);
    EXPECT_NE(run.out.find("1. (18) cat, true cat -- (feline mammal"), std::string::npos);
    run = Run({"meaning", "big", "cat"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("The noun big cat has 1 sense"), std::string::npos);
    run = Run({"meaning", "ESTOP"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "No meaning found for ESTOP.\n");
    run = Run({"meaning"});
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(WordNetCliTest, FindWithClueWordsListsTheRelatedMatchesRanked) {
    CliRun run = Run({"find", "--clue", "feline", "c?t"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "CAT\n");
    run = Run({"find", "--clue=rock", "s3e"});
    EXPECT_EQ(run.out, "SHAKE\nSTONE\n");
    // Synonyms only here (ROCKS is rock itself); in dictionary order.
    run = Run({"find", "--clue", "rock feline", "5"});
    EXPECT_EQ(run.out, "FELID\nROCKS\nSHAKE\nSTONE\n");
    run = Run({"find", "--clue", "estop", "c?t"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "No matching words found\n");
    // Blank clue words: the plain search.
    run = Run({"find", "--clue", " ", "c?t"});
    EXPECT_EQ(run.out, "CAT\nCOT\nCUT\n");
    run = Run({"import", "--clue", "x", "words.txt"});
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(WordNetCliTest, WithoutWordNetMeaningAndCluesSaySoAndPlainFindWorks) {
    ::setenv("WNSEARCHDIR", (m_wordnet.Path() + "/none").c_str(), 1);
    CliRun run = Run({"meaning", "cat"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("need the WordNet database (Debian package wordnet-base)"), std::string::npos);
    run = Run({"find", "--clue", "feline", "c?t"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("wordnet-base"), std::string::npos);
    EXPECT_EQ(run.err.find("No matching words found"), std::string::npos);
    run = Run({"find", "c?t"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "CAT\nCOT\nCUT\n");

    // A damaged database: its own message, once.
    m_wordnet.Write("index.noun", "cat n x\n");
    ::setenv("WNSEARCHDIR", m_wordnet.Path().c_str(), 1);
    run = Run({"find", "--clue", "cat", "c?t"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("WordNet database is damaged"), std::string::npos);
    EXPECT_EQ(run.err.find("damaged"), run.err.rfind("damaged"));
}

}  // namespace
