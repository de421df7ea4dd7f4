// The search history's state machine, row by row, on GTK's order of events
// (the list reports closing before the new selection; SetSelection reports
// nothing), and its edge cases.
#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "tests/gui/main_dlg_fixture.h"

using Strings = std::vector<std::string>;

class HistoryTest : public MainDlgTest {
protected:
    void SetUp() override {
        MainDlgTest::SetUp();
        // Newest first: "dog", "??t? (ea)", "c?t (a)", "c?t".
        Find("c?t");
        Find("c?t", "a");
        Find("??t?", "ea");
        Find("dog");
        ASSERT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
        m_dlg->LettersEdit()->ChangeValue("zz");
    }
    wxString Shown() const { return m_dlg->PatternCombo()->GetValue(); }
    wxString Letters() const { return m_dlg->LettersEdit()->GetValue(); }
};

TEST_F(HistoryTest, ClosedNothingShortened_SelectionChangeSplitsTheEntry) {
    Select(2);
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t", "c?t"}));
    EXPECT_EQ(Shown(), "c?t");
    EXPECT_EQ(Letters(), "a");
    EXPECT_EQ(m_dlg->GetSplitIndex(), 2);
    EXPECT_EQ(m_dlg->GetSplitEntry(), "c?t (a)");
    EXPECT_TRUE(m_dlg->IsSelChanged());
}

TEST_F(HistoryTest, ClosedNothingShortened_EntryWithoutLettersEmptiesTheLettersBox) {
    Select(0);
    EXPECT_EQ(Shown(), "dog");
    EXPECT_EQ(Letters(), "");
    EXPECT_EQ(m_dlg->GetSplitIndex(), -1);
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
}

TEST_F(HistoryTest, ClosedEntryShortened_SelectionChangeRestoresAndSplitsTheNewOne) {
    Select(2);
    Select(1);
    EXPECT_EQ(History(), (Strings{"dog", "??t?", "c?t (a)", "c?t"}));
    EXPECT_EQ(Shown(), "??t?");
    EXPECT_EQ(Letters(), "ea");
    EXPECT_EQ(m_dlg->GetSplitIndex(), 1);
    // And to an entry without letters: nothing stays shortened.
    Select(3);
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
    EXPECT_EQ(m_dlg->GetSplitIndex(), -1);
    EXPECT_EQ(Letters(), "");
}

TEST_F(HistoryTest, ListOpens_RestoresTheFullEntry) {
    Select(2);
    DropDown();
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
    EXPECT_EQ(m_dlg->GetSplitIndex(), -1);
    EXPECT_TRUE(m_dlg->IsDropped());
    EXPECT_FALSE(m_dlg->IsSelChanged());
}

TEST_F(HistoryTest, OpenList_SelectionChangesDoNotSplitWhileOpen) {
    DropDown();
    Select(2);
    EXPECT_TRUE(m_dlg->IsSelChanged());
    EXPECT_EQ(m_dlg->GetSplitIndex(), -1);
    Select(1);
    EXPECT_EQ(m_dlg->GetSplitIndex(), -1);
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
    EXPECT_EQ(Letters(), "zz");
}

TEST_F(HistoryTest, OpenUnchanged_ClosingSplitsNothing) {
    m_dlg->PatternCombo()->SetSelection(2);
    DropDown();
    CloseUp();  // Escape: drop-down and close-up only
    EXPECT_FALSE(m_dlg->IsDropped());
    EXPECT_EQ(m_dlg->GetSplitIndex(), -1);
    EXPECT_EQ(Letters(), "zz");
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
}

TEST_F(HistoryTest, OpenChanged_ClosingSplitsTheSelection) {
    DropDown();
    Select(1);
    CloseUp();
    EXPECT_FALSE(m_dlg->IsDropped());
    EXPECT_EQ(m_dlg->GetSplitIndex(), 1);
    EXPECT_EQ(Shown(), "??t?");
    EXPECT_EQ(Letters(), "ea");
}

TEST_F(HistoryTest, GtkOrder_CloseUpBeforeSelectionSplitsAtOnce) {
    // Picking from the open list on GTK: close-up first, then the selection.
    DropDown();
    CloseUp();
    Select(2);
    EXPECT_EQ(m_dlg->GetSplitIndex(), 2);
    EXPECT_EQ(Shown(), "c?t");
    EXPECT_EQ(Letters(), "a");
    // Opened again, the entry shows in full.
    DropDown();
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
}

TEST_F(HistoryTest, FindWithTheChosenEntryAddsNothing) {
    DropDown();
    CloseUp();
    Select(2);
    m_dlg->OnFind();
    EXPECT_EQ(Rows(), (Strings{"CAT"}));
    DropDown();
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
}

TEST_F(HistoryTest, FindWithChangedLettersInsertsAtTopAndKeepsTheSplitIndexRight) {
    Select(2);
    m_dlg->LettersEdit()->ChangeValue("o");
    m_dlg->OnFind();
    EXPECT_EQ(Rows(), (Strings{"COT"}));
    EXPECT_EQ(m_dlg->GetSplitIndex(), 3);
    EXPECT_EQ(History(), (Strings{"c?t (o)", "dog", "??t? (ea)", "c?t", "c?t"}));
    DropDown();
    EXPECT_EQ(History(), (Strings{"c?t (o)", "dog", "??t? (ea)", "c?t (a)", "c?t"}));
}

TEST_F(MainDlgTest, BarePatternOfAShortenedEntryIsStillAddedAsItsOwnQuery) {
    // While "c?t (a)" shows shortened as "c?t", the query "c?t" without
    // letters is new to the history and must not be lost.
    Find("c?t", "a");
    Select(0);
    ASSERT_EQ(m_dlg->GetSplitIndex(), 0);
    m_dlg->LettersEdit()->ChangeValue("");
    m_dlg->OnFind();
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    EXPECT_EQ(m_dlg->GetSplitIndex(), 1);
    DropDown();
    EXPECT_EQ(History(), (Strings{"c?t", "c?t (a)"}));
}

TEST_F(HistoryTest, RepeatingAShortenedEntryInOtherCaseAddsNothing) {
    Select(2);
    m_dlg->PatternCombo()->ChangeValue("C?T");
    m_dlg->LettersEdit()->ChangeValue("A");
    m_dlg->OnFind();
    DropDown();
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
}

TEST_F(HistoryTest, RealPopupReportsOpeningAndClosing) {
    m_dlg->Raise();
    Select(2);
    ASSERT_EQ(m_dlg->GetSplitIndex(), 2);
    m_dlg->PatternCombo()->Popup();
    ASSERT_TRUE(WaitFor([this]() { return m_dlg->IsDropped(); })) << "no drop-down notification";
    EXPECT_EQ(History(), (Strings{"dog", "??t? (ea)", "c?t (a)", "c?t"}));
    m_dlg->PatternCombo()->Dismiss();
    ASSERT_TRUE(WaitFor([this]() { return !m_dlg->IsDropped(); })) << "no close-up notification";
    EXPECT_EQ(m_dlg->GetSplitIndex(), -1);
}

TEST_F(HistoryTest, EntryPickedFromTheRealPopupWithTheMouseIsShortened) {
    // GTK's own order of events: the popup opens on a click on the button,
    // and a click on an entry closes it and selects that entry.
    m_dlg->Raise();
    Settle(50);
    wxUIActionSimulator sim;
    const wxRect combo = m_dlg->PatternCombo()->GetScreenRect();
    sim.MouseMove(combo.GetRight() - 10, combo.y + combo.height / 2);
    wxTheApp->Yield(true);
    sim.MouseClick();
    ASSERT_TRUE(WaitFor([this]() { return m_dlg->IsDropped(); })) << "the click opened no list";
    Settle(300);
    // The third row, "c?t (a)": rows are about a line of text and padding tall.
    const int row = m_dlg->PatternCombo()->GetCharHeight() + 12;
    sim.MouseMove(combo.x + 30, combo.GetBottom() + 4 + row * 2 + row / 2);
    wxTheApp->Yield(true);
    sim.MouseClick();
    ASSERT_TRUE(WaitFor([this]() { return !m_dlg->IsDropped() && m_dlg->GetSplitIndex() != -1; }))
        << "no entry with letters was picked";
    // Whichever row the click hit, that entry is shown shortened with its
    // letters in the box.
    const int chosen = m_dlg->GetSplitIndex();
    EXPECT_EQ(m_dlg->PatternCombo()->GetSelection(), chosen);
    const Strings full = {"dog", "??t? (ea)", "c?t (a)", "c?t"};
    const std::string entry = full[static_cast<size_t>(chosen)];
    EXPECT_EQ(m_dlg->GetSplitEntry(), entry);
    const size_t p = entry.find('(');
    EXPECT_EQ(Shown().utf8_string(), entry.substr(0, p - 1));
    EXPECT_EQ(Letters().utf8_string(), entry.substr(p + 1, entry.size() - p - 2));
}
