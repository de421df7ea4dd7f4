// An import killed with SIGKILL at many moments, in each phase and around the
// replacement, leaves dictionary.dat as the old or the new complete file, and
// the next run clears the stale temporary file.
#include <atomic>
#include <csignal>
#include <string>
#include <unistd.h>

#include "dictionary/dictionary.h"
#include "maintenance/import_job.h"
#include "platform/file_faults.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"
#include "tests/fault/fault_support.h"

namespace {

[[noreturn]] void KillSelf() {
    ::kill(::getpid(), SIGKILL);
    ::pause();
    ::_exit(97);  // not reached
}

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

enum class Outcome { Old, New, Either };

// Where the child kills itself: at the nth file operation `op` on a file
// whose name ends in `file`, at the first progress tick whose status reads
// `status` or a later phase's, or when message `message` is shown.
struct KillPoint {
    const char* name;
    Outcome outcome;
    FileOp op = FileOp::Open;
    const char* file = nullptr;
    int nth = 0;
    UINT status = 0;
    UINT message = 0;
};

class CrashSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Both dictionaries are made by the real import, the new one first so
        // that its bytes are known before the kills.
        dir.Write("new.txt", DistinctWords(12000, 7) + DistinctWords(3000, 9) + "zebra\nzebra\n");
        {
            MessageRecorder quiet;
            ASSERT_EQ(ImportHeadless(dir.File("new.txt")), IDS_LOAD_DONE);
        }
        newDictionary = dir.Read("dictionary.dat");
        oldDictionary = BuildDictionary(dir, {"OLD", "WORDS", "STAY", "HERE"});
        ASSERT_NE(oldDictionary, newDictionary);
        ::unlink(dir.File("words-input.txt").c_str());
    }
    void TearDown() override { ClearFileFaultHook(); }

    // Counts the file operations of one uninterrupted import (in a child, so
    // that the dictionary here stays the old one).
    int CountOps(FileOp op, const std::string& file) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        RunInChild([&] {
            auto count = std::make_shared<std::atomic<int>>(0);
            SetFileFaultHook([count, op, file](FileOp o, const std::string& path) {
                if (o == op && EndsWith(path, file))
                    ++*count;
                return false;
            });
            MessageRecorder quiet;
            ImportHeadless(dir.File("new.txt"));
            const int n = count->load();
            return ::write(fds[1], &n, sizeof n) == sizeof n ? 0 : 1;
        });
        int n = 0;
        EXPECT_EQ(::read(fds[0], &n, sizeof n), static_cast<ssize_t>(sizeof n));
        ::close(fds[0]);
        ::close(fds[1]);
        return n;
    }

    ChildResult ImportUntilKilled(const KillPoint& point) {
        return RunInChild([&] {
            auto seen = std::make_shared<std::atomic<int>>(0);
            if (point.nth > 0) {
                SetFileFaultHook([seen, point](FileOp op, const std::string& path) {
                    if (op == point.op && EndsWith(path, point.file) && ++*seen == point.nth)
                        KillSelf();
                    return false;
                });
            }
            const UINT killMessage = point.message;
            SetMessageSink([killMessage](UINT id, const CString&, MsgIcon, MsgButtons) {
                if (id == killMessage)
                    KillSelf();
                return IDOK;
            });
            std::vector<CString> killStatus;
            if (point.status) {
                killStatus.push_back(LoadStringText(point.status));
                killStatus.push_back(LoadStringText(IDS_WRITING_DICTIONARY));
            }
            CImportJob job(dir.File("new.txt"), ImportOptions());
            ShowJobResult(job.Run([&](CProgressDlg& dlg) {
                return RunProgressLoop(dlg, 0, [&](const CProgressDlg::DisplayUpdate& update) {
                    for (const CString& s : killStatus)
                        if (update.status == s)
                            KillSelf();
                }, nullptr);
            }, PromptsThroughMessageBox()));
            return 0;
        });
    }

    ScratchDir dir;
    std::string oldDictionary;
    std::string newDictionary;
};

TEST_F(CrashSafetyTest, KilledImportLeavesTheOldOrTheNewCompleteDictionary) {
    const int reads = CountOps(FileOp::Read, "new.txt");
    const int writes = CountOps(FileOp::Write, "dictionary.$$$");
    ASSERT_GE(reads, 9) << "the word list should take several reads in each of the three passes";
    ASSERT_GE(writes, 4) << "the new dictionary should take several writes";

    std::vector<KillPoint> points;
    // Phases 1 to 3 read the word list once each: kill across all three passes.
    for (int n = 1; n <= reads; n += reads / 9)
        points.push_back({"word-list read", Outcome::Old, FileOp::Read, "new.txt", n});
    // Phase 4 does no file work: kill at the first tick that shows sorting (or,
    // should the tick come late, writing), or at the latest on the outcome.
    points.push_back({"sorting", Outcome::Either, FileOp::Open, nullptr, 0, IDS_SORTING_WORDS, IDS_LOAD_DONE});
    // Phase 5 and the trailer: before the first, a middle and the last write.
    for (const int n : {1, writes / 2, writes})
        points.push_back({"dictionary write", Outcome::Old, FileOp::Write, "dictionary.$$$", n});
    // The replacement: before the flush to disk, before the close, before the
    // rename, and after the rename when the outcome is being shown.
    points.push_back({"flush", Outcome::Old, FileOp::Flush, "dictionary.$$$", 1});
    points.push_back({"close", Outcome::Old, FileOp::Close, "dictionary.$$$", 1});
    points.push_back({"rename", Outcome::Old, FileOp::Rename, "dictionary.$$$", 1});
    points.push_back({"after rename", Outcome::New, FileOp::Open, nullptr, 0, 0, IDS_LOAD_DONE});

    for (const KillPoint& point : points) {
        SCOPED_TRACE(std::string(point.name) + " #" + std::to_string(point.nth));
        dir.Write("dictionary.dat", oldDictionary);
        const ChildResult child = ImportUntilKilled(point);
        ASSERT_EQ(child.signal, SIGKILL) << "the import was not killed at this point";

        ASSERT_TRUE(dir.Exists("dictionary.dat"));
        const std::string after = dir.Read("dictionary.dat");
        const bool replaced = after == newDictionary;
        EXPECT_TRUE(replaced || after == oldDictionary) << "dictionary.dat is neither the old nor the new file";
        if (point.outcome != Outcome::Either) {
            EXPECT_EQ(replaced, point.outcome == Outcome::New);
        }
        if (!replaced) {
            EXPECT_TRUE(dir.Exists("dictionary.$$$")) << "the killed import should have left its new file";
        }

        // The next run, a search in a new process, clears the stale file and
        // reads the dictionary that stands.
        const CliResult find = RunCli(dir.Path(), {"find", "5"});
        EXPECT_EQ(find.exitCode, 0) << find.err;
        EXPECT_EQ(find.out, replaced ? "ZEBRA\n" : "WORDS\n");
        EXPECT_FALSE(dir.Exists("dictionary.$$$"));
    }
}

TEST_F(CrashSafetyTest, ImportAfterAKilledOneReplacesTheStaleFile) {
    dir.Write("dictionary.dat", oldDictionary);
    const ChildResult child = ImportUntilKilled({"dictionary write", Outcome::Old, FileOp::Write, "dictionary.$$$", 2});
    ASSERT_EQ(child.signal, SIGKILL);
    ASSERT_TRUE(dir.Exists("dictionary.$$$"));

    const CliResult import = RunCli(dir.Path(), {"import", "new.txt"});
    EXPECT_EQ(import.exitCode, 0) << import.err;
    EXPECT_EQ(dir.Read("dictionary.dat"), newDictionary);
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));
}

}  // namespace
