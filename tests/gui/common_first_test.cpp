// "Common words first" in the window: the check box, the order and choice
// of the listed words, and Find without a commonness table.
#include <wx/app.h>
#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "app/accessibility.h"
#include "res/string_table.h"
#include "search/common_first.h"
#include "search/commonness_table.h"
#include "tests/gui/main_dlg_fixture.h"

using Strings = std::vector<std::string>;

namespace {

using CommonFirst = MainDlgWithDataTest;

}  // namespace

TEST_F(CommonFirst, CheckBoxStartsOffAndAltCReachesIt) {
    wxCheckBox* common = m_dlg->CommonCheck();
    ASSERT_NE(common, nullptr);
    EXPECT_FALSE(common->GetValue());
    EXPECT_EQ(common->GetLabel(), "&Common words first");
    EXPECT_EQ(common->GetId(), 1012);
    // Screen readers get the label's text, as for the limit check box.
    EXPECT_EQ(AccessibleName(static_cast<GtkWidget*>(common->GetHandle())), "Common words first");
    EXPECT_EQ(AccessibleName(static_cast<GtkWidget*>(m_dlg->LimitCheck()->GetHandle())), "Limit to 100 words");
    // Below the remaining letters, in the bottom row; in the tab order after
    // the list, so that Tab from the remaining letters still reaches it.
    EXPECT_GT(common->GetPosition().y, m_dlg->LettersEdit()->GetRect().GetBottom());
    const wxWindowList& children = m_dlg->GetChildren();
    EXPECT_GT(children.IndexOf(common), children.IndexOf(m_dlg->Solutions()));
    EXPECT_LT(children.IndexOf(common), children.IndexOf(m_dlg->FindButton()));

    m_dlg->Raise();
    m_dlg->PatternCombo()->SetFocus();
    Settle(50);
    wxUIActionSimulator sim;
    sim.Char('c', wxMOD_ALT);
    EXPECT_TRUE(WaitFor([common]() { return common->GetValue(); }, 3000)) << "Alt+C did not reach the check box";
}

TEST_F(CommonFirst, ListsTheMostCommonFirstAndWithTheLimitTheHundredMostCommon) {
    m_data->Write(kCommonnessTableName,
                  BuildCommonnessTable({{"QAFT", 10}, {"QAEZ", 20}, {"QAAB", 20}, {"QAAA", 80}, {"CUT", 10},
                                        {"CAT", 20}, {"COT", 35}}));
    m_dlg->CommonCheck()->SetValue(true);
    m_dlg->LimitCheck()->SetValue(false);
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CUT", "CAT", "COT"}));
    // QAFT is the 150 words' last but the most common: with the limit it
    // leads the 100, and the words the table lacks fill the rest in
    // dictionary order.
    m_dlg->LimitCheck()->SetValue(true);
    Find("q3");
    const Strings rows = Rows();
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(Strings(rows.begin(), rows.begin() + 6), (Strings{"QAFT", "QAAB", "QAEZ", "QAAA", "QAAC", "QAAD"}));
    EXPECT_EQ(m_dlg->CountLine()->GetLabel(), "100 of 150 words") << "the count still counts every match";
    EXPECT_EQ(History(), (Strings{"q3", "c?t"})) << "the history is as without the option";
    // Off again: dictionary order.
    m_dlg->CommonCheck()->SetValue(false);
    Find("q3");
    EXPECT_EQ(Rows().front(), "QAAA");
    EXPECT_EQ(Rows().size(), 100u);
}

TEST_F(CommonFirst, WithoutATableFindSaysOnceWhyTheOrderIsPlain) {
    m_dlg->CommonCheck()->SetValue(true);
    m_dlg->LimitCheck()->SetValue(true);
    wxTEST_DIALOG(Find("q3"), ExpectMessage(IDS_COMMON_ORDER_UNAVAILABLE, MsgIcon::Information));
    EXPECT_EQ(Rows().size(), 100u);
    EXPECT_EQ(Rows().front(), "QAAA");
    // Said once: the next Find just lists (an unexpected box would fail here).
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
}
