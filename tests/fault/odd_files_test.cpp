// Permissions and odd files: a read-only working directory, an unreadable
// dictionary, a directory, a symbolic link, a FIFO or a device where a file
// is expected. Every case ends in a clear message, never hangs, and nothing
// that the program did not create is deleted or truncated. The tests make
// their own links, FIFOs and device nodes in a scratch directory.
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "maintenance/export_job.h"
#include "platform/file_faults.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"
#include "tests/fault/fault_support.h"

namespace {

const std::vector<std::string> kOldWords = {"OLD", "WORDS", "STAY", "HERE"};
const char* const kNewList = "apple\nbanana\ncherry\n";

// The words that a Find for every word of `length` lists, or the messages it
// showed when it could not search.
std::string FindAll(int length) {
    CDictionary dict(GetWorkDir());
    if (!ShowIfFailed(dict.OpenForReading()))
        return "(not opened)";
    ShowWalkFailures(dict);
    int count = 0;
    if (!ShowIfFailed(dict.PrepareSearch(false, std::to_string(length), "", false, count)))
        return "(refused)";
    std::string found;
    CString word;
    while (dict.NextMatch(word, FALSE))
        found += word + " ";
    return found;
}

class OddFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldDictionary = BuildDictionary(dir, kOldWords);
        ::unlink(dir.File("words-input.txt").c_str());
        dir.Write("new.txt", kNewList);
    }
    void TearDown() override { ClearFileFaultHook(); }

    // Runs `job` in a child with the rights of an ordinary user (root ignores
    // file modes), who is given the scratch directory.
    ChildRun AsOrdinaryUser(const std::function<UINT()>& job) {
        MakeOwnedByUnprivileged(dir.Path());
        return RunCollectingMessages(DropPrivileges, job);
    }

    ScratchDir dir;
    std::string oldDictionary;
};

TEST_F(OddFilesTest, ReadOnlyWorkingDirectory) {
    if (!CanDropPrivileges())
        GTEST_SKIP() << "cannot run a child without root's rights here";
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);

    const ChildRun import = AsOrdinaryUser([] { return ImportHeadless(GetWorkDir() + "/new.txt"); });
    ASSERT_TRUE(import.ran);
    EXPECT_EQ(import.messages, (std::vector<UINT>{IDS_CANNOT_OPEN_EXCLUSIVE, IDS_CANNOT_OPEN_TEMP}))
        << IdsText(import.messages);

    const ChildRun find = AsOrdinaryUser([] { return FindAll(5) == "WORDS " ? 0u : 1u; });
    ASSERT_TRUE(find.ran);
    EXPECT_EQ(find.outcome, 0u) << "searching needs no write access";
    EXPECT_TRUE(find.messages.empty()) << IdsText(find.messages);

    const ChildRun save = AsOrdinaryUser([] { return ExportHeadless(GetWorkDir() + "/out.txt"); });
    ASSERT_TRUE(save.ran);
    EXPECT_EQ(save.messages, std::vector<UINT>{IDS_CANNOT_CREATE_TEXT}) << IdsText(save.messages);

    EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary);
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));
    EXPECT_FALSE(dir.Exists("out.txt"));
}

TEST_F(OddFilesTest, UnreadableDictionaryAndWordList) {
    if (!CanDropPrivileges())
        GTEST_SKIP() << "cannot run a child without root's rights here";
    ASSERT_EQ(::chmod(dir.File("dictionary.dat").c_str(), 0), 0);

    const ChildRun find = AsOrdinaryUser([] { return FindAll(5) == "(not opened)" ? 0u : 1u; });
    ASSERT_TRUE(find.ran);
    EXPECT_EQ(find.outcome, 0u);
    EXPECT_EQ(find.messages, std::vector<UINT>{IDS_CANNOT_OPEN_DICT}) << IdsText(find.messages);

    const ChildRun save = AsOrdinaryUser([] { return ExportHeadless(GetWorkDir() + "/out.txt"); });
    ASSERT_TRUE(save.ran);
    EXPECT_EQ(save.messages, (std::vector<UINT>{IDS_CANNOT_OPEN_DICT, IDS_SAVE_FAILED})) << IdsText(save.messages);
    EXPECT_FALSE(dir.Exists("out.txt")) << "nothing is made when there is nothing to write";

    // A file that its user may not write is not replaced by an export either.
    dir.Write("locked.txt", "precious\n");
    ASSERT_EQ(::chmod(dir.File("locked.txt").c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir.File("dictionary.dat").c_str(), 0644), 0);
    const ChildRun locked = AsOrdinaryUser([] { return ExportHeadless(GetWorkDir() + "/locked.txt"); });
    ASSERT_TRUE(locked.ran);
    EXPECT_EQ(locked.messages, std::vector<UINT>{IDS_CANNOT_CREATE_TEXT}) << IdsText(locked.messages);
    EXPECT_EQ(dir.Read("locked.txt"), "precious\n");
    ASSERT_EQ(::chmod(dir.File("dictionary.dat").c_str(), 0), 0);

    // An unreadable word list is refused before anything is created.
    dir.Write("secret.txt", kNewList);
    ASSERT_EQ(::chmod(dir.File("secret.txt").c_str(), 0), 0);
    const ChildRun refused = AsOrdinaryUser([] { return ImportHeadless(GetWorkDir() + "/secret.txt"); });
    ASSERT_TRUE(refused.ran);
    EXPECT_EQ(refused.messages, std::vector<UINT>{IDS_CANNOT_OPEN_TEXT}) << IdsText(refused.messages);
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));

    // The import does not need to read the old file: it replaces it.
    const ChildRun import = AsOrdinaryUser([] { return ImportHeadless(GetWorkDir() + "/new.txt"); });
    ASSERT_TRUE(import.ran);
    EXPECT_EQ(import.messages, std::vector<UINT>{IDS_LOAD_DONE}) << IdsText(import.messages);
    EXPECT_EQ(FindAll(6), "BANANA CHERRY ");
}

TEST_F(OddFilesTest, DirectoryNamedDictionaryDat) {
    ASSERT_EQ(::unlink(dir.File("dictionary.dat").c_str()), 0);
    ASSERT_EQ(::mkdir(dir.File("dictionary.dat").c_str(), 0755), 0);
    dir.Write("dictionary.dat/keep.txt", "mine");

    MessageRecorder recorder;
    EXPECT_EQ(FindAll(5), "(not opened)");
    EXPECT_EQ(ExportHeadless(dir.File("out.txt")), IDS_SAVE_FAILED);
    EXPECT_EQ(ImportHeadless(dir.File("new.txt")), IDS_LOAD_CANCELLED) << "the rename cannot replace a directory";
    EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{IDS_CANNOT_OPEN_DICT, IDS_CANNOT_OPEN_DICT, IDS_SAVE_FAILED,
                                                 IDS_CANNOT_RENAME, IDS_LOAD_CANCELLED}))
        << IdsText(recorder.Ids());
    EXPECT_EQ(dir.Read("dictionary.dat/keep.txt"), "mine");
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));
}

TEST_F(OddFilesTest, ExportTargetThatIsADirectoryOrALink) {
    ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
    dir.Write("folder/keep.txt", "mine");
    dir.Write("precious.txt", "precious contents");
    ASSERT_EQ(::symlink("precious.txt", dir.File("link.txt").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere/absent.txt", dir.File("dangling.txt").c_str()), 0);
    ASSERT_EQ(::symlink("missing.txt", dir.File("to-missing.txt").c_str()), 0);

    MessageRecorder recorder;
    for (const char* target : {"folder", "link.txt", "dangling.txt", "to-missing.txt"}) {
        SCOPED_TRACE(target);
        recorder.Clear();
        EXPECT_EQ(ExportHeadless(dir.File(target)), IDS_CANNOT_CREATE_TEXT);
        EXPECT_EQ(recorder.Ids(), std::vector<UINT>{IDS_CANNOT_CREATE_TEXT});
    }
    EXPECT_EQ(dir.Read("folder/keep.txt"), "mine");
    EXPECT_EQ(dir.Read("precious.txt"), "precious contents") << "a link's target is never truncated";
    EXPECT_TRUE(dir.Exists("link.txt"));
    EXPECT_TRUE(dir.Exists("dangling.txt"));
    EXPECT_FALSE(dir.Exists("missing.txt")) << "no file is created through a link";
}

TEST_F(OddFilesTest, ExportOntoTheDictionaryItselfIsRefused) {
    ASSERT_EQ(::link(dir.File("dictionary.dat").c_str(), dir.File("hard-link.dat").c_str()), 0);
    MessageRecorder recorder;
    for (const std::string& target : {dir.File("dictionary.dat"), dir.File("hard-link.dat"),
                                      dir.Path() + "/./dictionary.dat"}) {
        SCOPED_TRACE(target);
        recorder.Clear();
        EXPECT_EQ(ExportHeadless(target), IDS_CANNOT_CREATE_TEXT);
        EXPECT_EQ(recorder.Ids(), std::vector<UINT>{IDS_CANNOT_CREATE_TEXT});
        EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary) << "the dictionary was emptied by its own export";
    }
    const CliResult cli = RunCli(dir.Path(), {"export", "dictionary.dat"});
    EXPECT_EQ(cli.exitCode, 2);
    EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary);
}

TEST_F(OddFilesTest, DictionaryThatIsALinkIsReadAndReplacedNotItsTarget) {
    ASSERT_EQ(::mkdir(dir.File("store").c_str(), 0755), 0);
    ASSERT_EQ(::rename(dir.File("dictionary.dat").c_str(), dir.File("store/real.dat").c_str()), 0);
    ASSERT_EQ(::symlink("store/real.dat", dir.File("dictionary.dat").c_str()), 0);

    MessageRecorder recorder;
    EXPECT_EQ(FindAll(5), "WORDS ") << "a link to a dictionary is read like the file";
    EXPECT_EQ(ImportHeadless(dir.File("new.txt")), IDS_LOAD_DONE);
    EXPECT_EQ(FindAll(6), "BANANA CHERRY ");
    EXPECT_EQ(dir.Read("store/real.dat"), oldDictionary) << "the link's target is not written";
}

TEST_F(OddFilesTest, FifoInPlaceOfAFile) {
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    MessageRecorder recorder;

    // Nobody reads the FIFO: the export is refused at once instead of waiting.
    EXPECT_EQ(ExportHeadless(dir.File("pipe")), IDS_CANNOT_CREATE_TEXT);
    // A FIFO cannot be read three times alike, nor searched.
    EXPECT_EQ(ImportHeadless(dir.File("pipe")), IDS_CANNOT_OPEN_TEXT);
    ASSERT_EQ(::rename(dir.File("dictionary.dat").c_str(), dir.File("old.dat").c_str()), 0);
    ASSERT_EQ(::mkfifo(dir.File("dictionary.dat").c_str(), 0600), 0);
    EXPECT_EQ(FindAll(5), "(not opened)");
    EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{IDS_CANNOT_CREATE_TEXT, IDS_CANNOT_OPEN_TEXT, IDS_CANNOT_OPEN_DICT}))
        << IdsText(recorder.Ids());
    ASSERT_EQ(::rename(dir.File("old.dat").c_str(), dir.File("dictionary.dat").c_str()), 0);

    // With a reader, the export goes through the FIFO, which stays.
    std::string received;
    std::thread reader([&] {
        const int fd = ::open(dir.File("pipe").c_str(), O_RDONLY);
        char buffer[256];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            received.append(buffer, static_cast<size_t>(n));
        if (fd >= 0)
            ::close(fd);
    });
    // The export must find the reader there: open our own write end first so
    // the reader's open completes, then let the export open a second one.
    const int keepOpen = ::open(dir.File("pipe").c_str(), O_WRONLY);
    recorder.Clear();
    EXPECT_EQ(ExportHeadless(dir.File("pipe")), IDS_SAVE_DONE);
    ::close(keepOpen);
    reader.join();
    EXPECT_EQ(received, "OLD\nHERE\nSTAY\nWORDS\n");
    struct stat st {};
    EXPECT_EQ(::lstat(dir.File("pipe").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(OddFilesTest, TemporaryNameThatIsNoPlainFileIsNeverRenamedOverTheDictionary) {
    // A FIFO named dictionary.$$$, with someone reading it: the new words
    // would vanish into it, and the FIFO would then replace dictionary.dat.
    ASSERT_EQ(::mkfifo(dir.File("dictionary.$$$").c_str(), 0600), 0);
    std::string swallowed;
    std::thread reader([&] {
        const int fd = ::open(dir.File("dictionary.$$$").c_str(), O_RDONLY);
        char buffer[256];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            swallowed.append(buffer, static_cast<size_t>(n));
        if (fd >= 0)
            ::close(fd);
    });
    const int keepOpen = ::open(dir.File("dictionary.$$$").c_str(), O_WRONLY);
    MessageRecorder recorder;
    EXPECT_EQ(ImportHeadless(dir.File("new.txt")), IDS_CANNOT_OPEN_TEMP);
    ::close(keepOpen);
    reader.join();
    EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{IDS_CANNOT_OPEN_EXCLUSIVE, IDS_CANNOT_OPEN_TEMP}))
        << IdsText(recorder.Ids());
    EXPECT_EQ(swallowed, "");
    struct stat st {};
    ASSERT_EQ(::lstat(dir.File("dictionary.dat").c_str(), &st), 0);
    ASSERT_TRUE(S_ISREG(st.st_mode)) << "dictionary.dat was replaced by the FIFO";
    EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary);
    ASSERT_EQ(::lstat(dir.File("dictionary.$$$").c_str(), &st), 0) << "the FIFO is not ours to delete";
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(::unlink(dir.File("dictionary.$$$").c_str()), 0);

    // The same with our own null device under that name.
    if (::mknod(dir.File("dictionary.$$$").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make device nodes here";
    const int probe = ::open(dir.File("dictionary.$$$").c_str(), O_WRONLY);
    if (probe < 0)
        GTEST_SKIP() << "device nodes cannot be opened on this file system";
    ::close(probe);
    recorder.Clear();
    EXPECT_EQ(ImportHeadless(dir.File("new.txt")), IDS_CANNOT_OPEN_TEMP);
    ASSERT_EQ(::lstat(dir.File("dictionary.dat").c_str(), &st), 0);
    ASSERT_TRUE(S_ISREG(st.st_mode)) << "dictionary.dat was replaced by the device";
    EXPECT_EQ(dir.Read("dictionary.dat"), oldDictionary);
    ASSERT_EQ(::lstat(dir.File("dictionary.$$$").c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(OddFilesTest, ExportToAFifoWhoseReaderGoesAway) {
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    // More text than a pipe holds, so some write must meet the closed pipe.
    dir.Write("big.txt", DistinctWords(20000, 6));
    {
        MessageRecorder quiet;
        ASSERT_EQ(ImportHeadless(dir.File("big.txt")), IDS_LOAD_DONE);
    }

    // In a child, with the default disposition of SIGPIPE, as a desktop
    // program has it: the broken pipe must be a write failure, not a death.
    const ChildRun run = RunCollectingMessages(
        [] {
            std::signal(SIGPIPE, SIG_DFL);
            return true;
        },
        [this] {
            std::thread reader([this] {
                const int fd = ::open(dir.File("pipe").c_str(), O_RDONLY);
                char buffer[100];
                (void)::read(fd, buffer, sizeof buffer);
                ::close(fd);  // goes away after the first bytes
            });
            const int keepOpen = ::open(dir.File("pipe").c_str(), O_WRONLY);
            const UINT result = ExportHeadless(dir.File("pipe"));
            reader.join();
            ::close(keepOpen);
            return result;
        });
    ASSERT_TRUE(run.ran) << "the export died of the broken pipe";
    // A reader that stops reading ends the export quietly: no failure.
    EXPECT_EQ(run.outcome, kExportEndedByReader);
    EXPECT_TRUE(run.messages.empty()) << IdsText(run.messages);
    EXPECT_TRUE(dir.Exists("pipe")) << "a FIFO is not the export's to delete";
}

TEST_F(OddFilesTest, DeviceNodesAreUsedButNeverRemoved) {
    // Our own null and zero devices, made in the scratch directory.
    if (::mknod(dir.File("null-device").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        ::mknod(dir.File("zero-device").c_str(), S_IFCHR | 0666, makedev(1, 5)) != 0)
        GTEST_SKIP() << "cannot make device nodes here";
    const int probe = ::open(dir.File("null-device").c_str(), O_WRONLY);
    if (probe < 0)
        GTEST_SKIP() << "device nodes cannot be opened on this file system";
    ::close(probe);

    MessageRecorder recorder;
    EXPECT_EQ(ExportHeadless(dir.File("null-device")), IDS_SAVE_DONE);
    // A failed export to a device closes it and leaves the node alone.
    SetFileFaultHook([](FileOp op, const std::string& path) {
        return op == FileOp::Write && path.find("null-device") != std::string::npos;
    });
    EXPECT_EQ(ExportHeadless(dir.File("null-device")), IDS_SAVE_FAILED);
    ClearFileFaultHook();
    // An endless device is no word list and no dictionary: refused, no hang.
    EXPECT_EQ(ImportHeadless(dir.File("zero-device")), IDS_CANNOT_OPEN_TEXT);
    ASSERT_EQ(::rename(dir.File("zero-device").c_str(), dir.File("dictionary.dat").c_str()), 0);
    EXPECT_EQ(FindAll(5), "(not opened)");

    EXPECT_EQ(recorder.Ids(), (std::vector<UINT>{IDS_SAVE_DONE, IDS_CANNOT_WRITE_TEXT, IDS_SAVE_FAILED,
                                                 IDS_CANNOT_OPEN_TEXT, IDS_CANNOT_OPEN_DICT}))
        << IdsText(recorder.Ids());
    struct stat st {};
    EXPECT_EQ(::lstat(dir.File("null-device").c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(::lstat(dir.File("dictionary.dat").c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

}  // namespace
