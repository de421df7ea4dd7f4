// The progress protocol: ranges, percentages, status hand-over and when the
// display closes.
#include <array>
#include <thread>

#include "platform/message_box.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"
#include "tests/test_support.h"

namespace {

TEST(ProgressProtocol, RefusedRangesChangeNothing) {
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.SetRange(26, 50, 1, 7));
    EXPECT_FALSE(dlg.SetRange(0, 0, 1, 10));
    EXPECT_FALSE(dlg.SetRange(0, 10, 5, 5));
    EXPECT_FALSE(dlg.SetRange(-1, 10, 1, 10));
    EXPECT_FALSE(dlg.SetRange(0, 101, 1, 10));
    EXPECT_FALSE(dlg.SetRange(101, 102, 1, 10));
    EXPECT_FALSE(dlg.SetRange(50, 40, 1, 10));
    dlg.SetPos(4);
    EXPECT_EQ(dlg.GetPercent(), 38) << "26 + 24 * 3 / 6 from the range still in force";
}

TEST(ProgressProtocol, PositionsAreClampedAndThePreviousIsReturned) {
    CProgressDlg dlg;
    EXPECT_EQ(dlg.SetPos(5), 0);
    EXPECT_EQ(dlg.GetPercent(), 0) << "no range yet: no percentage, no division";
    ASSERT_TRUE(dlg.SetRange(26, 50, 1, 7));
    EXPECT_EQ(dlg.SetPos(-3), 0) << "without a range the position was clamped to 0";
    EXPECT_EQ(dlg.GetPercent(), 26);
    EXPECT_EQ(dlg.SetPos(99), 1);
    EXPECT_EQ(dlg.GetPercent(), 50);
    EXPECT_EQ(dlg.SetPos(4), 7);
    EXPECT_EQ(dlg.GetPercent(), 38);
}

TEST(ProgressProtocol, EveryPositionGivesItsPercentageInEitherDirection) {
    // The percentage is worked out again only when the position leaves the
    // run that shares it: walk up, down and across ranges to check the runs.
    CProgressDlg dlg;
    const auto expected = [](int64_t from, int64_t to, int64_t first, int64_t last, int64_t pos) {
        return static_cast<int>(from + (to - from) * (pos - first) / (last - first));
    };
    for (const auto& [from, to, first, last] : {std::array<int64_t, 4>{26, 50, 1, 7}, {0, 100, 1, 3},
                                                {86, 100, 1, 1000}, {0, 25, 1, 6922427}}) {
        ASSERT_TRUE(dlg.SetRange(from, to, first, last));
        const int64_t step = last > 2000 ? 997 : 1;
        for (int64_t pos = first; pos <= last; pos += step) {
            dlg.SetPos(pos);
            ASSERT_EQ(dlg.GetPercent(), expected(from, to, first, last, pos)) << "up, at " << pos;
        }
        for (int64_t pos = last; pos >= first; pos -= step) {
            dlg.SetPos(pos);
            ASSERT_EQ(dlg.GetPercent(), expected(from, to, first, last, pos)) << "down, at " << pos;
        }
    }
}

TEST(ProgressProtocol, LargeMeasuresGiveTruePercentages) {
    CProgressDlg dlg;
    const int64_t hundredMegabytes = 100'000'000;
    ASSERT_TRUE(dlg.SetRange(0, 25, 1, hundredMegabytes));
    dlg.SetPos(hundredMegabytes / 2);
    EXPECT_EQ(dlg.GetPercent(), 12);
    ASSERT_TRUE(dlg.SetRange(0, 100, 1, 6'000'000'000));
    dlg.SetPos(4'500'000'000);
    EXPECT_EQ(dlg.GetPercent(), 74);
}

TEST(ProgressProtocol, PercentTextIsRightAlignedInThreePlaces) {
    EXPECT_EQ(CProgressDlg::FormatPercent(0), "  0%");
    EXPECT_EQ(CProgressDlg::FormatPercent(38), " 38%");
    EXPECT_EQ(CProgressDlg::FormatPercent(100), "100%");
}

TEST(ProgressProtocol, DisplayUpdatesCarryOnlyWhatChanged) {
    CProgressDlg dlg;
    dlg.SetTitle(IDS_LOADING_TITLE);
    CProgressDlg::DisplayUpdate first = dlg.TakeDisplayUpdate();
    EXPECT_EQ(first.status, CString("Initialising"));
    EXPECT_EQ(first.title, CString("Loading dictionary..."));
    EXPECT_EQ(first.percent, 0);
    EXPECT_EQ(first.percentText, "  0%");

    CProgressDlg::DisplayUpdate none = dlg.TakeDisplayUpdate();
    EXPECT_FALSE(none.status || none.title || none.percent);

    dlg.SetStatus(IDS_FINDING_LONGEST);
    CProgressDlg::DisplayUpdate status = dlg.TakeDisplayUpdate();
    EXPECT_EQ(status.status, CString("Reading file to find longest word..."));
    dlg.SetStatus(IDS_FINDING_LONGEST);
    EXPECT_FALSE(dlg.TakeDisplayUpdate().status) << "repeating the text changes nothing";
}

TEST(ProgressProtocol, CompleteKeepsTheStatusLineAndWinsOverStop) {
    CProgressDlg dlg;
    dlg.SetStatus(IDS_WRITING_DICTIONARY);
    CProgressDlg::DisplayUpdate update;
    EXPECT_EQ(dlg.Tick(update), CProgressDlg::TickResult::KeepOpen);
    dlg.Complete();
    dlg.m_bStopped.store(true);
    EXPECT_EQ(dlg.Tick(update), CProgressDlg::TickResult::EndOk);
    EXPECT_FALSE(update.status) << "Complete does not rewrite the status line";
    EXPECT_EQ(update.percent, 100);
}

TEST(ProgressProtocol, CancelFreezesTheDisplayUntilTheWorkerStops) {
    CProgressDlg dlg;
    CProgressDlg::DisplayUpdate update;
    dlg.Tick(update);
    dlg.OnCancel();
    ASSERT_TRUE(dlg.SetRange(0, 100, 1, 10));
    dlg.SetPos(5);
    dlg.SetStatus(CString("Something else"));
    EXPECT_EQ(dlg.Tick(update), CProgressDlg::TickResult::KeepOpen);
    EXPECT_FALSE(update.status || update.title || update.percent);
    dlg.m_bStopped.store(true);
    EXPECT_EQ(dlg.Tick(update), CProgressDlg::TickResult::EndCancel);
    EXPECT_FALSE(update.percent);
}

TEST(ProgressProtocol, AClosingDisplayShowsTheFinalPercentage) {
    // A worker racing the display: whenever the display sees completion it
    // must also see 100%, and the status texts it sees are whole.
    for (int round = 0; round < 20; ++round) {
        CProgressDlg dlg;
        std::thread worker([&dlg] {
            dlg.SetRange(0, 100, 1, 20000);
            for (int i = 1; i <= 20000; ++i) {
                dlg.SetPos(i);
                if (i % 1000 == 0)
                    dlg.SetStatus(FormatString("Writing out %d-letter words", i / 1000));
            }
            dlg.Complete();
        });
        int lastPercent = -1;
        CProgressDlg::TickResult result;
        do {
            CProgressDlg::DisplayUpdate update;
            result = dlg.Tick(update);
            if (update.percent)
                lastPercent = *update.percent;
            // "Complete" can show when the worker completes before a status
            // change it made was displayed.
            if (update.status && *update.status != "Initialising" && *update.status != "Complete") {
                EXPECT_EQ(update.status->rfind("Writing out ", 0), 0u) << *update.status;
            }
        } while (result == CProgressDlg::TickResult::KeepOpen);
        worker.join();
        EXPECT_EQ(result, CProgressDlg::TickResult::EndOk);
        EXPECT_EQ(lastPercent, 100);
    }
}

}  // namespace
