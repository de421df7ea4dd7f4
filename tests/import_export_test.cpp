// The import and export commands with their worker threads: outcomes,
// cancels in every phase, the retry loop and every failure message.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "maintenance/export_job.h"
#include "maintenance/import_job.h"
#include "platform/file_faults.h"
#include "platform/worker_thread.h"
#include "progress/progress_dlg.h"
#include "tests/test_support.h"

namespace {

const std::vector<std::string> kOldWords = {"OLD", "WORDS", "STAY"};
const char* const kNewList = "apple\nbanana\ncherry\ndate\nfig\nfig\nkiwi\nlemon\n";

class JobTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldDictionary = BuildDictionary(dir, kOldWords);
        dir.Write("list.txt", kNewList);
    }
    void TearDown() override {
        ClearFileFaultHook();
        SetThreadStartFailureForTesting(false);
    }

    // Runs an import as the desktop program does (telling and asking
    // through the message sink) and shows its result; returns the last
    // message's id.
    UINT Import(const std::string& path) {
        ImportOptions options;
        options.bFoldAccents = foldAccents;
        return ImportWith(path, options, PromptsThroughMessageBox());
    }
    UINT ImportWith(const std::string& path, const ImportOptions& options, const JobPrompts& prompts) {
        CImportJob job(path, options);
        running = &job.Progress();
        const JobResult result = job.Run([this](CProgressDlg& dlg) {
            const int modal =
                RunProgressLoop(dlg, 1, [this](const CProgressDlg::DisplayUpdate& update) { Show(update); }, nullptr);
            endPercent = dlg.GetPercent();
            return modal;
        }, prompts);
        const UINT nMessage = ShowJobResult(result);
        running = nullptr;
        wordsImported = job.WordsImported();
        invalidUtf8Lines = job.InvalidUtf8Lines();
        return nMessage;
    }
    UINT Export(const std::string& path,
                const ModalRunner& runModal = [](CProgressDlg& dlg) { return RunProgressLoop(dlg, 1, nullptr, nullptr); }) {
        CExportJob job(path);
        running = &job.Progress();
        lastResult = job.Run(runModal, PromptsThroughMessageBox());
        running = nullptr;
        return ShowJobResult(lastResult);
    }
    // Asks the running job to cancel, from inside a file operation of the worker.
    void CancelNow() { running->OnCancel(); }
    // The display's side: keeps the status it shows and counts its updates.
    void Show(const CProgressDlg::DisplayUpdate& update) {
        if (update.status)
            shownStatus = *update.status;
        displayUpdates.fetch_add(1);
    }
    // On the worker's thread (from a file hook): waits until the display has
    // taken an update that began after this call, so that shownStatus then
    // holds the status the worker has set.
    void HoldUntilShown() {
        const int from = displayUpdates.load();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (displayUpdates.load() < from + 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        EXPECT_GE(displayUpdates.load(), from + 2) << "the display took no update";
    }
    void ExpectOldDictionaryKept() {
        EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary);
        EXPECT_FALSE(dir.Exists("dictionary.$$$"));
    }

    ScratchDir dir;
    std::string oldDictionary;
    bool foldAccents = false;
    // The progress of the job that runs, for the workers' file hooks.
    CProgressDlg* running = nullptr;
    CString shownStatus;
    int endPercent = -1;  // where the worker's percentage stood when the import ended
    std::atomic<int> displayUpdates{0};
    int64_t wordsImported = 0;
    int64_t invalidUtf8Lines = 0;
    JobResult lastResult;
};

TEST_F(JobTest, ImportReplacesTheDictionary) {
    MessageRecorder recorder;
    EXPECT_EQ(Import(dir.File("list.txt")), 59151u);
    EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{59151, MsgIcon::Information, MsgButtons::Ok}}));
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"FIG", "DATE", "KIWI", "APPLE", "LEMON", "BANANA", "CHERRY"}));
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));
}

TEST_F(JobTest, ImportWithFoldingKeepsAccentedWordsOnceAndWithoutItSkipsThem) {
    MessageRecorder recorder;
    dir.Write("accents.txt", "\xC3\xA9t\xC3\xA9\nete\n\xC3\x89T\xC3\x89\ncaf\xC3\xA9\nna\xEFve\n");
    EXPECT_EQ(Import(dir.File("accents.txt")), 59151u);
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"ETE"}));
    EXPECT_EQ(invalidUtf8Lines, 0);
    foldAccents = true;
    EXPECT_EQ(Import(dir.File("accents.txt")), 59151u);
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"ETE", "CAFE"}));
    EXPECT_EQ(wordsImported, 2);
    EXPECT_EQ(invalidUtf8Lines, 1);  // the Latin-1 line
}

TEST_F(JobTest, ImportOfNoWordsGivesAnEmptyDictionaryOnlyWhenTheUserSaysSo) {
    // No line is a word: too short, digits, a list saved as UTF-16.
    dir.Write("none.txt", "a\nI\n\n123\n");
    dir.Write("utf16.txt", std::string("\xFF\xFE" "c\0a\0t\0\n\0d\0o\0g\0\n\0", 18));
    const RecordedMessage question{59202, MsgIcon::Exclamation, MsgButtons::YesNo};
    for (const char* list : {"none.txt", "utf16.txt"}) {
        SCOPED_TRACE(list);
        MessageRecorder recorder;  // answers No, the default
        EXPECT_EQ(Import(dir.File(list)), 59152u);
        EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{question, {59152, MsgIcon::Information, MsgButtons::Ok}}));
        ExpectOldDictionaryKept();
    }
    {
        MessageRecorder recorder;
        recorder.QueueAnswer(IDYES);
        EXPECT_EQ(Import(dir.File("none.txt")), 59151u);
        EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{question, {59151, MsgIcon::Information, MsgButtons::Ok}}));
        EXPECT_EQ(Hex(dir.Read("dictionary.dat")), "00");
    }
    // The command line's ways: refused without a question, or accepted.
    const auto importWith = [this](EmptyWordList policy) {
        ImportOptions options;
        options.emptyList = policy;
        JobPrompts tellOnly = PromptsThroughMessageBox();
        tellOnly.ask = nullptr;
        return ImportWith(dir.File("none.txt"), options, tellOnly);
    };
    dir.Write("dictionary.dat", oldDictionary);
    MessageRecorder recorder;
    EXPECT_EQ(importWith(EmptyWordList::Refuse), 59203u);
    EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{59203, MsgIcon::Exclamation, MsgButtons::Ok}}));
    ExpectOldDictionaryKept();
    EXPECT_EQ(importWith(EmptyWordList::Accept), 59151u);
    EXPECT_EQ(Hex(dir.Read("dictionary.dat")), "00");
    // A list of words asks nothing, whatever the policy.
    recorder.Clear();
    EXPECT_EQ(Import(dir.File("list.txt")), 59151u);
    EXPECT_EQ(recorder.Ids(), std::vector<UINT>{59151});
}

TEST_F(JobTest, CancelInEveryPhaseKeepsTheOldDictionary) {
    struct Case {
        FileOp op;
        const char* file;
        int nth;  // the nth such operation on that file requests the cancel
        const char* status;  // shown when the cancel comes
        int from, to;        // the span of percentages of the phase that stops
    };
    // Each pass over the short list reads twice (its bytes, then the end).
    // The sort reads nothing: the cancel comes as the storing pass ends, and
    // the sort is the first to see it.
    const Case cases[] = {
        {FileOp::Read, "list.txt", 1, "Reading file to find longest word...", 0, 25},
        {FileOp::Read, "list.txt", 3, "Counting words and their lengths...", 26, 50},
        {FileOp::Read, "list.txt", 5, "Read words into memory...", 51, 75},
        {FileOp::Read, "list.txt", 6, "Read words into memory...", 76, 85},
        {FileOp::Write, "dictionary.$$$", 1, "Writing out dictionary...", 86, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.status << " " << c.from << "-" << c.to);
        auto count = std::make_shared<std::atomic<int>>(0);
        SetFileFaultHook([this, c, count](FileOp op, const std::string& path) {
            if (op == c.op && path.find(c.file) != std::string::npos && ++*count == c.nth) {
                HoldUntilShown();
                CancelNow();
            }
            return false;
        });
        MessageRecorder recorder;
        EXPECT_EQ(Import(dir.File("list.txt")), 59152u);
        EXPECT_EQ(recorder.Ids(), std::vector<UINT>{59152});
        EXPECT_EQ(shownStatus, c.status) << "the status shown when the cancel came";
        EXPECT_GE(endPercent, c.from) << "the phase that stopped";
        EXPECT_LE(endPercent, c.to) << "the phase that stopped";
        ExpectOldDictionaryKept();
        ClearFileFaultHook();
    }
}

TEST_F(JobTest, FailedReplacementOffersRetry) {
    int renames = 0;
    SetFileFaultHook([&renames](FileOp op, const std::string&) { return op == FileOp::Rename && ++renames == 1; });
    {
        MessageRecorder recorder;
        recorder.QueueAnswer(IDRETRY);
        EXPECT_EQ(Import(dir.File("list.txt")), 59151u);
        EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{59166, MsgIcon::Exclamation, MsgButtons::RetryCancel},
                                                                      {59151, MsgIcon::Information, MsgButtons::Ok}}));
        EXPECT_EQ(ReadAllWords().size(), 7u);
    }
    dir.Write("dictionary.dat", oldDictionary);
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Rename; });
    {
        MessageRecorder recorder;
        recorder.QueueAnswer(IDRETRY);
        recorder.QueueAnswer(IDCANCEL);
        EXPECT_EQ(Import(dir.File("list.txt")), 59152u);
        EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{59166, 59166, 59152}));
        ExpectOldDictionaryKept();
    }
    {
        MessageRecorder recorder;
        JobPrompts tellOnly = PromptsThroughMessageBox();
        tellOnly.ask = nullptr;
        EXPECT_EQ(ImportWith(dir.File("list.txt"), ImportOptions(), tellOnly), 59166u) << "asked nothing, it is not retried";
        EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{59166, MsgIcon::Exclamation, MsgButtons::Ok}}));
        ExpectOldDictionaryKept();
    }
}

TEST_F(JobTest, ImportFailuresShowTheirMessagesAndChangeNothing) {
    struct Case {
        const char* name;
        std::function<bool(FileOp, const std::string&)> hook;
        std::vector<UINT> messages;
    };
    int seeks = 0;
    const std::string list = dir.File("list.txt");
    const std::vector<Case> cases = {
        {"unreadable word list", [](FileOp op, const std::string& p) { return op == FileOp::Open && p.find("list") != std::string::npos; }, {59153}},
        {"first rewind", [](FileOp op, const std::string&) { return op == FileOp::Seek; }, {59154, 59200}},
        {"length tables", [](FileOp op, const std::string& w) { return op == FileOp::Allocate && w == "length tables"; }, {111, 59200}},
        {"word store", [](FileOp op, const std::string& w) { return op == FileOp::Allocate && w == "word store"; }, {59160, 59200}},
        {"disk full", [](FileOp op, const std::string& p) { return op == FileOp::Write && p.find(".$$$") != std::string::npos; }, {59148, 59200}},
        {"flush fails", [](FileOp op, const std::string&) { return op == FileOp::Flush; }, {59148, 59200}},
        {"read fails mid-way", [](FileOp op, const std::string& p) { return op == FileOp::Read && p.find("list") != std::string::npos; }, {110, 59200}},
        {"list shrinks between passes",
         [&seeks, list](FileOp op, const std::string& p) {
             if (op == FileOp::Seek && p == list && ++seeks == 6)
                 (void)::truncate(list.c_str(), 10);
             return false;
         },
         {59170, 59200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seeks = 0;
        dir.Write("list.txt", kNewList);
        SetFileFaultHook(c.hook);
        MessageRecorder recorder;
        Import(list);
        EXPECT_EQ(recorder.Ids(), c.messages);
        ClearFileFaultHook();
        ExpectOldDictionaryKept();
    }

    MessageRecorder recorder;
    EXPECT_EQ(Import(dir.File("missing.txt")), 59153u);
    EXPECT_EQ(Import(dir.Path()), 59153u) << "a directory is no word list";
    SetThreadStartFailureForTesting(true);
    EXPECT_EQ(Import(list), 59171u);
    SetThreadStartFailureForTesting(false);
    EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{59153, 59153, 59171}));
    ExpectOldDictionaryKept();
}

TEST_F(JobTest, SecondImportIsRefusedWhileOneRuns) {
    MessageRecorder recorder;
    CDictionary running(GetWorkDir());
    ASSERT_TRUE(running.OpenForWriting());
    EXPECT_EQ(Import(dir.File("list.txt")), 59164u);
    EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{107, MsgIcon::Stop, MsgButtons::Ok},
                                                                  {59164, MsgIcon::Exclamation, MsgButtons::Ok}}));
    EXPECT_TRUE(dir.Exists("dictionary.$$$")) << "the running import's file is not touched";
    EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary);
}

TEST_F(JobTest, TheTemporaryDictionaryIsNeitherWordListNorOutput) {
    MessageRecorder recorder;
    // A leftover from an import that died cannot be read as a word list (the
    // import would empty it first), nor be an export's output (it would be
    // removed as a leftover afterwards).
    dir.Write("dictionary.$$$", "leftover\nwords\n");
    EXPECT_EQ(Import(dir.File("dictionary.$$$")), 59153u);
    EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary);
    ::unlink(dir.File("dictionary.$$$").c_str());
    EXPECT_EQ(Export(dir.File("dictionary.$$$")), 59146u);
    EXPECT_EQ(Export(dir.Path() + "/./dictionary.$$$"), 59146u) << "however the name is written";
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));
    EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{59153, 59146, 59146}));
}

TEST_F(JobTest, ExportWritesEveryWordShortestFirst) {
    BuildDictionary(dir, {"HOUSE", "AT", "BE", "HOUSES", "at"});
    dir.Write("out.txt", "older and longer contents that must go");
    MessageRecorder recorder;
    std::vector<CString> titles, statuses;
    // The status shown while the worker reads the first block: its length, 2.
    CString statusAtFirstBlock;
    int reads = 0;
    SetFileFaultHook([&](FileOp op, const std::string& p) {
        if (op == FileOp::Read && p.find("dictionary.dat") != std::string::npos && ++reads == 3) {
            HoldUntilShown();
            statusAtFirstBlock = shownStatus;
        }
        return false;
    });
    const UINT result = Export(dir.File("out.txt"), [&](CProgressDlg& dlg) {
        return RunProgressLoop(dlg, 1, [&](const CProgressDlg::DisplayUpdate& update) {
            Show(update);
            if (update.title)
                titles.push_back(*update.title);
            if (update.status)
                statuses.push_back(*update.status);
        }, nullptr);
    });
    ClearFileFaultHook();
    EXPECT_EQ(result, 59149u);
    EXPECT_EQ(statusAtFirstBlock, "Writing out 2-letter words");
    EXPECT_EQ(titles, std::vector<CString>{"Saving dictionary..."});
    // The status line names the length being written; a completion that
    // beats the display's next tick shows "Complete" in its place.
    ASSERT_FALSE(statuses.empty());
    for (const CString& status : statuses)
        EXPECT_TRUE(status == "Initialising" || status == "Complete" ||
                    (status.rfind("Writing out ", 0) == 0 && status.find("-letter words") != CString::npos))
            << status;
    EXPECT_TRUE(statuses.back() == "Complete" || statuses.back() == "Writing out 6-letter words");
    EXPECT_EQ(dir.Read("out.txt"), "AT\nBE\nHOUSE\nHOUSES\n");
    EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{59149, MsgIcon::Information, MsgButtons::Ok}}));

    BuildDictionary(dir, {});
    EXPECT_EQ(Export(dir.File("empty.txt")), 59149u);
    EXPECT_EQ(dir.Read("empty.txt"), "");
}

TEST_F(JobTest, LargeExportIsWrittenInPieces) {
    std::vector<std::string> words;
    for (int i = 0; i < 5000; ++i)
        words.push_back(std::string("W") + static_cast<char>('A' + i / 676 % 26) + static_cast<char>('A' + i / 26 % 26) +
                        static_cast<char>('A' + i % 26));
    BuildDictionary(dir, words);
    std::atomic<int> writes{0};
    SetFileFaultHook([&writes](FileOp op, const std::string& p) {
        if (op == FileOp::Write && p.find("big.txt") != std::string::npos)
            ++writes;
        return false;
    });
    MessageRecorder recorder;
    EXPECT_EQ(Export(dir.File("big.txt")), 59149u);
    EXPECT_EQ(dir.Read("big.txt").size(), 25000u);
    EXPECT_EQ(writes.load(), 3) << "two pieces of just over 10000 characters, then the rest";
}

TEST_F(JobTest, ExportCancelAndFailures) {
    // Every way an export can end early leaves the chosen file as it was (or
    // absent, as it was) and no temporary file beside it.
    const auto expectOnly = [this](std::vector<std::string> names) {
        std::vector<std::string> entries;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            entries.push_back(entry.path().filename().string());
        std::sort(entries.begin(), entries.end());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(entries, names);
    };
    const std::vector<std::string> kAlways = {"dictionary.dat", "list.txt", "words-input.txt"};
    auto withOut = kAlways;
    withOut.push_back("out.txt");
    const auto cancelAtFirstBlock = [this](int* reads) {
        SetFileFaultHook([this, reads](FileOp op, const std::string& p) {
            if (op == FileOp::Read && p.find("dictionary.dat") != std::string::npos && ++*reads == 3)
                CancelNow();
            return false;
        });
    };
    {
        int reads = 0;
        cancelAtFirstBlock(&reads);
        MessageRecorder recorder;
        EXPECT_EQ(Export(dir.File("out.txt")), 59150u);
        EXPECT_EQ(recorder.Ids(), std::vector<UINT>{59150});
        expectOnly(kAlways);  // a cancelled export leaves no partial file
        dir.Write("out.txt", "precious\n");
        reads = 0;
        EXPECT_EQ(Export(dir.File("out.txt")), 59150u);
        EXPECT_EQ(dir.Read("out.txt"), "precious\n") << "a cancel does not touch the old file";
        expectOnly(withOut);
        ClearFileFaultHook();
    }
    {
        SetFileFaultHook([](FileOp op, const std::string& p) { return op == FileOp::Write && p.find("out.txt") != std::string::npos; });
        MessageRecorder recorder;
        EXPECT_EQ(Export(dir.File("out.txt")), 59201u) << "a full disk is a failure, not a cancel";
        EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{59169, 59201}));
        EXPECT_EQ(dir.Read("out.txt"), "precious\n");
        expectOnly(withOut);
        // The complete file that cannot take the old one's place.
        SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Rename; });
        EXPECT_EQ(Export(dir.File("out.txt")), 59201u);
        EXPECT_EQ(dir.Read("out.txt"), "precious\n");
        expectOnly(withOut);
        ClearFileFaultHook();
    }
    {
        MessageRecorder recorder;
        EXPECT_EQ(Export(dir.Path()), 59146u) << "a directory cannot be the output";
        SetThreadStartFailureForTesting(true);
        EXPECT_EQ(Export(dir.File("never.txt")), 59171u);
        SetThreadStartFailureForTesting(false);
        EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{59146, 59171}));
        expectOnly(withOut);
    }
    {
        ASSERT_EQ(::unlink(dir.File("dictionary.dat").c_str()), 0);
        MessageRecorder recorder;
        EXPECT_EQ(Export(dir.File("out.txt")), 59201u);
        EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{106, 59201}));
        EXPECT_EQ(dir.Read("out.txt"), "precious\n") << "no dictionary, and the old file stays whole";
        EXPECT_EQ(Export(dir.File("new.txt")), 59201u);
        EXPECT_FALSE(dir.Exists("new.txt")) << "nothing is made when there is nothing to write";
    }
}

TEST_F(JobTest, CompleteExportReplacesTheFileKeepingItsPermissions) {
    dir.Write("out.txt", "older and longer contents that must go\n");
    ASSERT_EQ(::chmod(dir.File("out.txt").c_str(), 0640), 0);
    MessageRecorder recorder;
    EXPECT_EQ(Export(dir.File("out.txt")), 59149u);
    EXPECT_EQ(dir.Read("out.txt"), "OLD\nSTAY\nWORDS\n");
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("out.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // A file that may not be written is not replaced either.
    ASSERT_EQ(::chmod(dir.File("out.txt").c_str(), 0444), 0);
    if (::access(dir.File("out.txt").c_str(), W_OK) != 0) {
        EXPECT_EQ(Export(dir.File("out.txt")), 59146u);
        EXPECT_EQ(lastResult.closing.detail, "Permission denied");
    }
}

TEST_F(JobTest, ExportStopsAtTheFirstDamagedBlock) {
    // Three lengths; the blocks of two of them are made to start with a
    // prefix code, which no first word can have.
    std::string bytes = BuildDictionary(dir, {"CAT", "DOG", "BIRD", "FISH", "HORSE", "SHEEP"});
    const auto blockStart = [&bytes](int length) {
        const size_t at = bytes.size() - 1 - 6 * static_cast<size_t>(bytes.back() - 1) + 6 * (length - 2) + 3;
        return (static_cast<unsigned char>(bytes[at]) << 16) | (static_cast<unsigned char>(bytes[at + 1]) << 8) |
               static_cast<unsigned char>(bytes[at + 2]);
    };
    ASSERT_EQ(bytes.back(), 5);
    bytes[blockStart(4)] = static_cast<char>(0xF8);
    bytes[blockStart(5)] = static_cast<char>(0xF8);
    dir.Write("dictionary.dat", bytes);

    MessageRecorder recorder;
    EXPECT_EQ(Export(dir.File("out.txt")), 59201u);
    EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{113, MsgIcon::Stop, MsgButtons::Ok},
                                                                  {59201, MsgIcon::Stop, MsgButtons::Ok}}))
        << "one message for the damage, then the failure; never a success";
    EXPECT_FALSE(dir.Exists("out.txt")) << "the 3-letter words alone are no export";
}

}  // namespace

namespace {

int RunQuietly(CProgressDlg& dlg) { return RunProgressLoop(dlg, 1, nullptr, nullptr); }

}  // namespace

// The jobs show nothing themselves: how they ended, and why, comes back to
// the front end, and the worker's reason is told while the progress display
// is still up (the display closes only once the worker has stopped).
TEST_F(JobTest, JobsReportHowTheyEndedAndTellWhyWhileTheDisplayIsUp) {
    MessageRecorder recorder;
    {
        CImportJob job(dir.File("list.txt"), ImportOptions());
        const JobResult result = job.Run(RunQuietly);
        EXPECT_EQ(result.end, JobEnd::Done);
        EXPECT_EQ(result.cause, Status::Ok());
        EXPECT_EQ(result.closing, Status::Message(59151, MsgIcon::Information));
        EXPECT_EQ(job.WordsImported(), 7);
    }
    dir.Write("dictionary.dat", oldDictionary);
    {
        SetFileFaultHook([](FileOp op, const std::string& p) { return op == FileOp::Read && p.find("list") != std::string::npos; });
        CImportJob job(dir.File("list.txt"), ImportOptions());
        std::vector<Status> told;
        bool stoppedWhenTold = true;
        JobPrompts prompts;
        prompts.tell = [&](const Status& status) {
            told.push_back(status);
            stoppedWhenTold = job.Progress().m_bStopped.load();
        };
        const JobResult result = job.Run(RunQuietly, prompts);
        ClearFileFaultHook();
        EXPECT_EQ(result.end, JobEnd::Failed);
        EXPECT_EQ(result.cause, Status::Message(110, MsgIcon::Stop, "Input/output error"));
        EXPECT_EQ(told, std::vector<Status>{result.cause});
        EXPECT_FALSE(stoppedWhenTold);
        EXPECT_EQ(result.closing, Status::Message(59200, MsgIcon::Stop));
    }
    ExpectOldDictionaryKept();
    {
        int reads = 0;
        SetFileFaultHook([this, &reads](FileOp op, const std::string& p) {
            if (op == FileOp::Read && p.find("list") != std::string::npos && ++reads == 3)
                CancelNow();
            return false;
        });
        CImportJob job(dir.File("list.txt"), ImportOptions());
        running = &job.Progress();
        const JobResult result = job.Run(RunQuietly);
        ClearFileFaultHook();
        EXPECT_EQ(result.end, JobEnd::Cancelled);
        EXPECT_EQ(result.cause, Status::Ok());
        EXPECT_EQ(result.closing.nMessage, 59152u);
    }
    {
        SetFileFaultHook([](FileOp op, const std::string& p) { return op == FileOp::Write && p.find("out.txt") != std::string::npos; });
        CExportJob job(dir.File("out.txt"));
        const JobResult result = job.Run(RunQuietly);
        ClearFileFaultHook();
        EXPECT_EQ(result.end, JobEnd::Failed);
        EXPECT_EQ(result.cause, Status::Message(59169, MsgIcon::Stop, "No space left on device"));
        EXPECT_EQ(result.closing, Status::Message(59201, MsgIcon::Stop));
        EXPECT_FALSE(dir.Exists("out.txt"));
    }
    {
        CExportJob job(dir.File("sub/out.txt"));
        const JobResult result = job.Run(RunQuietly);
        EXPECT_EQ(result.end, JobEnd::Failed);
        EXPECT_EQ(result.closing, Status::Message(59146, MsgIcon::Exclamation, "No such file or directory"));
    }
    EXPECT_TRUE(recorder.Messages().empty()) << "the first shown: " << recorder.Ids().front();
}

// An empty list under "ask" is kept only on a Yes; a job that may not ask
// takes the default answer, No, and a failed replacement is not retried.
TEST_F(JobTest, QuestionsGoToTheFrontEndsAsker) {
    dir.Write("none.txt", "a\n");
    std::vector<UINT> asked;
    JobPrompts prompts;
    prompts.ask = [&asked](UINT nID, MsgIcon icon, MsgButtons buttons) {
        EXPECT_EQ(icon, MsgIcon::Exclamation);
        asked.push_back(nID);
        return buttons == MsgButtons::YesNo ? IDYES : IDCANCEL;
    };
    {
        CImportJob job(dir.File("none.txt"), ImportOptions());
        EXPECT_EQ(job.Run(RunQuietly, prompts).end, JobEnd::Done);
    }
    EXPECT_EQ(asked, std::vector<UINT>{59202});
    EXPECT_EQ(Hex(dir.Read("dictionary.dat")), "00");
    dir.Write("dictionary.dat", oldDictionary);
    {
        CImportJob job(dir.File("none.txt"), ImportOptions());
        const JobResult result = job.Run(RunQuietly);
        EXPECT_EQ(result.end, JobEnd::Cancelled);
        EXPECT_EQ(result.closing.nMessage, 59152u);
    }
    ExpectOldDictionaryKept();
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Rename; });
    {
        CImportJob job(dir.File("list.txt"), ImportOptions());
        const JobResult result = job.Run(RunQuietly, prompts);
        EXPECT_EQ(result.end, JobEnd::Cancelled);
        EXPECT_EQ(result.closing.nMessage, 59152u);
    }
    EXPECT_EQ(asked, (std::vector<UINT>{59202, 59166}));
    ClearFileFaultHook();
    ExpectOldDictionaryKept();
}
