// A real "disk full": import and export under a file-size limit
// (RLIMIT_FSIZE, with SIGXFSZ ignored so writes fail with EFBIG), in a child
// process. Each failure shows a clear message, leaves the old dictionary
// and an old output file untouched and leaves no partial output; a limit that the file just fits is
// no failure at all.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

#include "dictionary/dictionary.h"
#include "res/string_table.h"
#include "tests/fault/fault_support.h"

namespace {

// Runs `job` in a child whose files may grow to at most `limit` bytes.
ChildRun RunWithFileSizeLimit(rlim_t limit, const std::function<UINT()>& job) {
    return RunCollectingMessages(
        [limit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit rl{limit, limit};
            return ::setrlimit(RLIMIT_FSIZE, &rl) == 0;
        },
        job);
}

class DiskFullTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("new.txt", DistinctWords(4000, 6) + DistinctWords(1500, 11));
        {
            MessageRecorder quiet;
            ASSERT_EQ(ImportHeadless(dir.File("new.txt")), IDS_LOAD_DONE);
        }
        newDictionary = dir.Read("dictionary.dat");
        oldDictionary = BuildDictionary(dir, {"OLD", "WORDS", "STAY", "HERE"});
        ::unlink(dir.File("words-input.txt").c_str());
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchDir dir;
    std::string oldDictionary;
    std::string newDictionary;
};

TEST_F(DiskFullTest, ImportThatDoesNotFitKeepsTheOldDictionary) {
    const rlim_t size = newDictionary.size();
    ASSERT_GT(size, 15000u);
    // Nothing at all, inside the first buffer, exactly one buffer, inside the
    // blocks, and everything but the last byte (the longest-length byte).
    for (const rlim_t limit : {rlim_t{0}, rlim_t{4999}, rlim_t{5000}, rlim_t{12345}, size - 7, size - 1}) {
        SCOPED_TRACE("limit " + std::to_string(limit) + " of " + std::to_string(size));
        const ChildRun run = RunWithFileSizeLimit(limit, [&] { return ImportHeadless(dir.File("new.txt")); });
        ASSERT_TRUE(run.ran);
        EXPECT_EQ(run.outcome, IDS_LOAD_FAILED);
        EXPECT_EQ(run.messages, (std::vector<UINT>{IDS_CANNOT_WRITE_DICT, IDS_LOAD_FAILED})) << IdsText(run.messages);
        EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary);
        EXPECT_EQ(Entries(), (std::vector<std::string>{"dictionary.dat", "new.txt"})) << "no partial file is left";
    }

    const ChildRun fits = RunWithFileSizeLimit(size, [&] { return ImportHeadless(dir.File("new.txt")); });
    ASSERT_TRUE(fits.ran);
    EXPECT_EQ(fits.messages, std::vector<UINT>{IDS_LOAD_DONE}) << "a file that just fits the limit is written whole";
    EXPECT_EQ(dir.Read("dictionary.dat"), newDictionary);
}

TEST_F(DiskFullTest, ExportThatDoesNotFitLeavesTheOldFileAndNoPartialOne) {
    dir.Write("dictionary.dat", newDictionary);
    const size_t size = dir.Read("new.txt").size();  // the export writes the same words and bytes
    for (const rlim_t limit : {rlim_t{0}, rlim_t{10000}, rlim_t{size / 2}, rlim_t{size - 1}}) {
        SCOPED_TRACE("limit " + std::to_string(limit) + " of " + std::to_string(size));
        dir.Write("out.txt", "an older file of this name");
        const ChildRun run = RunWithFileSizeLimit(limit, [&] { return ExportHeadless(dir.File("out.txt")); });
        ASSERT_TRUE(run.ran);
        EXPECT_EQ(run.outcome, IDS_SAVE_FAILED);
        EXPECT_EQ(run.messages, (std::vector<UINT>{IDS_CANNOT_WRITE_TEXT, IDS_SAVE_FAILED})) << IdsText(run.messages);
        EXPECT_EQ(dir.Read("out.txt"), "an older file of this name") << "the old file is kept whole";
        EXPECT_EQ(Entries(), (std::vector<std::string>{"dictionary.dat", "new.txt", "out.txt"}))
            << "the partial export is removed";
        EXPECT_EQ(dir.Read("dictionary.dat"), newDictionary);
    }

    const ChildRun fits = RunWithFileSizeLimit(size, [&] { return ExportHeadless(dir.File("out.txt")); });
    ASSERT_TRUE(fits.ran);
    EXPECT_EQ(fits.messages, std::vector<UINT>{IDS_SAVE_DONE});
    std::string expected;
    for (const std::string& word : ReadAllWords())
        expected += word + "\n";
    EXPECT_EQ(dir.Read("out.txt"), expected);
    EXPECT_EQ(expected.size(), size);
}

}  // namespace
