// The file format's 24-bit limits and a 100 MB word list. A word list whose
// count or block start does not fit 24 bits is refused with 59168 before
// anything replaces dictionary.dat; one block may still run past the first
// 16 MB, since only its start is recorded. A 100 MB list shows true
// percentages in every phase.
#include <algorithm>
#include <mutex>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "maintenance/import_job.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"
#include "tests/fault/fault_support.h"

namespace {

constexpr size_t kInt24Limit = size_t{1} << 24;  // the first count or offset that does not fit

class FormatLimitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldDictionary = BuildDictionary(dir, {"OLD", "WORDS", "STAY", "HERE"});
        ::unlink(dir.File("words-input.txt").c_str());
    }
    void ExpectRefusedAndOldKept(const std::string& list) {
        MessageRecorder recorder;
        // Refused, with the reason, once: no cancel is reported after it.
        EXPECT_EQ(ImportHeadless(dir.File(list)), IDS_WORD_LIST_TOO_LARGE);
        EXPECT_EQ(recorder.Messages(),
                  (std::vector<RecordedMessage>{{IDS_WORD_LIST_TOO_LARGE, MsgIcon::Exclamation, MsgButtons::Ok}}))
            << IdsText(recorder.Ids());
        EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary);
        EXPECT_FALSE(dir.Exists("dictionary.$$$"));
    }

    ScratchDir dir;
    std::string oldDictionary;
};

TEST_F(FormatLimitsTest, BlockStartPast24BitsIsRefusedButOneLongBlockIsNot) {
    // About 29 bytes a word: 600,000 words of 50 letters fill more than 16 MB.
    dir.Write("long-block.txt", DistinctWords(600000, 50));
    {
        MessageRecorder recorder;
        ASSERT_EQ(ImportHeadless(dir.File("long-block.txt")), IDS_LOAD_DONE);
    }
    const std::string accepted = dir.Read("dictionary.dat");
    ASSERT_GT(accepted.size(), kInt24Limit) << "the block should run past the first 16 MB";
    CDictionary dict(GetWorkDir());
    ASSERT_TRUE(dict.OpenForReading());
    int count = 0;
    ASSERT_TRUE(dict.PrepareSearch(FALSE, "50", "", FALSE, count));
    EXPECT_EQ(count, 600000);
    CString word, last;
    int decoded = 0;
    while (dict.NextMatch(word, TRUE)) {
        EXPECT_TRUE(last < word) << "words past 16 MB decode in order";
        last = word;
        ++decoded;
    }
    EXPECT_EQ(decoded, 600000);

    // One more word, one letter longer: its block would start past 16 MB.
    dir.Write("dictionary.dat", oldDictionary);
    dir.Write("too-far.txt", dir.Read("long-block.txt") + std::string(51, 'Z') + "\n");
    ExpectRefusedAndOldKept("too-far.txt");
}

TEST_F(FormatLimitsTest, CountPast24BitsIsRefused) {
    // 2^24 distinct words of six letters: one more than a count can hold.
    dir.Write("many.txt", DistinctWords(kInt24Limit, 6));
    ExpectRefusedAndOldKept("many.txt");
}

// Every percentage that the display showed, with the status beside it.
struct Sample {
    CString status;
    int percent;
};

TEST(LargeWordList, HundredMegabytesShowTruePercentages) {
    ScratchDir dir;
    // 10 million words of 9 letters and their line breaks: 100,000,000 bytes.
    dir.Write("big.txt", DistinctWords(10000000, 9));
    std::vector<Sample> samples;
    MessageRecorder recorder;
    CString shown;
    CImportJob job(dir.File("big.txt"), ImportOptions());
    const UINT result = ShowJobResult(job.Run([&](CProgressDlg& dlg) {
        return RunProgressLoop(
            dlg, 1,
            [&](const CProgressDlg::DisplayUpdate& update) {
                if (update.status)
                    shown = *update.status;
                samples.push_back({shown, dlg.GetPercent()});
            },
            nullptr);
    }, PromptsThroughMessageBox()));
    ASSERT_EQ(result, IDS_LOAD_DONE) << IdsText(recorder.Ids());

    // Each phase's status with its span of percentages; the status changes
    // just before the first position of the new span is reported.
    const struct {
        UINT status;
        int from, to;
    } phases[] = {{IDS_FINDING_LONGEST, 0, 25}, {IDS_COUNTING_WORDS, 25, 50}, {IDS_STORING_WORDS, 50, 75},
                  {IDS_SORTING_WORDS, 75, 85},  {IDS_WRITING_DICTIONARY, 85, 100}};
    int previous = 0;
    int insidePhaseOne = 0;
    for (const Sample& s : samples) {
        EXPECT_GE(s.percent, previous) << s.status;
        previous = s.percent;
        for (const auto& phase : phases) {
            if (s.status != LoadStringText(phase.status))
                continue;
            EXPECT_GE(s.percent, phase.from) << s.status;
            EXPECT_LE(s.percent, phase.to) << s.status;
        }
        if (s.status == LoadStringText(IDS_FINDING_LONGEST) && s.percent > 0 && s.percent < 25)
            ++insidePhaseOne;
    }
    EXPECT_GT(insidePhaseOne, 0) << "reading 100 MB should show percentages between 0 and 25";
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples.back().percent, 100);
}

}  // namespace
