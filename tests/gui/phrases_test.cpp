// Phrases in the window: a pattern with word breaks, and the Phrases and
// Abbreviations check boxes (off at start) that add them to any Find.
#include <wx/checkbox.h>
#include <wx/stattext.h>

#include "phrases/phrase_file.h"
#include "tests/gui/main_dlg_fixture.h"

using Strings = std::vector<std::string>;

namespace {

class Phrases : public MainDlgWithDataTest {
protected:
    void SetUp() override {
        MainDlgWithDataTest::SetUp();
        std::vector<PhraseEntry> phrases(2);
        ParsePhraseText("hot dog", phrases[0]);
        ParsePhraseText("cat-and-dog", phrases[1]);
        m_data->Write(kPhraseFileName, BuildPhraseFile(phrases));
        PhraseEntry abbreviation;
        ParsePhraseText("CST", abbreviation, 1);
        abbreviation.rank = RankOfLevel(35);
        m_data->Write(kAbbreviationFileName, BuildPhraseFile({abbreviation}));
    }
    std::string Count() const { return m_dlg->CountLine()->GetLabel().utf8_string(); }
};

}  // namespace

TEST_F(Phrases, APatternWithBreaksListsPhrasesAndKeepsItAsTyped) {
    Find("3 3");
    // The entry (DOG is no word of HOT's list: HOT is none) then the
    // dictionary's words two by two, CAT first.
    const Strings rows = Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), "HOT DOG");
    EXPECT_NE(std::find(rows.begin(), rows.end(), "CAT DOG"), rows.end());
    EXPECT_EQ(History(), (Strings{"3 3"}));
    EXPECT_NE(Count().find("phrase"), std::string::npos) << Count();
    Find("3-3-3");
    EXPECT_EQ(Rows().front(), "CAT-AND-DOG");
}

TEST_F(Phrases, CheckBoxesStartOffAndAddPhrasesAfterTheWords) {
    EXPECT_FALSE(m_dlg->PhrasesCheck()->GetValue());
    EXPECT_FALSE(m_dlg->AbbreviationsCheck()->GetValue());
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    m_dlg->AbbreviationsCheck()->SetValue(true);
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT", "CST"}));
    m_dlg->PhrasesCheck()->SetValue(true);
    Find("h?t?o?");
    EXPECT_EQ(Rows().front(), "HOT DOG");
    EXPECT_EQ(Count().substr(0, 1), "1") << Count();
}
