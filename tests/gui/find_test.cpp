// The Find command: each outcome and message, the list, the limit, the
// anagram entry, and the list's width that only grows.
#include <wx/app.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "res/string_table.h"
#include "tests/gui/main_dlg_fixture.h"

using Strings = std::vector<std::string>;

TEST_F(MainDlgTest, FindListsMatchesInDictionaryOrderAndRecordsTheQuery) {
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    EXPECT_EQ(History(), (Strings{"c?t"}));
    Find("??t?", "ea");
    EXPECT_EQ(Rows(), (Strings{"DATE", "GATE", "MATE"}));
    EXPECT_EQ(History(), (Strings{"??t? (ea)", "c?t"}));
}

TEST_F(MainDlgTest, EmptyPatternShowsMessage102AndChangesNothing) {
    Find("c?t");
    wxTEST_DIALOG(Find("", "a"), ExpectMessage(IDS_NO_PATTERN, MsgIcon::Exclamation));
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    EXPECT_EQ(History(), (Strings{"c?t"}));
}

TEST_F(MainDlgTest, RefusedQueriesLeaveListAndHistoryAlone) {
    Find("c?t");
    // Blanks are not an empty pattern: the query refuses them.
    wxTEST_DIALOG(Find("   "), ExpectMessage(IDS_BAD_PATTERN, MsgIcon::Exclamation));
    wxTEST_DIALOG(Find("c?t", "1"), ExpectMessage(IDS_BAD_REMAINDER, MsgIcon::Exclamation));
    wxTEST_DIALOG(Find("c?t", "ab"), ExpectMessage(IDS_REMAINDER_TOO_LONG, MsgIcon::Exclamation));
    wxTEST_DIALOG(Find("12"), ExpectMessage(IDS_PATTERN_TOO_LONG, MsgIcon::Information));
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    EXPECT_EQ(History(), (Strings{"c?t"}));
}

TEST_F(MainDlgTest, MissingOrEmptyDictionaryShowsWhereItWasLookedFor) {
    Find("c?t");
    std::remove(m_dir->File("dictionary.dat").c_str());
    wxTEST_DIALOG(Find("d?g"), ExpectMessage(IDS_CANNOT_OPEN_DICT, MsgIcon::Stop));
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    EXPECT_EQ(History(), (Strings{"c?t"}));
    // An empty file gets the same help after its own message.
    m_dir->Write("dictionary.dat", "");
    wxTEST_DIALOG(Find("d?g"), ExpectMessage(IDS_NO_LONGEST_LENGTH, MsgIcon::Stop));
    EXPECT_EQ(History(), (Strings{"c?t"}));
}

TEST_F(MainDlgTest, DamagedBlockShowsItsMessageAndNoNoMatchRow) {
    // The 3-letter block's first code becomes a prefix code, which no first
    // word can have.
    std::string bytes = m_dir->Read("dictionary.dat");
    const int longest = static_cast<unsigned char>(bytes.back());
    const size_t at = bytes.size() - 1 - 6 * static_cast<size_t>(longest - 1) + 6 * (3 - 2) + 3;
    const size_t start = (static_cast<size_t>(static_cast<unsigned char>(bytes[at])) << 16) |
                         (static_cast<size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8) |
                         static_cast<unsigned char>(bytes[at + 2]);
    bytes[start] = static_cast<char>(0xF8);
    m_dir->Write("dictionary.dat", bytes);
    wxTEST_DIALOG(Find("c?t"), ExpectMessage(IDS_INVALID_CHARACTER, MsgIcon::Stop));
    EXPECT_EQ(Rows(), Strings{});
    EXPECT_EQ(m_dlg->CountLine()->GetLabel(), wxString());
}

TEST_F(MainDlgTest, NoMatchShowsOneMessageRowAndStillRecordsTheQuery) {
    Find("x?x");
    EXPECT_EQ(Rows(), (Strings{LoadStringText(IDS_NO_MATCHES)}));
    EXPECT_EQ(History(), (Strings{"x?x"}));
    // The message row is not a word: Ctrl+C copies nothing.
    m_dlg->Solutions()->SelectAll();
    EXPECT_FALSE(m_dlg->CopySelectedSolutions());
}

TEST_F(MainDlgTest, LimitStopsAtExactly100WordsAndTheCountLineSaysOfHowMany) {
    const auto count = [this]() { return m_dlg->CountLine()->GetLabel().utf8_string(); };
    m_dlg->LimitCheck()->SetValue(true);
    Find("q3");
    EXPECT_EQ(Rows().size(), 100u);
    EXPECT_EQ(Rows().front(), "QAAA");
    EXPECT_EQ(count(), "100 of 150 words");
    m_dlg->LimitCheck()->SetValue(false);
    Find("q3");
    EXPECT_EQ(Rows().size(), 150u);
    EXPECT_EQ(count(), "150 words");
    Find("d?g");
    EXPECT_EQ(count(), "1 word");
    // No word: the list's own row says so, the count line nothing.
    Find("x?x");
    EXPECT_EQ(count(), "");
    // A refused query leaves the last Find's list and count alone.
    Find("c?t");
    wxTEST_DIALOG(Find("c?t", "ab"), ExpectMessage(IDS_REMAINDER_TOO_LONG, MsgIcon::Exclamation));
    EXPECT_EQ(count(), "3 words");
}

TEST_F(MainDlgTest, StartsWithMatchingWordAndLimitChecked) {
    EXPECT_TRUE(m_dlg->MatchingRadio()->GetValue());
    EXPECT_FALSE(m_dlg->AnagramRadio()->GetValue());
    EXPECT_TRUE(m_dlg->LimitCheck()->GetValue());
    EXPECT_EQ(m_dlg->PatternCombo()->GetCount(), 0u);
}

TEST_F(MainDlgTest, AnagramEntryRecallsTheSameWordsAsAMatchingSearch) {
    Find("tac", "", true);
    const Strings anagrams = Rows();
    EXPECT_EQ(anagrams, (Strings{"ACT", "CAT", "TAC"}));
    Find("t2", "", true);
    EXPECT_EQ(History(), (Strings{"3 (T?\?)", "3 (TAC)"}));

    // Choosing "3 (TAC)" with Matching word selected finds the same words.
    m_dlg->MatchingRadio()->SetValue(true);
    Select(1);
    EXPECT_EQ(m_dlg->PatternCombo()->GetValue(), "3");
    EXPECT_EQ(m_dlg->LettersEdit()->GetValue(), "TAC");
    m_dlg->OnFind();
    EXPECT_EQ(Rows(), anagrams);
}

TEST_F(MainDlgTest, PatternGrammarInTheWindow) {
    Find("c@t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    Find("#@#", "a");
    EXPECT_EQ(Rows(), (Strings{"CAT", "TAC"}));
    // '*': every length, shortest first, counted as any pattern.
    Find("*ate");
    EXPECT_EQ(Rows(), (Strings{"DATE", "GATE", "MATE", "CRATE"}));
    EXPECT_EQ(m_dlg->CountLine()->GetLabel().utf8_string(), "4 words");
    // An anagram with a set is recalled as remaining letters that find the same.
    Find("[rt]ca", "", true);
    const Strings anagrams = Rows();
    EXPECT_EQ(anagrams, (Strings{"ACT", "CAT", "TAC"}));
    const Strings history = {"3 ([RT]CA)", "*ate", "#@# (a)", "c@t"};
    EXPECT_EQ(History(), history);
    m_dlg->MatchingRadio()->SetValue(true);
    Select(0);
    EXPECT_EQ(m_dlg->LettersEdit()->GetValue(), "[RT]CA");
    m_dlg->OnFind();
    EXPECT_EQ(Rows(), anagrams);

    // A malformed pattern says what and where, and changes nothing.
    wxTEST_DIALOG(Find("c[ab"), ExpectMessage(IDS_SET_NOT_CLOSED, MsgIcon::Exclamation)
                                    .WithText("The letter set that starts at character 2 of the pattern has no "
                                              "closing ]."));
    wxTEST_DIALOG(Find("c*t", "", true),
                  ExpectMessage(IDS_ANAGRAM_STAR, MsgIcon::Exclamation)
                      .WithText("An anagram has a fixed number of letters, so the * at character 2 of the pattern "
                                "cannot be used in one.  Use ? for each free letter."));
    EXPECT_EQ(Rows(), anagrams);
    // The chosen entry still shows as its bare pattern.
    EXPECT_EQ(History(), (Strings{"3", "*ate", "#@# (a)", "c@t"}));
}

TEST_F(MainDlgTest, HistoryLookupIgnoresCase) {
    Find("cat");
    Find("CAT");
    Find("Cat");
    EXPECT_EQ(History(), (Strings{"cat"}));
}

TEST_F(MainDlgTest, ColumnWidthOnlyGrows) {
    const int initial = m_dlg->Solutions()->GetColumnWidth();
    // As wide as the rows' room beside the vertical scroll bar: no wider, so
    // that short words bring no horizontal scroll bar.
    const int client = m_dlg->Solutions()->GetClientSize().x;
    EXPECT_LT(initial, client);
    EXPECT_GE(initial, client - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, m_dlg->Solutions()) -
                           2 * m_dlg->Solutions()->GetWindowBorderSize().x);
    m_dlg->LimitCheck()->SetValue(false);
    // Many long words push the column past the list's width...
    Find("9");
    const int wide = m_dlg->Solutions()->GetExtent();
    EXPECT_GE(wide, m_dlg->Solutions()->MeasureText("CROSSWORD"));
    // ...and a search with short words, or none, keeps it.
    Find("2");
    EXPECT_EQ(m_dlg->Solutions()->GetExtent(), wide);
    Find("x?x");
    EXPECT_EQ(m_dlg->Solutions()->GetExtent(), wide);
    EXPECT_GE(m_dlg->Solutions()->GetColumnWidth(), initial);
}

TEST_F(MainDlgTest, LongWordsGetAColumnWiderThanTheList) {
    std::vector<std::string> words = {std::string(60, 'W'), "AB"};
    BuildDictionary(*m_dir, words);
    Find("60");
    ASSERT_EQ(Rows(), (Strings{words[0]}));
    EXPECT_GT(m_dlg->Solutions()->GetColumnWidth(), m_dlg->Solutions()->GetClientSize().x);
    EXPECT_GE(m_dlg->Solutions()->GetColumnWidth(), m_dlg->Solutions()->MeasureText(words[0]));
    // GTK lays the column out at that width.
    EXPECT_TRUE(WaitFor([this]() {
        return m_dlg->Solutions()->GetShownColumnWidth() == m_dlg->Solutions()->GetColumnWidth();
    }));
}

TEST_F(MainDlgTest, QueryTextIsReadUpTo254Characters) {
    // 255 letters: the 255th is cut off, so the 254-letter word is found.
    const std::string longest(254, 'A');
    BuildDictionary(*m_dir, {longest, std::string(255, 'A'), "AB"});
    Find(std::string(255, 'a'));
    EXPECT_EQ(Rows(), (Strings{longest}));
    EXPECT_EQ(History(), (Strings{std::string(254, 'a')}));
}

TEST_F(MainDlgTest, TextsAreCutAndCountedByCharactersNotBytes) {
    const wxString e(wxUniChar(0xe9));
    // One wild position and one typed character: not a letter, not too many
    // (a Greek alpha: an accented Latin letter folds to a plain one).
    m_dlg->PatternCombo()->ChangeValue("c?t");
    m_dlg->LettersEdit()->ChangeValue(wxString(wxUniChar(0x3b1)));
    wxTEST_DIALOG(m_dlg->OnFind(), ExpectMessage(IDS_BAD_REMAINDER, MsgIcon::Exclamation));
    // No wild position: the letters play no part, and the history entry
    // keeps them whole (128 characters, 255 bytes), or cut at 254 characters.
    const auto findCat = [this](const wxString& letters) {
        m_dlg->PatternCombo()->ChangeValue("cat");
        m_dlg->LettersEdit()->ChangeValue(letters);
        m_dlg->OnFind();
        return m_dlg->PatternCombo()->GetString(0);
    };
    EXPECT_EQ(findCat("x" + wxString(wxUniChar(0xe9), 127)), "cat (x" + wxString(wxUniChar(0xe9), 127) + ")");
    EXPECT_EQ(findCat(wxString(wxUniChar(0xe9), 300)), "cat (" + wxString(wxUniChar(0xe9), 254) + ")");
    EXPECT_EQ(Rows(), (Strings{"CAT"}));
}

TEST_F(MainDlgTest, EnterRunsFindAndEscapeClosesTheDialog) {
    m_dlg->Raise();
    m_dlg->PatternCombo()->SetFocus();
    ASSERT_TRUE(WaitFor([this]() { return m_dlg->PatternCombo()->HasFocus() || wxWindow::FindFocus(); }));
    wxUIActionSimulator sim;
    sim.Text("d?g");
    ASSERT_TRUE(WaitFor([this]() { return m_dlg->PatternCombo()->GetValue() == "d?g"; }));
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(WaitFor([this]() { return Rows() == Strings{"DOG"}; })) << "Enter did not run Find";

    bool destroyed = false;
    m_dlg->Bind(wxEVT_DESTROY, [&destroyed, this](wxWindowDestroyEvent& e) {
        if (e.GetEventObject() == m_dlg)
            destroyed = true;
        e.Skip();
    });
    sim.Char(WXK_ESCAPE);
    ASSERT_TRUE(WaitFor([&destroyed]() { return destroyed; })) << "Escape did not close the dialog";
    m_dlg = nullptr;
}
