// A main dialog on screen over a small dictionary of our own, for one test.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "app/main_dlg.h"
#include "app/solutions_list.h"
#include "tests/gui/gui_test_support.h"
#include "tests/test_support.h"

class MainDlgTest : public ::testing::Test {
protected:
    // CAT COT CUT ... : a few words of every length from 2 to 9, plus 150
    // four-letter words so that the limit matters.
    static std::vector<std::string> DefaultWords();

    void SetUp() override;
    void TearDown() override;

    // Types a query into the controls and presses Find.
    void Find(const std::string& pattern, const std::string& letters = "", bool anagram = false);
    std::vector<std::string> Rows() const;
    std::vector<std::string> History() const;

    // The combo box's notifications, in GTK's order of events.
    void DropDown();
    void CloseUp();
    // The user picks item n: GTK reports the selection after setting it.
    void Select(int n);

    std::unique_ptr<ScratchDir> m_dir;
    CMainDlg* m_dlg = nullptr;
};

// The same with a data folder of its own (for the commonness table and the
// phrase files), made before the dictionary's folder, which is then the
// working directory; the common-order notice is reset around each test.
class MainDlgWithDataTest : public MainDlgTest {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<ScratchDir> m_data;
};
