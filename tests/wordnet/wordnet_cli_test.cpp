// gridwell-cli meaning and find --clue, run in-process on a hand-made WordNet
// database named by WNSEARCHDIR.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "cli/cli_commands.h"
#include "tests/cli_run.h"
#include "tests/test_support.h"
#include "platform/data_dir.h"
#include "tests/wordnet/wordnet_test_db.h"
#include "wordnet/definition_index.h"

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

TEST_F(WordNetCliTest, FindWithAClueListsEveryFittingWordBestAnswersFirst) {
    CliRun run = Run({"find", "--clue", "feline", "c?t"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "CAT\nCOT\nCUT\n");
    run = Run({"find", "--why", "--clue=rock", "s3e"});
    EXPECT_EQ(run.out, "SHAKE\tsynonym of rock\nSTONE\tsynonym of rock\nSNAKE\n");
    // The clue's own word (ROCKS is rock) comes last, after the words with no
    // evidence; --limit keeps the best.
    run = Run({"find", "--clue", "rock feline", "5"});
    EXPECT_EQ(run.out, "FELID\nSHAKE\nSTONE\nSNAKE\nROCKS\n");
    // Punctuation, quotes and a possessive as printed.
    run = Run({"find", "--why", "--clue", "\"Feline?\" (3)", "c?t"});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "CAT\ta kind of feline");
    // A word WordNet does not know is said once; the words are still listed.
    run = Run({"find", "--clue", "estop, estop's feline", "c?t"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "CAT\nCOT\nCUT\n");
    EXPECT_EQ(run.err, "No meaning known for ESTOP\n");
    // Blank clue words: the plain search; punctuation only: said, then the plain search.
    run = Run({"find", "--clue", " ", "c?t"});
    EXPECT_EQ(run.out, "CAT\nCOT\nCUT\n");
    EXPECT_EQ(run.err, "");
    run = Run({"find", "--clue", "?!...\n", "c?t"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "CAT\nCOT\nCUT\n");
    EXPECT_NE(run.err.find("no words"), std::string::npos);
    run = Run({"find", "--clue", "feline", "x?x"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "No matching words found\n");
    run = Run({"import", "--clue", "x", "words.txt"});
    EXPECT_EQ(run.exitCode, 2);
    run = Run({"export", "--why", "-"});
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

    // A damaged definition index: said, and the clue ranks by WordNet's
    // links alone.
    std::string error;
    ASSERT_TRUE(WriteDefinitionIndex(m_wordnet.Path(), m_wordnet.Path() + "/definitions.idx", error)) << error;
    m_wordnet.Write("definitions.idx", "!gridwell-definitions 1 10\nfeline n0000x000\n");
    ::setenv("WNSEARCHDIR", m_wordnet.Path().c_str(), 1);
    SetDataDirForTesting(m_wordnet.Path());
    run = Run({"find", "--why", "--clue", "feline", "c?t"});
    SetDataDirForTesting("");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "CAT\ta kind of feline\nCOT\nCUT\n");
    EXPECT_NE(run.err.find("definition index (definitions.idx) is damaged"), std::string::npos);
    EXPECT_EQ(run.err.find("WordNet database is damaged"), std::string::npos);

    // A damaged database: its own message, once.
    m_wordnet.Write("index.noun", "cat n x\n");
    ::setenv("WNSEARCHDIR", m_wordnet.Path().c_str(), 1);
    run = Run({"find", "--clue", "cat", "c?t"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("WordNet database is damaged"), std::string::npos);
    EXPECT_EQ(run.err.find("damaged"), run.err.rfind("damaged"));
}

}  // namespace
