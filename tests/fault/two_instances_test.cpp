// Two instances in one directory: while this process imports (held in the
// middle of writing its new file), another process - the command-line tool -
// is refused a second import, and its searches and exports keep working on
// the old dictionary without touching the running import's file. The
// finished import then replaces the dictionary for both.
#include <algorithm>
#include <atomic>
#include <future>
#include <thread>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "platform/file_faults.h"
#include "res/string_table.h"
#include "tests/fault/fault_support.h"

namespace {

bool Contains(const std::string& text, UINT id) { return text.find(LoadStringText(id)) != std::string::npos; }

TEST(TwoInstances, SecondInstanceWorksOnTheOldDictionaryDuringAnImport) {
    ScratchDir dir;
    BuildDictionary(dir, {"OLD", "WORDS", "STAY", "HERE"});
    dir.Write("new.txt", DistinctWords(3000, 8));
    dir.Write("other.txt", "other\nlist\n");

    // Hold the import's worker at its second write of the new file.
    std::promise<void> paused;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> writes{0};
    SetFileFaultHook([&](FileOp op, const std::string& path) {
        if (op == FileOp::Write && path.find("dictionary.$$$") != std::string::npos && ++writes == 2) {
            paused.set_value();
            released.wait();
        }
        return false;
    });
    MessageRecorder recorder;
    std::future<UINT> import;
    // Lets the import go on however this test ends, so it never hangs; it is
    // declared after the future, so it lets go before the future waits.
    struct Release {
        std::promise<void>& release;
        bool done = false;
        void Now() {
            if (!done)
                release.set_value();
            done = true;
        }
        ~Release() { Now(); }
    } releaseGuard{release};
    import = std::async(std::launch::async, [&] { return ImportHeadless(dir.File("new.txt")); });
    paused.get_future().wait();
    const ino_t temp = InodeOf(dir.File("dictionary.$$$"));
    ASSERT_NE(temp, 0u);

    // A reader of this process that opens the old dictionary now.
    CDictionary early(GetWorkDir());
    ASSERT_TRUE(early.OpenForReading());

    const CliResult second = RunCli(dir.Path(), {"import", "other.txt"});
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_TRUE(Contains(second.err, IDS_CANNOT_OPEN_EXCLUSIVE) && Contains(second.err, IDS_CANNOT_OPEN_TEMP))
        << second.err;
    EXPECT_LT(second.err.find(LoadStringText(IDS_CANNOT_OPEN_EXCLUSIVE)),
              second.err.find(LoadStringText(IDS_CANNOT_OPEN_TEMP)));

    const CliResult find = RunCli(dir.Path(), {"find", "5"});
    EXPECT_EQ(find.exitCode, 0) << find.err;
    EXPECT_EQ(find.out, "WORDS\n");
    const CliResult save = RunCli(dir.Path(), {"export", "old.txt"});
    EXPECT_EQ(save.exitCode, 0) << save.err;
    EXPECT_EQ(dir.Read("old.txt"), "OLD\nHERE\nSTAY\nWORDS\n");
    EXPECT_EQ(InodeOf(dir.File("dictionary.$$$")), temp) << "the running import's file was touched";

    releaseGuard.Now();
    EXPECT_EQ(import.get(), IDS_LOAD_DONE);
    ClearFileFaultHook();
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));

    // The other process now sees the new dictionary...
    const CliResult after = RunCli(dir.Path(), {"find", "--limit", "8"});
    EXPECT_EQ(after.exitCode, 0) << after.err;
    EXPECT_EQ(std::count(after.out.begin(), after.out.end(), '\n'), 100);
    EXPECT_EQ(RunCli(dir.Path(), {"find", "5"}).exitCode, 1);
    // ...and a reader that opened the old one before the replacement still
    // reads it whole.
    int count = 0;
    ASSERT_TRUE(early.PrepareSearch(FALSE, "?????", "", FALSE, count));
    CString word;
    ASSERT_TRUE(early.NextMatch(word, FALSE));
    EXPECT_EQ(word, "WORDS");
    EXPECT_FALSE(early.NextMatch(word, FALSE));
    EXPECT_EQ(recorder.Ids(), std::vector<UINT>{IDS_LOAD_DONE}) << IdsText(recorder.Ids());
}

}  // namespace
