#include "tests/gui/gui_test_support.h"

#include <chrono>
#include <thread>

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "app/progress_wnd.h"
#include "location/work_dir.h"
#include "res/string_table.h"

int GuiTestHook::Enter(wxDialog* dlg) {
    if (dynamic_cast<CProgressWnd*>(dlg))
        return wxID_NONE;  // shown for real: the job's worker runs behind it
    return wxTestingModalHook::Enter(dlg);
}

void GuiTestHook::ReportFailure(const wxString& msg) { ADD_FAILURE() << msg.utf8_string(); }

ExpectMessage::ExpectMessage(UINT nID, MsgIcon icon, MsgButtons buttons, int answer)
    : m_nID(nID), m_icon(icon), m_buttons(buttons), m_answer(answer) {}

namespace {
// The words of a text, without its line breaks: a message box may wrap the
// string-table text into lines.
std::string Words(const std::string& text) {
    std::string words;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n';
        if (!blank)
            words += c;
        else if (!words.empty() && words.back() != ' ')
            words += ' ';
    }
    return words;
}
}  // namespace

int ExpectMessage::OnInvoked(wxGenericMessageDialog* dlg) const {
    EXPECT_FALSE(dlg->GetMessage().empty()) << "message " << m_nID << " shows no text";
    const std::string shown = Words(dlg->GetMessage().utf8_string());
    const std::string entry = Words(m_text.empty() ? LoadStringText(m_nID) : m_text);
    if (m_nID == IDS_CANNOT_OPEN_DICT || m_nID == IDS_NO_LONGEST_LENGTH) {
        // No dictionary to read: the entry, then where the program looked and
        // how to make one.
        EXPECT_EQ(shown.rfind(entry, 0), 0u) << "message " << m_nID << ": " << shown;
        EXPECT_NE(shown.find(" " + WorkDirPath("dictionary.dat") + " "), std::string::npos) << shown;
        EXPECT_NE(shown.find("\"Load Dictionary from file...\" in the program menu"), std::string::npos) << shown;
    } else {
        EXPECT_EQ(shown, entry) << "message " << m_nID;
    }
    // No line wider than the box allows: the dialog fits on the screen.
    EXPECT_LE(dlg->GetSize().x, wxGetDisplaySize().x);
    EXPECT_EQ(dlg->GetCaption(), ExpectedTitle());
    const long style = dlg->GetMessageDialogStyle();
    const long iconFlag = m_icon == MsgIcon::Stop ? wxICON_ERROR
                          : m_icon == MsgIcon::Exclamation ? wxICON_EXCLAMATION
                                                           : wxICON_INFORMATION;
    EXPECT_EQ(style & wxICON_MASK, iconFlag) << "icon of message " << m_nID;
    if (m_buttons == MsgButtons::RetryCancel) {
        EXPECT_TRUE(style & wxCANCEL) << "message " << m_nID << " needs Cancel";
        EXPECT_EQ(dlg->GetOKLabel(), "&Retry");
    } else if (m_buttons == MsgButtons::YesNo || m_buttons == MsgButtons::YesNoDefaultYes) {
        EXPECT_EQ(style & (wxYES_NO | wxCANCEL | wxOK), wxYES_NO) << "message " << m_nID << " asks Yes or No";
        // The default is the button that Return presses. The hook runs before
        // the dialog makes its buttons: make them as it would, to look.
        struct Buttons : wxGenericMessageDialog {
            static auto Maker() { return &Buttons::DoCreateMsgdialog; }
        };
        (dlg->*Buttons::Maker())();
        const int nDefault = m_buttons == MsgButtons::YesNo ? wxID_NO : wxID_YES;
        const wxWindow* button = dlg->FindWindow(nDefault);
        EXPECT_NE(button, nullptr);
        EXPECT_EQ(dlg->GetDefaultItem(), button) << "message " << m_nID << ": the wrong default button";
    } else {
        EXPECT_FALSE(style & wxCANCEL) << "message " << m_nID << " has only OK";
    }
    return m_answer;
}

wxString ExpectMessage::GetDefaultDescription() const { return wxString::Format("message box %u", m_nID); }

ExpectFileDialog::ExpectFileDialog(long requiredStyle, const wxString& path, const wxString& expectedName)
    : m_style(requiredStyle), m_path(path), m_name(expectedName) {}

int ExpectFileDialog::OnInvoked(wxFileDialog* dlg) const {
    EXPECT_EQ(dlg->GetWindowStyle() & m_style, m_style);
    EXPECT_EQ(dlg->GetWildcard(), "Text Files (*.txt)|*.txt|All Files (*.*)|*");
    if (!m_name.empty()) {
        EXPECT_EQ(dlg->GetFilename(), m_name);
    }
    if (m_path.empty())
        return wxID_CANCEL;
    dlg->SetPath(m_path);
    return wxID_OK;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Settle(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

wxString ExpectedTitle() { return wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetName(); }
