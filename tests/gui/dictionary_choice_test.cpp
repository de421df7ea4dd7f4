// The dictionary choice: the user's dictionaries listed, a choice searched
// and remembered for the next window, and the one note that meanings and
// common words are English.
#include <cstdlib>
#include <filesystem>

#include <wx/choicdlg.h>
#include <wx/choice.h>

#include "location/dictionary_dir.h"
#include "location/installed_word_lists.h"
#include "location/last_dictionary.h"
#include "location/work_dir.h"
#include "res/string_table.h"
#include "tests/gui/main_dlg_fixture.h"

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {

ExpectMessage FrenchNote() {
    return ExpectMessage(IDS_ENGLISH_DATA_ONLY, MsgIcon::Information)
        .WithText(FormatString(LoadStringText(IDS_ENGLISH_DATA_ONLY).c_str(), "french"));
}

// Picks the word list at `path` in "Add from installed word lists...".
class ExpectWordListChoice : public wxExpectModalBase<wxSingleChoiceDialog, ExpectWordListChoice> {
public:
    explicit ExpectWordListChoice(std::string path) : m_path(std::move(path)) {}

protected:
    int OnInvoked(wxSingleChoiceDialog* dlg) const override {
        const std::vector<InstalledWordList> lists = FindInstalledWordLists();
        for (size_t i = 0; i < lists.size(); ++i)
            if (lists[i].path == m_path) {
                dlg->SetSelection(static_cast<int>(i));
                return wxID_OK;
            }
        ADD_FAILURE() << m_path << " is not among the installed word lists";
        return wxID_CANCEL;
    }

private:
    std::string m_path;
};

class DictionaryChoiceTest : public MainDlgTest {
protected:
    void SetUp() override {
        // A French dictionary in the user's folder (HOME is the run's own).
        const std::string french = UserDictionaryDir() + "/french";
        fs::create_directories(french);
        {
            ScratchDir words;
            BuildDictionary(words, {"ETE", "CAFE"});
            fs::copy_file(words.File("dictionary.dat"), french + "/dictionary.dat",
                          fs::copy_options::overwrite_existing);
        }
        MainDlgTest::SetUp();
    }
    void TearDown() override {
        MainDlgTest::TearDown();
        fs::remove_all(UserDictionaryDir());
        fs::remove_all(std::string(std::getenv("XDG_CONFIG_HOME")) + "/gridwell");
    }
    Strings Items() const {
        Strings items;
        for (unsigned i = 0; i < m_dlg->DictionaryChoice()->GetCount(); ++i)
            items.push_back(m_dlg->DictionaryChoice()->GetString(i).utf8_string());
        return items;
    }
    // Types a pattern as the keyboard does, in Unicode.
    void FindTyped(const char* utf8) {
        m_dlg->PatternCombo()->ChangeValue(wxString::FromUTF8(utf8));
        m_dlg->LettersEdit()->ChangeValue(wxString());
        m_dlg->OnFind();
    }
    void Choose(int n) {
        m_dlg->DictionaryChoice()->SetSelection(n);
        wxCommandEvent event(wxEVT_CHOICE, m_dlg->DictionaryChoice()->GetId());
        event.SetInt(n);
        event.SetEventObject(m_dlg->DictionaryChoice());
        m_dlg->DictionaryChoice()->GetEventHandler()->ProcessEvent(event);
    }
};

TEST_F(DictionaryChoiceTest, AChosenDictionaryIsSearchedAndRemembered) {
    // The folder the window started on, the user's French one, and the way
    // to add more.
    const Strings items = Items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1], "french");
    EXPECT_EQ(items[2], LoadStringText(IDS_ADD_WORD_LIST));
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    wxTEST_DIALOG(Choose(1), FrenchNote());
    FindTyped("\xC3\xA9t\xC3\xA9");  // été
    EXPECT_EQ(Rows(), (Strings{"ETE"}));
    EXPECT_EQ(LoadLastDictionary(), "french");
    // Back and forth: the note is said once.
    Choose(0);
    Find("c?t");
    EXPECT_EQ(Rows(), (Strings{"CAT", "COT", "CUT"}));
    Choose(1);
    FindTyped("caf\xC3\xA9");
    EXPECT_EQ(Rows(), (Strings{"CAFE"}));
}

TEST_F(DictionaryChoiceTest, TheNextWindowOpensTheRememberedDictionary) {
    ASSERT_TRUE(SaveLastDictionary("french"));
    m_dlg->Destroy();
    wxTEST_DIALOG(
        {
            m_dlg = new CMainDlg();
            m_dlg->Show();
            Settle(30);
        },
        FrenchNote());
    EXPECT_EQ(m_dlg->DictionaryChoice()->GetStringSelection().utf8_string(), "french");
    Find("e?e");
    EXPECT_EQ(Rows(), (Strings{"ETE"}));
}

TEST_F(DictionaryChoiceTest, AnInstalledListIsImportedFoldedAndChosen) {
    if (!fs::exists("/usr/share/dict/french"))
        GTEST_SKIP() << "/usr/share/dict/french is not installed (package wfrench; tools/install-deps installs it)";
    wxTEST_DIALOG(Choose(2), ExpectWordListChoice("/usr/share/dict/french"),
                  ExpectMessage(IDS_LOAD_DONE, MsgIcon::Information), FrenchNote());
    EXPECT_EQ(m_dlg->DictionaryChoice()->GetStringSelection().utf8_string(), "french");
    EXPECT_EQ(LoadLastDictionary(), "french");
    FindTyped("d\xC3\xA9j\xC3\xA0");  // déjà
    EXPECT_EQ(Rows(), (Strings{"DEJA"}));
}

}  // namespace
