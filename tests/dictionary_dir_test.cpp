// Where the programs keep their dictionary: the working directory when it
// holds one, else the user's Gridwell folder filled from the packaged
// default; gridwell-cli -C DIR. HOME and XDG_DATA_HOME point at scratch
// folders throughout.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "location/dictionary_dir.h"
#include "location/installed_word_lists.h"
#include "location/last_dictionary.h"
#include "location/work_dir.h"
#include "cli/cli_commands.h"
#include "tests/cli_run.h"
#include "platform/data_dir.h"
#include "tests/test_support.h"

namespace fs = std::filesystem;

namespace {

const char kMessage106[] = "Unable to open the dictionary file for input.";

// A dictionary of `words` made by the real import in `dir`.
std::string Build(const ScratchDir& dir, const std::vector<std::string>& words) {
    SetWorkDirForTesting(dir.Path());
    return BuildDictionary(dir, words);
}

std::vector<std::string> FolderEntries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class DictionaryDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        char buffer[4096];
        ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
        m_savedCwd = buffer;
        for (const char* name : {"HOME", "XDG_DATA_HOME"})
            if (const char* value = std::getenv(name))
                m_savedEnv.emplace_back(name, value);
        fs::create_directories(home.Path() + "/work");
        ::setenv("HOME", home.Path().c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home.Path() + "/data").c_str(), 1);
        // The packaged default: a small dictionary made by the real import.
        packagedBytes = Build(packaged, {"CAT", "COT", "CUT", "DOG"});
        SetDataDirForTesting(packaged.Path());
        ASSERT_EQ(::chdir(work().c_str()), 0);
    }
    void TearDown() override {
        SetDataDirForTesting("");
        EXPECT_EQ(::chdir(m_savedCwd.c_str()), 0);
        ::unsetenv("HOME");
        ::unsetenv("XDG_DATA_HOME");
        for (const auto& [name, value] : m_savedEnv)
            ::setenv(name.c_str(), value.c_str(), 1);
    }

    std::string work() const { return home.Path() + "/work"; }
    std::string userDir() const { return home.Path() + "/data/gridwell"; }

    using Run = CliRun;
    Run RunTool(const std::vector<std::string>& args) { return RunCliCapturing(args); }

    ScratchDir packaged;
    ScratchDir home;
    std::string packagedBytes;

private:
    std::string m_savedCwd;
    std::vector<std::pair<std::string, std::string>> m_savedEnv;
};

TEST_F(DictionaryDirTest, FirstUseMakesTheUserFolderWithTheDefault) {
    RecordDictionaryDir();
    EXPECT_EQ(GetWorkDir(), userDir());
    struct stat st {};
    ASSERT_EQ(::stat(userDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "new data folders are private";
    ASSERT_EQ(::stat((home.Path() + "/data").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(FolderEntries(userDir()), std::vector<std::string>{"dictionary.dat"}) << "no temporary file is left";
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"CAT", "COT", "CUT", "DOG"}));
    EXPECT_FALSE(fs::exists(work() + "/dictionary.dat")) << "the working directory is left alone";
}

TEST_F(DictionaryDirTest, AnExistingDictionaryIsNeverReplaced) {
    fs::create_directories(userDir());
    const std::string mine = Build(home, {"ZEBRA", "ZOO"});
    fs::rename(home.File("dictionary.dat"), userDir() + "/dictionary.dat");
    ASSERT_EQ(::chdir(work().c_str()), 0);
    RecordDictionaryDir();
    EXPECT_EQ(GetWorkDir(), userDir());
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"ZOO", "ZEBRA"}));
    // Installing over it directly is refused as well, and leaves nothing behind.
    EXPECT_TRUE(InstallDefaultDictionary(packaged.File("dictionary.dat"), userDir()));
    std::FILE* f = std::fopen((userDir() + "/dictionary.dat").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadWholeStream(f), mine);
    std::fclose(f);
    EXPECT_EQ(FolderEntries(userDir()), std::vector<std::string>{"dictionary.dat"});
}

TEST_F(DictionaryDirTest, AFailedCopyLeavesNoDictionary) {
    fs::create_directories(userDir());
    EXPECT_FALSE(InstallDefaultDictionary(packaged.File("missing.dat"), userDir()));
    EXPECT_TRUE(FolderEntries(userDir()).empty());
    // A source that opens but fails while it is read (a folder): the
    // temporary file is removed and no dictionary.dat appears.
    EXPECT_FALSE(InstallDefaultDictionary(packaged.Path(), userDir()));
    EXPECT_TRUE(FolderEntries(userDir()).empty());
}

TEST_F(DictionaryDirTest, TheWorkingDirectoryWinsWhenItHasADictionary) {
    ScratchDir local;
    Build(local, {"ANT", "BEE"});
    ASSERT_EQ(::chdir(local.Path().c_str()), 0);
    RecordDictionaryDir();
    EXPECT_EQ(GetWorkDir(), local.Path());
    EXPECT_FALSE(fs::exists(home.Path() + "/data")) << "the user's folder is not made when it is not used";
}

TEST_F(DictionaryDirTest, WithoutAPackagedDefaultTheWorkingDirectoryStays) {
    SetDataDirForTesting(home.Path() + "/nothing-here");
    RecordDictionaryDir();
    EXPECT_EQ(GetWorkDir(), work());
    EXPECT_FALSE(fs::exists(home.Path() + "/data"));
    const Run run = RunTool({"find", "c?t"});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_EQ(run.err.rfind(kMessage106, 0), 0u) << run.err;
}

TEST_F(DictionaryDirTest, TheUserFolderFollowsXdgDataHomeOrHome) {
    EXPECT_EQ(UserDictionaryDir(), userDir());
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(UserDictionaryDir(), home.Path() + "/.local/share/gridwell") << "a relative XDG_DATA_HOME is ignored";
    ::setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(UserDictionaryDir(), home.Path() + "/.local/share/gridwell");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(UserDictionaryDir(), home.Path() + "/.local/share/gridwell");
    RecordDictionaryDir();
    EXPECT_TRUE(fs::exists(home.Path() + "/.local/share/gridwell/dictionary.dat"));
}

TEST_F(DictionaryDirTest, CliFindImportAndExportUseTheUserFolder) {
    EXPECT_EQ(RunTool({"find", "c?t"}).out, "CAT\nCOT\nCUT\n");
    {
        std::FILE* words = std::fopen((work() + "/mine.txt").c_str(), "w");
        std::fputs("cat\ncap\n", words);
        std::fclose(words);
    }
    EXPECT_EQ(RunTool({"import", "mine.txt"}).exitCode, kExitOk);
    EXPECT_FALSE(fs::exists(work() + "/dictionary.dat")) << "import replaced the user's dictionary, not a new one here";
    EXPECT_EQ(RunTool({"find", "ca?"}).out, "CAP\nCAT\n") << "find reads what the import made";
    EXPECT_EQ(RunTool({"export", "-"}).out, "CAP\nCAT\n");
    EXPECT_EQ(FolderEntries(userDir()), std::vector<std::string>{"dictionary.dat"});
}

TEST_F(DictionaryDirTest, CliDirectoryOptionHasNoFallback) {
    ScratchDir other;
    Build(other, {"EMU", "ELK"});
    // -C wins over a dictionary in the working directory and the user's folder.
    ScratchDir local;
    Build(local, {"ANT"});
    ASSERT_EQ(::chdir(local.Path().c_str()), 0);
    EXPECT_EQ(RunTool({"-C", other.Path(), "find", "e??"}).out, "ELK\nEMU\n");
    EXPECT_EQ(RunTool({"find", "-C" + other.Path(), "3"}).out, "ELK\nEMU\n");
    // A relative -C is taken from the working directory, then from the -C before it.
    fs::create_directories(local.Path() + "/sub/deeper");
    fs::copy_file(other.File("dictionary.dat"), local.Path() + "/sub/deeper/dictionary.dat");
    EXPECT_EQ(RunTool({"-C", "sub", "-C", "deeper", "find", "3"}).out, "ELK\nEMU\n");

    // An empty folder: message 106, never the user's folder or the default.
    ScratchDir empty;
    const Run none = RunTool({"-C", empty.Path(), "find", "c?t"});
    EXPECT_EQ(none.exitCode, kExitFailure);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err.rfind(kMessage106, 0), 0u) << none.err;
    EXPECT_FALSE(fs::exists(home.Path() + "/data"));

    // A folder that does not exist is refused before anything is done.
    const Run missing = RunTool({"-C", empty.Path() + "/nope", "find", "c?t"});
    EXPECT_EQ(missing.exitCode, kExitFailure);
    EXPECT_NE(missing.err.find("/nope: No such file or directory"), std::string::npos) << missing.err;
    const Run notDir = RunTool({"-C", other.File("dictionary.dat"), "find", "c?t"});
    EXPECT_NE(notDir.err.find("Not a directory"), std::string::npos) << notDir.err;
    EXPECT_EQ(RunTool({"find", "c?t", "-C"}).exitCode, kExitFailure);
    const Run emptyName = RunTool({"-C", "", "find", "c?t"});
    EXPECT_EQ(emptyName.exitCode, kExitFailure) << "an empty DIR is no fallback either";
    EXPECT_EQ(emptyName.out, "");

    // -C . import makes a new dictionary right there.
    ASSERT_EQ(::chdir(empty.Path().c_str()), 0);
    empty.Write("w.txt", "gnu\n");
    EXPECT_EQ(RunTool({"-C", ".", "import", "w.txt"}).exitCode, kExitOk);
    EXPECT_TRUE(empty.Exists("dictionary.dat"));
    EXPECT_EQ(RunTool({"find", "g2"}).out, "GNU\n");
}

TEST_F(DictionaryDirTest, HelpSaysWhereTheDictionaryIsLookedFor) {
    const std::string help = kCliHelp;
    const size_t option = help.find("-C DIR: DIR/dictionary.dat");
    const size_t cwd = help.find("dictionary.dat in the current directory");
    const size_t user = help.find("$XDG_DATA_HOME/gridwell");
    ASSERT_NE(option, std::string::npos);
    ASSERT_NE(cwd, std::string::npos);
    ASSERT_NE(user, std::string::npos);
    EXPECT_LT(option, cwd);
    EXPECT_LT(cwd, user);
    EXPECT_NE(std::string(kCliUsage).find("[-C DIR]"), std::string::npos);
}

}  // namespace

namespace {

class NamedDictionaryTest : public DictionaryDirTest {};

TEST_F(NamedDictionaryTest, EachNamedDictionaryHasItsOwnFolderBesideTheDefault) {
    std::FILE* list = std::fopen((work() + "/fr.txt").c_str(), "w");
    ASSERT_NE(list, nullptr);
    std::fputs("\xC3\xA9t\xC3\xA9\nete\nchat\n", list);
    std::fclose(list);
    // The default is made from the packaged one on first use, as always.
    EXPECT_EQ(RunTool({"find", "c?t"}).out, "CAT\nCOT\nCUT\n");
    const Run imported = RunTool({"--dictionary", "french", "import", "--fold-accents", "fr.txt"});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(FolderEntries(userDir() + "/french"), std::vector<std::string>{"dictionary.dat"});
    EXPECT_EQ(RunTool({"--dictionary", "french", "find", "e?e"}).out, "ETE\n");
    EXPECT_EQ(RunTool({"--dictionary=french", "find", "c?t"}).exitCode, 1);
    EXPECT_EQ(RunTool({"find", "c?t"}).out, "CAT\nCOT\nCUT\n") << "the default dictionary is untouched";
    EXPECT_EQ(RunTool({"--dictionary", "default", "find", "d?g"}).out, "DOG\n");

    const Run listed = RunTool({"dictionaries"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "default                  4 words  " + userDir() + "\n" +
                              "french                   2 words  " + userDir() + "/french\n");
}

TEST_F(NamedDictionaryTest, OnlyAnImportMakesADictionaryAndNamesArePlainFolderNames) {
    const Run missing = RunTool({"--dictionary", "german", "find", "c?t"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("no dictionary named german"), std::string::npos);
    EXPECT_FALSE(fs::exists(userDir() + "/german")) << "a search makes no folder";
    for (const char* bad : {"../x", "a/b", ".hidden", "-x", "", "caf\xC3\xA9"})
        EXPECT_EQ(RunTool({"--dictionary", bad, "find", "c?t"}).exitCode, 2) << bad;
    EXPECT_EQ(RunTool({"-C", work(), "--dictionary", "french", "find", "c?t"}).exitCode, 2);
    EXPECT_EQ(RunTool({"dictionaries"}).exitCode, 1) << "an empty user folder lists nothing";
}

}  // namespace

namespace {

// Debian's word lists of other languages (tools/install-deps installs them),
// imported with folding into a dictionary of their own, as a solver would.
class DebianWordListTest : public DictionaryDirTest {
protected:
    // Imports /usr/share/dict/`list` into the dictionary `name` and gives
    // what `find` lists for `pattern` there.
    std::vector<std::string> ImportAndFind(const std::string& list, const std::string& name,
                                           const std::string& pattern) {
        const std::string path = "/usr/share/dict/" + list;
        const Run imported = RunTool({"--dictionary", name, "import", "--fold-accents", path});
        EXPECT_EQ(imported.exitCode, 0) << imported.err;
        EXPECT_EQ(imported.err.find("not UTF-8"), std::string::npos) << imported.err;
        const Run found = RunTool({"--dictionary", name, "find", pattern});
        std::vector<std::string> words;
        for (size_t at = 0, end; (end = found.out.find('\n', at)) != std::string::npos; at = end + 1)
            words.push_back(found.out.substr(at, end - at));
        return words;
    }
    static bool Has(const std::vector<std::string>& words, const char* word) {
        return std::find(words.begin(), words.end(), word) != words.end();
    }
};

#define SKIP_WITHOUT_LIST(list, package)                                                        \
    if (!fs::exists("/usr/share/dict/" list))                                                   \
        GTEST_SKIP() << "/usr/share/dict/" list " is not installed (package " package           \
                        "; tools/install-deps installs it)"

TEST_F(DebianWordListTest, FrenchFoldsEteFromItsAccentedForm) {
    SKIP_WITHOUT_LIST("french", "wfrench");
    const std::vector<std::string> words = ImportAndFind("french", "french", "e?e");
    EXPECT_TRUE(Has(words, "ETE"));
    EXPECT_EQ(RunTool({"--dictionary", "french", "find", "caf\xC3\xA9"}).out, "CAFE\n");
}

TEST_F(DebianWordListTest, GermanFoldsTheSharpS) {
    SKIP_WITHOUT_LIST("ngerman", "wngerman");
    EXPECT_TRUE(Has(ImportAndFind("ngerman", "german", "str3e"), "STRASSE"));
    EXPECT_EQ(RunTool({"--dictionary", "german", "find", "stra\xC3\x9F" "e"}).out, "STRASSE\n");
}

TEST_F(DebianWordListTest, SpanishFoldsTheTilde) {
    SKIP_WITHOUT_LIST("spanish", "wspanish");
    EXPECT_TRUE(Has(ImportAndFind("spanish", "spanish", "a?o"), "ANO"));
}

}  // namespace

namespace {

TEST_F(DictionaryDirTest, TheLastDictionaryIsRememberedWholeInTheConfigFolder) {
    const std::string config = home.Path() + "/config";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(LoadLastDictionary(), "") << "nothing remembered yet";
    EXPECT_TRUE(SaveLastDictionary("french"));
    EXPECT_TRUE(SaveLastDictionary("german"));
    EXPECT_EQ(LoadLastDictionary(), "german");
    EXPECT_EQ(FolderEntries(config + "/gridwell"), std::vector<std::string>{"last-dictionary"})
        << "no temporary file is left";
    EXPECT_FALSE(SaveLastDictionary("../x"));
    // A file that holds no dictionary name is not taken for one.
    std::FILE* f = std::fopen((config + "/gridwell/last-dictionary").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("../../etc\n", f);
    std::fclose(f);
    EXPECT_EQ(LoadLastDictionary(), "");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(InstalledWordLists, ListsArePackagesWithTheirLanguage) {
    EXPECT_EQ(WordListLanguage("wfrench"), "French");
    EXPECT_EQ(WordListLanguage("wamerican-huge"), "American English");
    EXPECT_EQ(WordListLanguage("wklingon"), "wklingon");
    EXPECT_TRUE(IsEnglishDictionary("default"));
    EXPECT_FALSE(IsEnglishDictionary("french"));
    if (!fs::exists("/usr/share/dict/french"))
        GTEST_SKIP() << "/usr/share/dict/french is not installed (package wfrench)";
    const std::vector<InstalledWordList> lists = FindInstalledWordLists();
    const auto french = std::find_if(lists.begin(), lists.end(),
                                     [](const InstalledWordList& list) { return list.path == "/usr/share/dict/french"; });
    ASSERT_NE(french, lists.end());
    EXPECT_EQ(french->package, "wfrench");
    EXPECT_EQ(french->language, "French");
    EXPECT_EQ(french->name, "french");
    for (const InstalledWordList& list : lists)
        EXPECT_NE(list.path, "/usr/share/dict/words") << "the alternatives' link is no list of its own";
}

}  // namespace
