#include "tests/test_support.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <cstdlib>
#include <unistd.h>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "maintenance/export_job.h"
#include "maintenance/import_job.h"
#include "maintenance/word_list_file.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace fs = std::filesystem;

namespace {

// No test reaches the real home: HOME and XDG_DATA_HOME name a scratch
// folder of the test process, removed when it ends.
struct ScratchHome {
    ScratchHome() {
        std::string pattern = (fs::temp_directory_path() / "gridwell-home-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return;
        m_path = pattern;
        ::setenv("HOME", m_path.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_path + "/.local/share").c_str(), 1);
    }
    ~ScratchHome() {
        std::error_code ec;
        if (!m_path.empty() && ::getpid() == m_owner)
            fs::remove_all(m_path, ec);
    }
    std::string m_path;
    pid_t m_owner = ::getpid();
} g_scratchHome;

}  // namespace

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "gridwell-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
    SetWorkDirForTesting(m_path);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

void ScratchDir::Write(const std::string& name, const std::string& contents) const {
    std::ofstream out(File(name), std::ios::binary);
    out << contents;
}

std::string ScratchDir::Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool ScratchDir::Exists(const std::string& name) const {
    std::error_code ec;
    return fs::symlink_status(File(name), ec).type() != fs::file_type::not_found;
}

struct MessageRecorder::State {
    mutable std::mutex mutex;
    std::vector<RecordedMessage> messages;
    std::deque<int> answers;
};

MessageRecorder::MessageRecorder() : m_state(new State) {
    State* state = m_state;
    m_previous = SetMessageSink([state](UINT id, const CString& text, MsgIcon icon, MsgButtons buttons) {
        // A message box with no text tells the user nothing.
        EXPECT_FALSE(text.empty()) << "message " << id << " has no text";
        std::lock_guard<std::mutex> lock(state->mutex);
        state->messages.push_back({id, icon, buttons});
        if (buttons == MsgButtons::Ok)
            return IDOK;
        if (state->answers.empty())
            return buttons == MsgButtons::YesNo ? IDNO : IDCANCEL;
        const int answer = state->answers.front();
        state->answers.pop_front();
        return answer;
    });
}

MessageRecorder::~MessageRecorder() {
    SetMessageSink(m_previous);
    delete m_state;
}

std::vector<RecordedMessage> MessageRecorder::Messages() const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->messages;
}

std::vector<UINT> MessageRecorder::Ids() const {
    std::vector<UINT> ids;
    for (const RecordedMessage& m : Messages())
        ids.push_back(m.id);
    return ids;
}

void MessageRecorder::Clear() {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->messages.clear();
}

void MessageRecorder::QueueAnswer(int answer) {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->answers.push_back(answer);
}

namespace {
int RunHeadless(CProgressDlg& dlg) { return RunProgressLoop(dlg, 1, nullptr, nullptr); }
}  // namespace

void PrintTo(const Status& status, std::ostream* os) {
    *os << "{" << status.nMessage << ", icon " << static_cast<int>(status.icon) << ", \"" << status.detail << "\"}";
}

JobPrompts PromptsThroughMessageBox() {
    JobPrompts prompts;
    prompts.tell = [](const Status& status) { ShowStatus(status); };
    prompts.ask = [](UINT nID, MsgIcon icon, MsgButtons buttons) { return AfxMessageBox(nID, icon, buttons); };
    return prompts;
}

UINT ImportHeadless(const std::string& wordListPath) {
    CImportJob job(wordListPath, ImportOptions());
    return ShowJobResult(job.Run(RunHeadless, PromptsThroughMessageBox()));
}

UINT ExportHeadless(const std::string& path) {
    CExportJob job(path);
    return ShowJobResult(job.Run(RunHeadless, PromptsThroughMessageBox()));
}

std::string BuildDictionary(const ScratchDir& dir, const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words)
        text += w + "\n";
    dir.Write("words-input.txt", text);
    MessageRecorder quiet;
    quiet.QueueAnswer(IDYES);  // words that give no word mean to build an empty dictionary
    const UINT result = ImportHeadless(dir.File("words-input.txt"));
    EXPECT_EQ(result, 59151u) << "import of the test word list failed";
    return dir.Read("dictionary.dat");
}

bool ShowIfFailed(const Status& status) {
    ShowStatus(status);
    return status.Succeeded();
}

void ShowWalkFailures(CDictionary& dict) {
    dict.SetFailureReporter([](const Status& failure) { ShowStatus(failure); });
    dict.SetNoticeReporter([](const Status& notice) { ShowStatus(notice); });
}

std::vector<std::string> ReadAllWords() {
    std::vector<std::string> words;
    CDictionary dict(GetWorkDir());
    if (!ShowIfFailed(dict.OpenForReading()))
        return words;
    ShowWalkFailures(dict);
    for (int length = 2; length <= dict.GetMaxLength(); ++length) {
        int count = 0;
        if (!ShowIfFailed(dict.PrepareSearch(false, std::to_string(length), "", false, count)))
            continue;
        CString word;
        while (dict.NextMatch(word, true))
            words.push_back(word);
    }
    return words;
}

WordListPasses ReadWordListPasses(CWordListFile& reader) {
    WordListPasses passes;
    EXPECT_TRUE(reader.MeasureAndRewind(passes.length));
    std::vector<int> lengths;
    int nLength = 0;
    while (reader.ReadWordLength(nLength, passes.bytes)) {
        lengths.push_back(nLength);
        passes.bytesAfterWord.push_back(passes.bytes);
    }
    EXPECT_FALSE(reader.ReadWordLength(nLength, passes.bytes)) << "the end of the list stays the end";
    const int nLongest = lengths.empty() ? 0 : *std::max_element(lengths.begin(), lengths.end());
    if (!reader.AllocateLengthTables(nLongest)) {
        ADD_FAILURE() << "AllocateLengthTables failed";
        return passes;
    }
    for (const int n : lengths)
        reader.CountLength(n);
    if (!reader.AllocateWordStore() || !reader.MeasureAndRewind(passes.length)) {
        ADD_FAILURE() << "the storing pass could not start";
        return passes;
    }
    int64_t storingBytes = 0;
    size_t nStored = 0;
    while (reader.ReadAndStoreWord(storingBytes))
        ++nStored;
    EXPECT_EQ(nStored, lengths.size()) << "both passes find the same words";
    EXPECT_EQ(storingBytes, passes.bytes) << "both passes count the same bytes";
    passes.inputChanged = reader.InputChanged();
    std::vector<char* const*> next(static_cast<size_t>(nLongest) + 1);
    for (int n = 2; n <= nLongest; ++n)
        next[n] = reader.WordsBegin(n);
    for (const int n : lengths) {
        if (next[n] == reader.WordsEnd(n)) {
            ADD_FAILURE() << "fewer words of " << n << " letters stored than counted";
            break;
        }
        passes.words.push_back(*next[n]++);
    }
    return passes;
}

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            out += ' ';
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

QueryOutcome RunQuery(const std::string& pattern, const std::string& letters, bool anagram, bool limit) {
    QueryOutcome r;
    const MessageSink previous = SetMessageSink([&](UINT id, const CString& text, MsgIcon, MsgButtons) {
        r.messages.push_back(id);
        r.texts.push_back(text);
        return IDOK;
    });
    CDictionary dict(GetWorkDir());
    if (ShowIfFailed(dict.OpenForReading())) {
        ShowWalkFailures(dict);
        r.prepared = ShowIfFailed(dict.PrepareSearch(anagram, pattern, letters, limit, r.resultCount));
        CString word;
        while (r.prepared && dict.NextMatch(word, false))
            r.words.push_back(word);
    }
    SetMessageSink(previous);
    return r;
}

SeekIndexForEveryBlock::SeekIndexForEveryBlock() { CDictionary::SetSeekWorthWordsForTesting(0); }

SeekIndexForEveryBlock::~SeekIndexForEveryBlock() {
    CDictionary::SetSeekWorthWordsForTesting(CDictionary::kSeekWorthWords);
}
