// The progress window: what the first display update and each tick show,
// Cancel (which only asks), closing with OK or Cancel when the worker is done.
// The test plays the worker's part on the job's CProgressDlg.
#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include "app/progress_wnd.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "tests/gui/main_dlg_fixture.h"

namespace {

// Runs `steps` inside the window's modal loop, then returns RunModal's result.
int RunWith(CProgressWnd& wnd, std::function<void()> steps) {
    wxTheApp->CallAfter([steps]() { steps(); });
    return wnd.RunModal();
}

void ClickCancel(CProgressWnd& wnd) {
    wxCommandEvent click(wxEVT_BUTTON, wnd.CancelButton()->GetId());
    click.SetEventObject(wnd.CancelButton());
    wnd.CancelButton()->GetEventHandler()->ProcessEvent(click);
}

}  // namespace

using ProgressWindowTest = MainDlgTest;

TEST_F(ProgressWindowTest, FirstUpdateShowsTitleStatusAndZeroPercent) {
    CProgressDlg job;
    job.SetTitle(IDS_LOADING_TITLE);
    CProgressWnd wnd(m_dlg, job);
    EXPECT_EQ(wnd.GetTitle(), kProgressCaption);
    EXPECT_EQ(wnd.GetPosition(), m_dlg->ClientToScreen(wxPoint(0, 0)));
    const int result = RunWith(wnd, [&]() {
        EXPECT_TRUE(wnd.IsModal());
        EXPECT_EQ(wnd.GetParent(), m_dlg) << "the progress window stands in front of the main dialog";
        EXPECT_EQ(wnd.GetTitle(), LoadStringText(IDS_LOADING_TITLE));
        EXPECT_EQ(wnd.StatusCtrl()->GetLabelText(), kProgressInitialStatus);
        EXPECT_EQ(wnd.PercentCtrl()->GetLabelText(), "  0%");
        EXPECT_EQ(wnd.Bar()->GetValue(), 0);
        EXPECT_EQ(wnd.Bar()->GetRange(), 100);
        EXPECT_TRUE(wnd.IsTimerRunning());
        // The focus starts on Cancel; the status lines are plain text.
        EXPECT_TRUE(WaitFor([&]() { return wxWindow::FindFocus() == wnd.CancelButton(); }));
        EXPECT_FALSE(wnd.StatusCtrl()->AcceptsFocus());
        job.m_bStopped.store(true);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(ProgressWindowTest, TicksShowStatusAndPercentAndCompletionClosesWithOk) {
    CProgressDlg job;
    CProgressWnd wnd(m_dlg, job);
    const int result = RunWith(wnd, [&]() {
        job.SetRange(26, 50, 1, 7);
        job.SetStatus(IDS_COUNTING_WORDS);
        job.SetPos(4);
        wnd.OnTick();
        EXPECT_EQ(wnd.StatusCtrl()->GetLabelText(), LoadStringText(IDS_COUNTING_WORDS));
        EXPECT_EQ(wnd.PercentCtrl()->GetLabelText(), " 38%");
        EXPECT_EQ(wnd.Bar()->GetValue(), 38);
        EXPECT_TRUE(wnd.IsModal());
        // Complete: 100% and a full bar, the last status line kept.
        job.Complete();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(wnd.PercentCtrl()->GetLabelText(), "100%");
    EXPECT_EQ(wnd.Bar()->GetValue(), 100);
    EXPECT_EQ(wnd.StatusCtrl()->GetLabelText(), LoadStringText(IDS_COUNTING_WORDS));
    EXPECT_FALSE(wnd.IsTimerRunning());
}

TEST_F(ProgressWindowTest, CancelOnlyAsksAndFreezesTheDisplayUntilTheWorkerStops) {
    CProgressDlg job;
    CProgressWnd wnd(m_dlg, job);
    const int result = RunWith(wnd, [&]() {
        job.SetRange(0, 100, 1, 10);
        job.SetPos(3);
        wnd.OnTick();
        ASSERT_EQ(wnd.PercentCtrl()->GetLabelText(), " 22%");
        ClickCancel(wnd);
        EXPECT_TRUE(job.m_bCancelRequested.load());
        // The worker goes on a little before it notices: nothing changes on
        // screen, and the window stays open.
        job.SetPos(9);
        job.SetStatus("still working");
        wnd.OnTick();
        Settle(20);
        EXPECT_TRUE(wnd.IsModal());
        EXPECT_EQ(wnd.PercentCtrl()->GetLabelText(), " 22%");
        EXPECT_NE(wnd.StatusCtrl()->GetLabelText(), "still working");
        job.m_bStopped.store(true);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(ProgressWindowTest, EscapeAndClosingAskToCancelButDoNotClose) {
    CProgressDlg job;
    CProgressWnd wnd(m_dlg, job);
    const int result = RunWith(wnd, [&]() {
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        escape.SetEventObject(&wnd);
        wnd.GetEventHandler()->ProcessEvent(escape);
        EXPECT_TRUE(job.m_bCancelRequested.load()) << "Escape is Cancel";
        EXPECT_TRUE(wnd.IsModal());
        job.m_bCancelRequested.store(false);
        EXPECT_FALSE(wnd.Close());  // vetoed
        EXPECT_TRUE(job.m_bCancelRequested.load());
        EXPECT_TRUE(wnd.IsModal());
        job.m_bStopped.store(true);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(ProgressWindowTest, CancelAfterCompleteStillEndsWithOk) {
    CProgressDlg job;
    CProgressWnd wnd(m_dlg, job);
    const int result = RunWith(wnd, [&]() {
        job.Complete();
        ClickCancel(wnd);
    });
    EXPECT_EQ(result, IDOK);
}

TEST_F(ProgressWindowTest, TheWindowsOwnTimerClosesIt) {
    CProgressDlg job;
    CProgressWnd wnd(m_dlg, job);
    // A window whose timer never fires would wait for ever: a watchdog ends
    // it with a result the test does not accept.
    wxTimer watchdog;
    watchdog.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (wnd.IsModal())
            wnd.EndModal(-1);
    });
    watchdog.StartOnce(20000);
    const int result = RunWith(wnd, [&]() {
        EXPECT_TRUE(wnd.IsTimerRunning());
        EXPECT_EQ(wnd.GetTimerInterval(), 600);
        job.Complete();  // no tick by hand: the window's own timer must see it
    });
    watchdog.Stop();
    EXPECT_EQ(result, IDOK);
}
