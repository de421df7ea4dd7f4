// The command-line tool's import of a 3 MB word list, killed with SIGKILL at
// moments spread evenly over a whole run: every time, dictionary.dat is the
// old or the new complete file, and the next search leaves no stale
// temporary file. The kill moments are chosen, not waited for: the outcome
// must hold whenever the kill lands.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "res/string_table.h"
#include "tests/fault/fault_support.h"

namespace {

using Clock = std::chrono::steady_clock;

pid_t StartImport(const std::string& dir, const std::string& list) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const char* argv[] = {GRIDWELL_CLI_PATH, "import", list.c_str(), nullptr};
        const int devNull = ::open("/dev/null", O_RDWR);
        if (::chdir(dir.c_str()) != 0 || devNull < 0)
            ::_exit(127);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
        ::execv(argv[0], const_cast<char* const*>(argv));
        ::_exit(127);
    }
    return pid;
}

TEST(SlowCrashSafety, ImportKilledAtMomentsSpreadOverAWholeRun) {
    ScratchDir dir;
    dir.Write("new.txt", DistinctWords(200000, 8) + DistinctWords(100000, 11) + "zebra\n");
    {
        MessageRecorder quiet;
        ASSERT_EQ(ImportHeadless(dir.File("new.txt")), IDS_LOAD_DONE);
    }
    const std::string newDictionary = dir.Read("dictionary.dat");
    const std::string oldDictionary = BuildDictionary(dir, {"OLD", "WORDS", "STAY", "HERE"});

    // How long one whole import by the tool takes here.
    const Clock::time_point start = Clock::now();
    ASSERT_EQ(WaitForChild(StartImport(dir.Path(), "new.txt")).exitCode, 0);
    const auto whole = Clock::now() - start;

    constexpr int kKills = 24;
    int oldKept = 0;
    int newStood = 0;
    for (int i = 1; i <= kKills; ++i) {
        SCOPED_TRACE("kill " + std::to_string(i) + " of " + std::to_string(kKills));
        dir.Write("dictionary.dat", oldDictionary);
        const pid_t pid = StartImport(dir.Path(), "new.txt");
        std::this_thread::sleep_for(whole * i / (kKills + 2));
        ::kill(pid, SIGKILL);
        WaitForChild(pid);

        ASSERT_TRUE(dir.Exists("dictionary.dat")) << "dictionary.dat went missing";
        const std::string after = dir.Read("dictionary.dat");
        EXPECT_TRUE(after == oldDictionary || after == newDictionary) << "dictionary.dat is partial";
        (after == newDictionary ? newStood : oldKept)++;

        const CliResult find = RunCli(dir.Path(), {"find", "5"});
        EXPECT_EQ(find.out, after == newDictionary ? "ZEBRA\n" : "WORDS\n");
        EXPECT_FALSE(dir.Exists("dictionary.$$$")) << "the next run left the stale file";
    }
    EXPECT_GT(oldKept, 0) << "no kill landed before the replacement";
}

}  // namespace
