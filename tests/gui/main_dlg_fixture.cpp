#include "tests/gui/main_dlg_fixture.h"

#include <wx/app.h>

#include "platform/data_dir.h"
#include "search/common_first.h"

std::vector<std::string> MainDlgTest::DefaultWords() {
    std::vector<std::string> words = {"AT",      "IT",       "CAT",       "COT",      "CUT",    "ACT",
                                      "TAC",     "DOG",      "SHARE",     "SHAKE",    "SCARE",  "STONE",
                                      "CRATE",   "TRACE",    "REACT",     "CATER",    "DATE",   "GATE",
                                      "MATE",    "CATERING", "CROSSWORD", "WORDS",    "ABCDEFG"};
    // 150 four-letter words "QA..": QAAA, QAAB, ...
    for (int i = 0; i < 150; ++i) {
        std::string w = "Q";
        w += static_cast<char>('A' + i / 26 / 26 % 26);
        w += static_cast<char>('A' + i / 26 % 26);
        w += static_cast<char>('A' + i % 26);
        words.push_back(w);
    }
    return words;
}

void MainDlgTest::SetUp() {
    m_dir = std::make_unique<ScratchDir>();
    BuildDictionary(*m_dir, DefaultWords());
    m_dlg = new CMainDlg();
    m_dlg->Show();
    Settle(30);
}

void MainDlgTest::TearDown() {
    if (m_dlg)
        m_dlg->Destroy();
    wxTheApp->Yield(true);
    m_dlg = nullptr;
    m_dir.reset();
}

void MainDlgTest::Find(const std::string& pattern, const std::string& letters, bool anagram) {
    m_dlg->PatternCombo()->ChangeValue(pattern);
    m_dlg->LettersEdit()->ChangeValue(letters);
    (anagram ? m_dlg->AnagramRadio() : m_dlg->MatchingRadio())->SetValue(true);
    m_dlg->OnFind();
}

std::vector<std::string> MainDlgTest::Rows() const {
    std::vector<std::string> rows;
    for (size_t i = 0; i < m_dlg->Solutions()->GetCount(); ++i)
        rows.push_back(m_dlg->Solutions()->GetRow(i));
    return rows;
}

std::vector<std::string> MainDlgTest::History() const {
    std::vector<std::string> items;
    for (unsigned int i = 0; i < m_dlg->PatternCombo()->GetCount(); ++i)
        items.push_back(m_dlg->PatternCombo()->GetString(i).utf8_string());
    return items;
}

namespace {
void Send(wxComboBox* combo, wxEventType type) {
    wxCommandEvent event(type, combo->GetId());
    event.SetEventObject(combo);
    event.SetInt(combo->GetSelection());
    combo->GetEventHandler()->ProcessEvent(event);
}
}  // namespace

void MainDlgTest::DropDown() { Send(m_dlg->PatternCombo(), wxEVT_COMBOBOX_DROPDOWN); }
void MainDlgTest::CloseUp() { Send(m_dlg->PatternCombo(), wxEVT_COMBOBOX_CLOSEUP); }

void MainDlgTest::Select(int n) {
    // SetSelection itself sends nothing; the notification follows it.
    m_dlg->PatternCombo()->SetSelection(n);
    Send(m_dlg->PatternCombo(), wxEVT_COMBOBOX);
}

void MainDlgWithDataTest::SetUp() {
    m_data = std::make_unique<ScratchDir>();
    MainDlgTest::SetUp();
    SetDataDirForTesting(m_data->Path());
    ResetCommonOrderNoticeForTesting();
}

void MainDlgWithDataTest::TearDown() {
    SetDataDirForTesting("");
    ResetCommonOrderNoticeForTesting();
    MainDlgTest::TearDown();
    m_data.reset();
}
