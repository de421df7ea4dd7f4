// A clue and the Meaning window in the real window, over a hand-made
// WordNet database named by WNSEARCHDIR.
#include <cstdlib>
#include <sys/stat.h>

#include <wx/app.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "app/meaning_wnd.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"
#include "tests/gui/main_dlg_fixture.h"
#include "tests/wordnet/wordnet_test_db.h"

namespace {

using Strings = std::vector<std::string>;

// The sample database in a folder of the test's scratch directory (a second
// ScratchDir would become the working directory).
std::string WriteSampleWordNet(const ScratchDir& dir) {
    const std::string path = dir.File("wordnet");
    ::mkdir(path.c_str(), 0700);
    SampleWordNet().WriteTo(path);
    return path;
}

class WordNetDirScope {
public:
    explicit WordNetDirScope(const std::string& dir) { ::setenv("WNSEARCHDIR", dir.c_str(), 1); }
    ~WordNetDirScope() { ::unsetenv("WNSEARCHDIR"); }
};

}  // namespace

TEST_F(MainDlgTest, AClueRanksEveryFittingWordWithItsReasonAndNeedsWordNet) {
    const std::string wordnet = WriteSampleWordNet(*m_dir);
    WordNetDirScope scope(wordnet + "/absent");
    // The box sits under the remaining letters, in the dialog's grown bottom,
    // its label "Cl&ue:" just before it; the note line under the count.
    EXPECT_EQ(m_dlg->ClueEdit()->GetId(), tmpl::main_dlg::IDC_CLUE);
    EXPECT_GT(m_dlg->ClueEdit()->GetPosition().y, m_dlg->LettersEdit()->GetRect().GetBottom());
    EXPECT_GT(m_dlg->CountLine()->GetPosition().y, m_dlg->ClueEdit()->GetPosition().y);
    EXPECT_GT(m_dlg->ClueNote()->GetPosition().y, m_dlg->CountLine()->GetRect().GetBottom());
    wxWindow* label = m_dlg->ClueEdit()->GetPrevSibling();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetLabel(), "Cl&ue:");

    Find("c?t");
    EXPECT_FALSE(m_dlg->Solutions()->ShowsReasons());
    // Without WordNet: one message, list, count and history as they were.
    m_dlg->ClueEdit()->ChangeValue("feline");
    wxTEST_DIALOG(Find("s3e"), ExpectMessage(IDS_WORDNET_MISSING, MsgIcon::Exclamation));
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    EXPECT_EQ(History(), (Strings{"c?t"}));

    // Every fitting word is listed, the answer first with its reason beside
    // it; the count line is a Find's as ever; copying takes the words alone.
    ::setenv("WNSEARCHDIR", wordnet.c_str(), 1);
    m_dlg->ClueEdit()->ChangeValue("\"Feline?\" selfie");
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    EXPECT_TRUE(m_dlg->Solutions()->ShowsReasons());
    EXPECT_EQ(m_dlg->Solutions()->GetReason(0), "a kind of feline");
    EXPECT_EQ(m_dlg->Solutions()->GetReason(1), "");
    EXPECT_EQ(m_dlg->CountLine()->GetLabel().utf8_string(), "3 words");
    EXPECT_EQ(m_dlg->ClueNote()->GetLabel().utf8_string(), "No meaning known for SELFIE");
    m_dlg->Solutions()->SelectOnly(0);
    EXPECT_EQ(m_dlg->Solutions()->GetSelectedRows(), Strings{"CAT"});
    m_dlg->ClueEdit()->ChangeValue("rock");
    Find("s3e");
    EXPECT_EQ(Rows(), (Strings{"SHAKE", "STONE", "SCARE", "SHARE"}));
    EXPECT_EQ(m_dlg->ClueNote()->GetLabel().utf8_string(), "");
    // The clue box is not part of a history entry.
    EXPECT_EQ(History(), (Strings{"s3e", "c?t"}));
    Find("x?x");
    EXPECT_EQ(Rows(), (Strings{LoadStringText(IDS_NO_MATCHES)}));
    // Punctuation alone says so; blanks are no clue.
    m_dlg->ClueEdit()->ChangeValue("?!");
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    EXPECT_EQ(m_dlg->ClueNote()->GetLabel().utf8_string(), LoadStringText(IDS_CLUE_WITHOUT_WORDS));
    m_dlg->ClueEdit()->ChangeValue("  ");
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    EXPECT_FALSE(m_dlg->Solutions()->ShowsReasons());
    EXPECT_EQ(m_dlg->ClueNote()->GetLabel().utf8_string(), "");
}

TEST_F(MainDlgTest, TheMeaningWindowShowsTheSenseTheClueMatchedFirst) {
    WordNetDirScope scope(WriteSampleWordNet(*m_dir));
    m_dlg->ClueEdit()->ChangeValue("hombre");
    Find("c?t");
    ASSERT_EQ(Rows().front(), "CAT");
    m_dlg->Solutions()->SelectOnly(0);
    m_dlg->ShowMeaning();
    ASSERT_NE(m_dlg->MeaningWindow(), nullptr);
    EXPECT_EQ(m_dlg->MeaningWindow()->TextBox()->GetValue().utf8_string().find(
                  "Overview of noun cat\n\nThe noun cat has 3 senses (first 1 from tagged texts)\n\n"
                  "2. guy, cat, hombre -- (an informal term for a youth or man)\n1. (18) cat, true cat"),
              0u);
    // Without a clue, WordNet's order.
    m_dlg->ClueEdit()->ChangeValue("");
    Find("c?t");
    m_dlg->Solutions()->SelectOnly(0);
    m_dlg->ShowMeaning();
    EXPECT_NE(m_dlg->MeaningWindow()->TextBox()->GetValue().utf8_string().find("\n\n1. (18) cat, true cat"),
              std::string::npos);
}

TEST_F(MainDlgTest, MeaningWindowShowsTheSolutionFollowsTheSelectionAndEscapeHidesIt) {
    WordNetDirScope scope(WriteSampleWordNet(*m_dir));
    Find("x?x");
    m_dlg->ShowMeaning();  // the no-match row has no meaning to show
    EXPECT_EQ(m_dlg->MeaningWindow(), nullptr);

    Find("c?t");
    m_dlg->Solutions()->SetFocus();
    m_dlg->Solutions()->SelectOnly(0);
    Settle(50);
    // Enter on the row: GTK's row activation, the same as a double click.
    wxUIActionSimulator sim;
    sim.Char(WXK_RETURN);
    Settle(200);
    CMeaningWnd* wnd = m_dlg->MeaningWindow();
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(wnd->IsShown());
    EXPECT_EQ(wnd->GetTitle(), "Meaning of CAT");
    // Beside the main dialog: it hides none of the solutions.
    EXPECT_FALSE(wnd->GetScreenRect().Intersects(m_dlg->Solutions()->GetScreenRect()));
    EXPECT_EQ(wnd->TextBox()->GetValue().utf8_string().find("Overview of noun cat\n\nThe noun cat has 3 senses"), 0u);
    // The solutions keep the focus; Down moves to COT, which WordNet lacks.
    m_dlg->Solutions()->SetFocus();
    Settle(50);
    sim.Char(WXK_DOWN);
    Settle(200);
    EXPECT_EQ(wnd->Word(), "COT");
    EXPECT_EQ(wnd->GetTitle(), "Meaning of COT");
    EXPECT_EQ(wnd->TextBox()->GetValue().utf8_string(), "No meaning found for COT.");

    wnd->Raise();
    wnd->TextBox()->SetFocus();
    Settle(100);
    sim.Char(WXK_ESCAPE);
    Settle(200);
    EXPECT_FALSE(wnd->IsShown());
    EXPECT_TRUE(m_dlg->IsShown());  // Escape in the Meaning window leaves the main dialog open
    // Reused: the next request brings back the same window.
    m_dlg->Solutions()->SelectOnly(0);
    m_dlg->ShowMeaning();
    EXPECT_EQ(m_dlg->MeaningWindow(), wnd);
    EXPECT_TRUE(wnd->IsShown());
}

TEST_F(MainDlgTest, EscapeInTheMainDialogClosesTheMeaningWindowFirst) {
    WordNetDirScope scope(WriteSampleWordNet(*m_dir));
    Find("c?t");
    m_dlg->Solutions()->SetFocus();
    m_dlg->Solutions()->SelectOnly(0);
    m_dlg->ShowMeaning();
    CMeaningWnd* wnd = m_dlg->MeaningWindow();
    ASSERT_NE(wnd, nullptr);
    Settle(100);
    int closes = 0;
    m_dlg->Bind(wxEVT_CLOSE_WINDOW, [&closes](wxCloseEvent& event) {
        ++closes;
        event.Veto();  // the test's dialog stays; the count says Exit was asked for
    });
    wxUIActionSimulator sim;
    // The focus in the solutions, then in the pattern box: Escape closes the
    // Meaning window only.
    for (wxWindow* focus : {static_cast<wxWindow*>(m_dlg->Solutions()), static_cast<wxWindow*>(m_dlg->PatternCombo())}) {
        m_dlg->ShowMeaning();
        ASSERT_TRUE(wnd->IsShown());
        focus->SetFocus();
        Settle(100);
        sim.Char(WXK_ESCAPE);
        EXPECT_TRUE(WaitFor([wnd]() { return !wnd->IsShown(); }, 2000));
        EXPECT_EQ(closes, 0);
        m_dlg->Solutions()->SelectOnly(0);
    }
    // With it closed, Escape is Exit again.
    sim.Char(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([&closes]() { return closes == 1; }, 2000));
}
