// The load and save commands from the program menu: file dialogs, the real
// progress window with the worker behind it, cancel, the Retry and Cancel
// loop of the replacement, and messages raised on the worker thread.
#include <atomic>
#include <chrono>
#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/thread.h>
#include <wx/timer.h>

#include "app/progress_wnd.h"
#include "platform/file_faults.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"
#include "tests/gui/main_dlg_fixture.h"

using Strings = std::vector<std::string>;
using namespace tmpl::sys_cmd;

namespace {

constexpr long kOpenStyle = wxFD_OPEN | wxFD_FILE_MUST_EXIST;
constexpr long kSaveStyle = wxFD_SAVE | wxFD_OVERWRITE_PROMPT;

std::atomic<bool> g_cancelPressed{false};

CProgressWnd* ModalProgressWindow() {
    for (wxWindow* win : wxTopLevelWindows)
        if (auto* wnd = dynamic_cast<CProgressWnd*>(win); wnd && wnd->IsModal())
            return wnd;
    return nullptr;
}

// Holds the worker at its reads of `path` until Cancel has been pressed, so
// that the worker is sure to see the cancel before it could finish.
FileFaultHook HoldUntilCancelled(const std::string& path) {
    return [path](FileOp op, const std::string& file) {
        if (op == FileOp::Read && file == path && !wxThread::IsMain()) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!g_cancelPressed.load() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    };
}

}  // namespace

class CommandsTest : public MainDlgTest {
protected:
    void SetUp() override {
        MainDlgTest::SetUp();
        g_cancelPressed.store(false);
        m_dir->Write("list.txt", "zebra\napple\nMango\nkiwi\nx\napple\n");
        m_before = m_dir->Read("dictionary.dat");
    }
    void TearDown() override {
        m_cancelTimer.Stop();
        ClearFileFaultHook();
        MainDlgTest::TearDown();
    }

    // Presses Cancel in the progress window as soon as it is up.
    void CancelWhenProgressShows() {
        m_cancelTimer.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
            CProgressWnd* wnd = ModalProgressWindow();
            if (!wnd || g_cancelPressed.load())
                return;
            wxCommandEvent click(wxEVT_BUTTON, wnd->CancelButton()->GetId());
            click.SetEventObject(wnd->CancelButton());
            wnd->CancelButton()->GetEventHandler()->ProcessEvent(click);
            g_cancelPressed.store(true);
        });
        m_cancelTimer.Start(5);
    }

    wxTimer m_cancelTimer;
    std::string m_before;
};

TEST_F(CommandsTest, LoadReplacesTheDictionaryAndReports59151) {
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, m_dir->File("list.txt")),
                  ExpectMessage(IDS_LOAD_DONE, MsgIcon::Information));
    EXPECT_EQ(ReadAllWords(), (Strings{"KIWI", "APPLE", "MANGO", "ZEBRA"}));
    EXPECT_FALSE(m_dir->Exists("dictionary.$$$"));
    // The new dictionary answers at once.
    Find("?????");
    EXPECT_EQ(Rows(), (Strings{"APPLE", "MANGO", "ZEBRA"}));
}

TEST_F(CommandsTest, CancellingTheFileDialogsDoesNothing) {
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, wxString()));
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_SAVEDICT), ExpectFileDialog(kSaveStyle, wxString(), "dictionary.txt"));
    EXPECT_EQ(m_dir->Read("dictionary.dat"), m_before);
    EXPECT_FALSE(m_dir->Exists("dictionary.txt"));
}

TEST_F(CommandsTest, CancelDuringLoadKeepsTheOldDictionary) {
    SetFileFaultHook(HoldUntilCancelled(m_dir->File("list.txt")));
    CancelWhenProgressShows();
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, m_dir->File("list.txt")),
                  ExpectMessage(IDS_LOAD_CANCELLED, MsgIcon::Information));
    EXPECT_TRUE(g_cancelPressed.load());
    EXPECT_EQ(m_dir->Read("dictionary.dat"), m_before);
    EXPECT_FALSE(m_dir->Exists("dictionary.$$$"));
}

TEST_F(CommandsTest, LoadOfAListWithoutWordsAsksAndKeepsTheOldDictionaryByDefault) {
    m_dir->Write("phrases.txt", "two words\nl'amour\n1\n");
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, m_dir->File("phrases.txt")),
                  ExpectMessage(IDS_EMPTY_WORD_LIST_QUESTION, MsgIcon::Exclamation, MsgButtons::YesNo, wxID_NO),
                  ExpectMessage(IDS_LOAD_CANCELLED, MsgIcon::Information));
    EXPECT_EQ(m_dir->Read("dictionary.dat"), m_before);
    EXPECT_FALSE(m_dir->Exists("dictionary.$$$"));
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, m_dir->File("phrases.txt")),
                  ExpectMessage(IDS_EMPTY_WORD_LIST_QUESTION, MsgIcon::Exclamation, MsgButtons::YesNo, wxID_YES),
                  ExpectMessage(IDS_LOAD_DONE, MsgIcon::Information));
    EXPECT_TRUE(ReadAllWords().empty()) << "the user asked for the empty dictionary";
}

TEST_F(CommandsTest, LoadOfAListWithAccentedWordsAsksOnceAndFoldsByDefault) {
    m_dir->Write("french.txt", "\xC3\xA9t\xC3\xA9\nd\xC3\xA9j\xC3\xA0\nchat\nna\xC3\xAFve\n");
    const std::string question = FormatString(LoadStringText(IDS_FOLD_QUESTION).c_str(), "3");
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, m_dir->File("french.txt")),
                  ExpectMessage(IDS_FOLD_QUESTION, MsgIcon::Information, MsgButtons::YesNoDefaultYes, wxID_YES)
                      .WithText(question),
                  ExpectMessage(IDS_LOAD_DONE, MsgIcon::Information));
    EXPECT_EQ(ReadAllWords(), (Strings{"ETE", "CHAT", "DEJA", "NAIVE"}));
    // No keeps the design's import: the accented lines are no words.
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, m_dir->File("french.txt")),
                  ExpectMessage(IDS_FOLD_QUESTION, MsgIcon::Information, MsgButtons::YesNoDefaultYes, wxID_NO)
                      .WithText(question),
                  ExpectMessage(IDS_LOAD_DONE, MsgIcon::Information));
    EXPECT_EQ(ReadAllWords(), (Strings{"CHAT"}));
}

TEST_F(CommandsTest, FailedRenameAsksRetryAndRetrySucceeds) {
    std::atomic<int> renames{0};
    SetFileFaultHook([&renames](FileOp op, const std::string&) { return op == FileOp::Rename && renames++ == 0; });
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, m_dir->File("list.txt")),
                  ExpectMessage(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel, wxID_OK),
                  ExpectMessage(IDS_LOAD_DONE, MsgIcon::Information));
    EXPECT_EQ(renames.load(), 2);
    EXPECT_EQ(ReadAllWords(), (Strings{"KIWI", "APPLE", "MANGO", "ZEBRA"}));
}

TEST_F(CommandsTest, FailedRenameCancelledKeepsTheOldDictionaryAndRemovesTheNewFile) {
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Rename; });
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, m_dir->File("list.txt")),
                  ExpectMessage(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel, wxID_OK),
                  ExpectMessage(IDS_CANNOT_RENAME, MsgIcon::Exclamation, MsgButtons::RetryCancel, wxID_CANCEL),
                  ExpectMessage(IDS_LOAD_CANCELLED, MsgIcon::Information));
    ClearFileFaultHook();
    EXPECT_EQ(m_dir->Read("dictionary.dat"), m_before);
    EXPECT_FALSE(m_dir->Exists("dictionary.$$$"));
}

TEST_F(CommandsTest, WorkerThreadMessageIsShownWhileTheWorkerWaits) {
    // A read of the word list fails on the worker thread: its message is
    // shown by the user-interface thread while the progress window is up,
    // and the worker carries on (to its stop) only once it is answered.
    std::atomic<bool> failedOnWorker{false};
    const std::string list = m_dir->File("list.txt");
    SetFileFaultHook([&failedOnWorker, list](FileOp op, const std::string& file) {
        if (op != FileOp::Read || file != list || failedOnWorker.load())
            return false;
        failedOnWorker.store(!wxThread::IsMain());
        return true;
    });
    bool progressWasUp = false;
    class ExpectWorkerMessage : public ExpectMessage {
    public:
        ExpectWorkerMessage(bool& up) : ExpectMessage(IDS_CANNOT_READ_DICT, MsgIcon::Stop), m_up(up) {}

    protected:
        int OnInvoked(wxGenericMessageDialog* dlg) const override {
            EXPECT_TRUE(wxThread::IsMain());
            m_up = ModalProgressWindow() != nullptr;
            EXPECT_EQ(dlg->GetParent(), ModalProgressWindow()) << "the box belongs in front of the progress window";
            return ExpectMessage::OnInvoked(dlg);
        }

    private:
        bool& m_up;
    };
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, list),
                  ExpectWorkerMessage(progressWasUp), ExpectMessage(IDS_LOAD_FAILED, MsgIcon::Stop));
    EXPECT_TRUE(failedOnWorker.load());
    EXPECT_TRUE(progressWasUp);
    EXPECT_EQ(m_dir->Read("dictionary.dat"), m_before);
}

TEST_F(CommandsTest, UnreadableWordListShows59153) {
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, m_dir->Path()),
                  ExpectMessage(IDS_CANNOT_OPEN_TEXT, MsgIcon::Exclamation));
    EXPECT_EQ(m_dir->Read("dictionary.dat"), m_before);
}

TEST_F(CommandsTest, SaveWritesEveryWordAndReports59149) {
    const std::string out = m_dir->File("out.txt");
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_SAVEDICT), ExpectFileDialog(kSaveStyle, out, "dictionary.txt"),
                  ExpectMessage(IDS_SAVE_DONE, MsgIcon::Information));
    std::string expected;
    for (const std::string& word : ReadAllWords())
        expected += word + "\n";
    EXPECT_EQ(m_dir->Read("out.txt"), expected);
    EXPECT_EQ(expected.substr(0, 6), "AT\nIT\n");
}

TEST_F(CommandsTest, CancelDuringSaveKeepsTheOldFile) {
    SetFileFaultHook(HoldUntilCancelled(m_dir->File("dictionary.dat")));
    CancelWhenProgressShows();
    m_dir->Write("out.txt", "old contents\n");
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_SAVEDICT), ExpectFileDialog(kSaveStyle, m_dir->File("out.txt")),
                  ExpectMessage(IDS_SAVE_CANCELLED, MsgIcon::Information));
    EXPECT_TRUE(g_cancelPressed.load());
    EXPECT_EQ(m_dir->Read("out.txt"), "old contents\n");
}

TEST_F(CommandsTest, SaveWithoutDictionaryShows106ThenAFailure) {
    std::remove(m_dir->File("dictionary.dat").c_str());
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_SAVEDICT), ExpectFileDialog(kSaveStyle, m_dir->File("out.txt")),
                  ExpectMessage(IDS_CANNOT_OPEN_DICT, MsgIcon::Stop),
                  ExpectMessage(IDS_SAVE_FAILED, MsgIcon::Stop));
    EXPECT_FALSE(m_dir->Exists("out.txt"));
}

TEST_F(CommandsTest, SaveOfADamagedDictionaryShowsOneMessageThenTheFailure) {
    // Every block but the first starts with a prefix code, which no first
    // word can have: one box for the damage, not one per length.
    std::string bytes = m_before;
    const int longest = static_cast<unsigned char>(bytes.back());
    for (int length = 3; length <= longest; ++length) {
        const size_t at = bytes.size() - 1 - 6 * static_cast<size_t>(longest - 1) + 6 * (length - 2) + 3;
        const size_t start = (static_cast<size_t>(static_cast<unsigned char>(bytes[at])) << 16) |
                             (static_cast<size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8) |
                             static_cast<unsigned char>(bytes[at + 2]);
        bytes[start] = static_cast<char>(0xF8);
    }
    m_dir->Write("dictionary.dat", bytes);
    m_dir->Write("out.txt", "old contents\n");
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_SAVEDICT), ExpectFileDialog(kSaveStyle, m_dir->File("out.txt")),
                  ExpectMessage(IDS_INVALID_CHARACTER, MsgIcon::Stop), ExpectMessage(IDS_SAVE_FAILED, MsgIcon::Stop));
    EXPECT_EQ(m_dir->Read("out.txt"), "old contents\n");
}

TEST_F(CommandsTest, SaveToAnUncreatableFileShows59146) {
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_SAVEDICT), ExpectFileDialog(kSaveStyle, m_dir->File("no/such/dir.txt")),
                  ExpectMessage(IDS_CANNOT_CREATE_TEXT, MsgIcon::Exclamation));
}

TEST_F(CommandsTest, SavedFileLoadsBackToTheSameWords) {
    const Strings words = ReadAllWords();
    const std::string out = m_dir->File("round.txt");
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_SAVEDICT), ExpectFileDialog(kSaveStyle, out),
                  ExpectMessage(IDS_SAVE_DONE, MsgIcon::Information));
    wxTEST_DIALOG(m_dlg->OnSysCommand(IDM_LOADDICT), ExpectFileDialog(kOpenStyle, out),
                  ExpectMessage(IDS_LOAD_DONE, MsgIcon::Information));
    EXPECT_EQ(ReadAllWords(), words);
}
