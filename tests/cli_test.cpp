// gridwell-cli run in-process: output, messages and exit codes.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "cli/cli_commands.h"
#include "tests/cli_run.h"
#include "platform/data_dir.h"
#include "platform/file_faults.h"
#include "res/string_table.h"
#include "search/common_first.h"
#include "search/commonness_table.h"
#include "tests/test_support.h"

namespace {

// Runs the tool in the scratch directory; see RunCliCapturing.
CliRun RunTool(const ScratchDir& dir, const std::vector<std::string>& args, std::FILE* output = nullptr) {
    return RunCliCapturing(args, dir.Path(), output);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildDictionary(dir, {"CAT", "COT", "CUT", "ACT", "TAC", "DATE", "GATE", "CRATE", "TRACE", "REACT"});
    }
    void TearDown() override { ClearFileFaultHook(); }
    ScratchDir dir;
};

TEST_F(CliTest, FindListsMatchesInStoredOrder) {
    const CliRun run = RunTool(dir, {"find", "c?t"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "CAT\nCOT\nCUT\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(RunTool(dir, {"find", "--anagram", "crate"}).out, "CRATE\nREACT\nTRACE\n");
    EXPECT_EQ(RunTool(dir, {"find", "c?t", "a"}).out, "CAT\n");
    EXPECT_EQ(RunTool(dir, {"find", "c?t", ""}).out, "CAT\nCOT\nCUT\n") << "empty LETTERS is the same as none";
    EXPECT_EQ(RunTool(dir, {"find", "--", "3", "t"}).out, "ACT\nCAT\nCOT\nCUT\nTAC\n");
    EXPECT_EQ(RunTool(dir, {"--limit", "find", "4"}).out, "DATE\nGATE\n");
}

TEST_F(CliTest, CommonFirstOrdersByLevelAndLimitsToTheMostCommon) {
    ScratchDir data;
    SetDataDirForTesting(data.Path());
    ResetCommonOrderNoticeForTesting();
    // COT is rarer than CAT and CUT; ACT and TAC are not in the table.
    data.Write(kCommonnessTableName, BuildCommonnessTable({{"CUT", 10}, {"CAT", 10}, {"COT", 35}, {"ZZZ", 80}}));
    const CliRun common = RunTool(dir, {"find", "--common", "3"});
    EXPECT_EQ(common.exitCode, 0);
    EXPECT_EQ(common.out, "CAT\nCUT\nCOT\nACT\nTAC\n");
    EXPECT_EQ(common.err, "");
    std::vector<std::string> many;
    for (char a = 'A'; a <= 'Z'; ++a)
        for (char b = 'A'; b <= 'E'; ++b)
            many.push_back(std::string{'Q', a, b});
    BuildDictionary(dir, many);
    data.Write(kCommonnessTableName, BuildCommonnessTable({{"QZE", 10}, {"QYA", 20}, {"QAA", 80}}));
    const CliRun limited = RunTool(dir, {"find", "--limit", "--common", "q2"});
    EXPECT_EQ(limited.out.substr(0, 16), "QZE\nQYA\nQAA\nQAB\n");
    EXPECT_EQ(std::count(limited.out.begin(), limited.out.end(), '\n'), 100) << "the 100 most common of 130";
    EXPECT_EQ(RunTool(dir, {"find", "--limit", "q2"}).out.substr(0, 8), "QAA\nQAB\n") << "plain order without --common";

    // Without a table: dictionary order, said once on stderr, still a success.
    ::unlink(data.File(kCommonnessTableName).c_str());
    const CliRun plain = RunTool(dir, {"find", "--common", "--limit", "q2"});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.out, RunTool(dir, {"find", "--limit", "q2"}).out);
    EXPECT_EQ(plain.err, LoadStringText(IDS_COMMON_ORDER_UNAVAILABLE) + "\n");
    SetDataDirForTesting("");
    ResetCommonOrderNoticeForTesting();
}

TEST_F(CliTest, NoMatchAndRefusals) {
    const CliRun none = RunTool(dir, {"find", "x?x"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "No matching words found\n");

    const CliRun empty = RunTool(dir, {"find", ""});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_EQ(empty.err, "You have not specified a pattern to which a word can be matched.\n");

    // A hyphen, space or comma is a word break now; other punctuation is
    // still refused.
    const CliRun bad = RunTool(dir, {"find", "a.b"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err.rfind("The pattern can only contain", 0), 0u);
    EXPECT_EQ(RunTool(dir, {"find", "9"}).err,
              "The word you are attempting to find is longer than any of the words in the dictionary.\n");
    EXPECT_EQ(RunTool(dir, {"find", "??", "abc"}).exitCode, 2);
    // One typed character for one wild position: not a letter (104).
    EXPECT_EQ(RunTool(dir, {"find", "c?t", "\xce\xb1"}).err.rfind("The wild characters are used", 0), 0u);
}

TEST_F(CliTest, PatternGrammarOnTheCommandLine) {
    EXPECT_EQ(RunTool(dir, {"find", "c@t"}).out, "CAT\nCOT\nCUT\n");
    // '*': every length, shortest first, and the limit counts across lengths.
    EXPECT_EQ(RunTool(dir, {"find", "*te"}).out, "DATE\nGATE\nCRATE\n");
    {
        // Common words first within each length, the lengths shortest first.
        ScratchDir data;
        SetDataDirForTesting(data.Path());
        data.Write(kCommonnessTableName, BuildCommonnessTable({{"GATE", 10}, {"CRATE", 10}, {"DATE", 35}}));
        EXPECT_EQ(RunTool(dir, {"find", "--common", "*te"}).out, "GATE\nDATE\nCRATE\n");
        EXPECT_EQ(RunTool(dir, {"find", "--common", "*a*e"}).out, "GATE\nDATE\nCRATE\nTRACE\n");
        SetDataDirForTesting("");
    }
    EXPECT_EQ(RunTool(dir, {"find", "--anagram", "[rt]ca"}).out, "ACT\nCAT\nTAC\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"find", "[ab"}, {"find", "[z-a]?"}, {"find", "--anagram", "c*t"}, {"find", "???", "a*"}}) {
        const CliRun run = RunTool(dir, args);
        EXPECT_EQ(run.exitCode, 2) << args.back();
        EXPECT_NE(run.err.find(" at character "), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(CliTest, UsageErrorsAndHelp) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"find"}, {"find", "a", "b", "c"}, {"--bogus", "find", "cat"}, {"frobnicate"}, {"import"},
             {"export", "a", "b"}, {"import", "--anagram", "x"}}) {
        const CliRun run = RunTool(dir, args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("usage: gridwell-cli"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    // A missing value or word is named as such, not as an unknown option or
    // a word that WordNet lacks.
    const CliRun noClue = RunTool(dir, {"find", "c?t", "--clue"});
    EXPECT_EQ(noClue.exitCode, 2);
    EXPECT_EQ(noClue.err.rfind("gridwell-cli: --clue needs a value", 0), 0u) << noClue.err;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"meaning"}, {"meaning", ""}, {"meaning", " ", "\t"}}) {
        const CliRun run = RunTool(dir, args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err.rfind("gridwell-cli: meaning needs a WORD", 0), 0u) << run.err;
    }
    // --help goes to stdout, which RunTool does not capture: check the text.
    const CliRun help = RunTool(dir, {"find", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, "");
    // Every pattern with '?' is quoted, so that the shell leaves it alone.
    EXPECT_EQ(std::string(kCliHelp).find("find c?t"), std::string::npos);
    EXPECT_NE(std::string(kCliHelp).find("find 'c?t'"), std::string::npos);
    for (const char* topic : {"s3e", "?", "LETTERS", "--anagram", "--limit", "import [--allow-empty] FILE", "export FILE|-", "Ctrl-C"})
        EXPECT_NE(std::string(kCliHelp).find(topic), std::string::npos) << topic;
}

TEST_F(CliTest, VersionIsThePackagesAndTheManPagesNameIt) {
    // The version of the newest changelog entry, "gridwell (VERSION) ...".
    const std::string head = ReadWholeFile(GRIDWELL_CHANGELOG);
    ASSERT_EQ(head.rfind("gridwell (", 0), 0u);
    const std::string version = head.substr(10, head.find(')') - 10);
    ASSERT_FALSE(version.empty());

    const CliRun run = RunTool(dir, {"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "gridwell-cli " + version + "\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(std::string(kAppVersionText), "Gridwell: Version " + version) << "the About box";
    for (const char* page : {"gridwell.1", "gridwell-cli.1"}) {
        const std::string text = ReadWholeFile(std::string(GRIDWELL_MAN_DIR) + "/" + page);
        EXPECT_NE(text.find("\"Gridwell " + version + "\""), std::string::npos) << page;
    }
    EXPECT_NE(ReadWholeFile(std::string(GRIDWELL_MAN_DIR) + "/gridwell-cli.1").find("\\-\\-version"),
              std::string::npos);
}

TEST_F(CliTest, MatchesThatCannotBeWrittenAreAFailure) {
    // An output stream that refuses every write, as a full disk would.
    dir.Write("read-only.txt", "");
    std::FILE* refusing = std::fopen(dir.File("read-only.txt").c_str(), "r");
    ASSERT_NE(refusing, nullptr);
    const CliRun run = RunTool(dir, {"find", "c?t"}, refusing);
    std::fclose(refusing);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
}

TEST_F(CliTest, InterruptEndsASearch) {
    // In a child: Ctrl-C arrives while the search reads the dictionary.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        SetFileFaultHook([](FileOp op, const std::string& p) {
            if (op == FileOp::Read && p.find("dictionary.dat") != std::string::npos)
                std::raise(SIGINT);
            return false;
        });
        std::FILE* sink = std::tmpfile();
        ::chdir(dir.Path().c_str());
        const int code = RunCli({"find", "3"}, sink);
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT)
        << "the search ran on after Ctrl-C and exited with " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

TEST_F(CliTest, MissingOrEmptyDictionaryIsAFailure) {
    ScratchDir empty;
    const CliRun run = RunTool(empty, {"find", "cat"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.rfind("Unable to open the dictionary file for input.", 0), 0u);
    // Then where it looked, and how to make one.
    EXPECT_NE(run.err.find(empty.File("dictionary.dat")), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("gridwell-cli import WORDLIST"), std::string::npos) << run.err;

    // An empty dictionary.dat is no dictionary either: the same help.
    empty.Write("dictionary.dat", "");
    const CliRun emptyRun = RunTool(empty, {"find", "cat"});
    EXPECT_EQ(emptyRun.exitCode, 2);
    EXPECT_EQ(emptyRun.err.rfind("Unable to locate size of longest word", 0), 0u) << emptyRun.err;
    EXPECT_NE(emptyRun.err.find(empty.File("dictionary.dat")), std::string::npos) << emptyRun.err;
    EXPECT_NE(emptyRun.err.find("gridwell-cli import WORDLIST"), std::string::npos) << emptyRun.err;
}

TEST_F(CliTest, ImportAndExportRoundTrip) {
    dir.Write("list.txt", "Zebra\nyak\nox\n");
    const CliRun import = RunTool(dir, {"import", "list.txt"});
    EXPECT_EQ(import.exitCode, 0);
    EXPECT_EQ(import.err, "Dictionary was successfully loaded from file.\n3 words\n");
    const CliRun toFile = RunTool(dir, {"export", "words.txt"});
    EXPECT_EQ(toFile.exitCode, 0);
    EXPECT_EQ(toFile.err, "Dictionary was successfully saved to file.\n");
    EXPECT_EQ(dir.Read("words.txt"), "OX\nYAK\nZEBRA\n");
    const CliRun toStdout = RunTool(dir, {"export", "-"});
    EXPECT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out, "OX\nYAK\nZEBRA\n");
    // A list with no word at all is refused, and the dictionary kept, unless
    // an empty dictionary is asked for.
    const std::string before = dir.Read("dictionary.dat");
    dir.Write("numbers.txt", "1\n22\n");
    const CliRun refused = RunTool(dir, {"import", "numbers.txt"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, LoadStringText(IDS_EMPTY_WORD_LIST_REFUSED) +
                               "\ngridwell-cli: to make an empty dictionary all the same, use import --allow-empty\n");
    EXPECT_EQ(dir.Read("dictionary.dat"), before);
    const CliRun allowed = RunTool(dir, {"import", "--allow-empty", "numbers.txt"});
    EXPECT_EQ(allowed.exitCode, 0);
    EXPECT_EQ(allowed.err, "Dictionary was successfully loaded from file.\n0 words\n");
    EXPECT_EQ(RunTool(dir, {"--allow-empty", "export", "-"}).exitCode, 2) << "--allow-empty goes with import only";
}

TEST_F(CliTest, FilesThatCannotBeOpenedAreNamedWithTheReason) {
    const CliRun missing = RunTool(dir, {"import", "missing.txt"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "Failed to open file from which to load the dictionary.\n"
                           "gridwell-cli: missing.txt: No such file or directory\n");
    const CliRun noFolder = RunTool(dir, {"export", "no/such/folder.txt"});
    EXPECT_EQ(noFolder.exitCode, 2);
    EXPECT_EQ(noFolder.err, "Failed to open file to save dictionary.\n"
                            "gridwell-cli: no/such/folder.txt: No such file or directory\n");
    EXPECT_NE(RunTool(dir, {"export", "dictionary.dat"}).err.find("dictionary.dat: It is one of the dictionary"),
              std::string::npos);
}

TEST_F(CliTest, ExportOfADamagedDictionaryIsAFailure) {
    // Length 3, two words, but the block starts with a prefix code.
    const std::string block("\xD0\x44\x09\x80\x00", 5);
    const std::string trailer("\0\0\0\0\0\0\0\0\x02\0\0\0\x03", 13);
    dir.Write("dictionary.dat", block + trailer);
    const CliRun run = RunTool(dir, {"export", "words.txt"});
    EXPECT_EQ(run.exitCode, 2);
    // The damage once, then the failure: no success after it.
    EXPECT_EQ(run.err, LoadStringText(IDS_INVALID_CHARACTER) + "\n" + LoadStringText(IDS_SAVE_FAILED) + "\n");
    EXPECT_EQ(dir.Read("words.txt"), "");
    // A search says only that the dictionary is damaged, not that nothing matched.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"find", "3"}, {"find", "--common", "c?t"}, {"find", "--anagram", "tac"}}) {
        const CliRun find = RunTool(dir, args);
        EXPECT_EQ(find.exitCode, 2);
        EXPECT_EQ(find.err, LoadStringText(IDS_INVALID_CHARACTER) + "\n") << args.back();
    }
}

// Damage met after some words were listed still makes the search a
// failure: a '*' pattern lists the 3-letter words, then meets the damaged
// 4-letter block and says so once.
TEST_F(CliTest, DamageMetPartWayThroughASearchIsAFailure) {
    std::string file = BuildDictionary(dir, {"CAT", "COT", "DATE", "GATE"});
    // The trailer's entry for length 4 gives its block's start.
    const size_t entry4 = file.size() - 1 - 6 + 3;
    const size_t start4 = (static_cast<unsigned char>(file[entry4]) << 16) |
                          (static_cast<unsigned char>(file[entry4 + 1]) << 8) | static_cast<unsigned char>(file[entry4 + 2]);
    ASSERT_LT(start4, entry4);
    file[start4] = '\xFF';  // a prefix code where the block's first word begins
    dir.Write("dictionary.dat", file);
    const CliRun star = RunTool(dir, {"find", "*t*"});
    EXPECT_EQ(star.out, "CAT\nCOT\n");
    EXPECT_EQ(star.err, LoadStringText(IDS_INVALID_CHARACTER) + "\n");
    EXPECT_EQ(star.exitCode, 2);
    // A phrase pattern that reads the damaged block is a failure too, and
    // "no matches" would blame the pattern.
    const CliRun phrase = RunTool(dir, {"find", "(3,4)"});
    EXPECT_EQ(phrase.err, LoadStringText(IDS_INVALID_CHARACTER) + "\n");
    EXPECT_EQ(phrase.exitCode, 2);
    // The sound block alone is no failure.
    const CliRun three = RunTool(dir, {"find", "c?t"});
    EXPECT_EQ(three.out, "CAT\nCOT\n");
    EXPECT_EQ(three.exitCode, 0);
}

TEST_F(CliTest, ExportToAPipeThatIsClosedEndsQuietly) {
    // export - | head: the reader has gone before the export writes.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    std::FILE* closedPipe = ::fdopen(fds[1], "w");
    ASSERT_NE(closedPipe, nullptr);
    const CliRun run = RunTool(dir, {"export", "-"}, closedPipe);
    std::fclose(closedPipe);
    EXPECT_EQ(run.exitCode, kExitBrokenPipe);
    EXPECT_EQ(run.err, "") << "a closed pipe is no failure to report";
}

TEST_F(CliTest, FailedReplacementIsNotRetried) {
    const std::string before = dir.Read("dictionary.dat");
    dir.Write("list.txt", "new\nwords\n");
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Rename; });
    const CliRun run = RunTool(dir, {"import", "list.txt"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "Failed to rename dictionary from the temporary filename to the correct one.  Please check that "
              "there are no other instances of this program running.\n");
    EXPECT_EQ(dir.Read("dictionary.dat"), before);
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));
}

// A worker that stops on a failure prints why, then the job's failure, and
// the tool exits with a failure: the order and the status come from the job.
TEST_F(CliTest, WorkerFailuresArePrintedBeforeTheJobsFailure) {
    const std::string before = dir.Read("dictionary.dat");
    dir.Write("list.txt", "new\nwords\n");
    SetFileFaultHook([](FileOp op, const std::string& p) { return op == FileOp::Read && p.find("list.txt") != std::string::npos; });
    const CliRun import = RunTool(dir, {"import", "list.txt"});
    EXPECT_EQ(import.exitCode, 2);
    EXPECT_EQ(import.err, LoadStringText(IDS_CANNOT_READ_DICT) + "\n" + LoadStringText(IDS_LOAD_FAILED) + "\n");
    EXPECT_EQ(dir.Read("dictionary.dat"), before);
    SetFileFaultHook([](FileOp op, const std::string& p) { return op == FileOp::Write && p.find("out.txt") != std::string::npos; });
    const CliRun exported = RunTool(dir, {"export", "out.txt"});
    ClearFileFaultHook();
    EXPECT_EQ(exported.exitCode, 2);
    EXPECT_EQ(exported.err, LoadStringText(IDS_CANNOT_WRITE_TEXT) + "\n" + LoadStringText(IDS_SAVE_FAILED) + "\n");
    EXPECT_FALSE(dir.Exists("out.txt"));
}

TEST_F(CliTest, InterruptCancelsTheImportCleanly) {
    const std::string before = dir.Read("dictionary.dat");
    dir.Write("list.txt", "new\nwords\n");
    // Ctrl-C arrives while the worker reads the list.
    SetFileFaultHook([](FileOp op, const std::string& p) {
        if (op == FileOp::Read && p.find("list.txt") != std::string::npos) {
            std::raise(SIGINT);
            // ThreadSanitizer defers signal handlers to its next intercepted
            // call; this gives it one before the read goes on.
            ::usleep(1000);
        }
        return false;
    });
    const CliRun run = RunTool(dir, {"import", "list.txt"});
    EXPECT_EQ(run.exitCode, 130);
    EXPECT_EQ(run.err, "Loading of the dictionary from file was cancelled by the user.\n");
    EXPECT_EQ(dir.Read("dictionary.dat"), before);
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));
}

}  // namespace
