// Opening dictionary.dat, loading its trailer and decoding blocks, including
// files that are missing, short or damaged.
#include <string>
#include <unistd.h>
#include <vector>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "platform/file_faults.h"
#include "tests/test_support.h"

namespace {

std::string Int24(int v) {
    return {static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)};
}

// A file with the given block bytes and trailer entries (count, start) for
// lengths 2..longest.
std::string MakeFile(const std::string& blocks, const std::vector<std::pair<int, int>>& entries) {
    std::string file = blocks;
    for (const auto& [count, start] : entries)
        file += Int24(count) + Int24(start);
    file += static_cast<char>(entries.size() + 1);
    return file;
}

// Decodes every word of one length, collecting the messages the dictionary
// returns or keeps for its caller; it shows none itself.
std::vector<std::string> WordsOfLength(int length, std::vector<UINT>* messages = nullptr) {
    MessageRecorder recorder;
    std::vector<std::string> words;
    std::vector<UINT> said;
    CDictionary dict(GetWorkDir());
    std::vector<Status> reported;
    dict.SetFailureReporter([&reported](const Status& failure) { reported.push_back(failure); });
    if (const Status opened = dict.OpenForReading(); !opened) {
        said.push_back(opened.nMessage);
    } else {
        int count = 0;
        if (const Status prepared = dict.PrepareSearch(false, std::to_string(length), "", false, count); !prepared) {
            said.push_back(prepared.nMessage);
        } else {
            CString word;
            while (dict.NextMatch(word, true))
                words.push_back(word);
            EXPECT_FALSE(dict.NextMatch(word, true)) << "the end of a block must stay the end";
            if (!dict.Failure()) {
                said.push_back(dict.Failure().nMessage);
                EXPECT_EQ(dict.Failure().icon, MsgIcon::Stop);
                EXPECT_TRUE(dict.DamageFound());
            }
            // Each failure reaches the reporter once, as the walk meets it.
            EXPECT_EQ(reported, dict.Failure() ? std::vector<Status>{} : std::vector<Status>{dict.Failure()});
        }
    }
    EXPECT_TRUE(recorder.Ids().empty()) << "the dictionary showed a message itself";
    if (messages)
        *messages = said;
    return words;
}

struct OpenOutcome {
    bool opened;
    std::vector<UINT> messages;
    int longest;
};

// Opens a file of these bytes; the messages are what the opening returned.
OpenOutcome OpenFileWith(const ScratchDir& dir, const std::string& bytes) {
    dir.Write("dictionary.dat", bytes);
    MessageRecorder recorder;
    CDictionary dict(GetWorkDir());
    const Status opened = dict.OpenForReading();
    EXPECT_TRUE(recorder.Ids().empty()) << "the dictionary showed a message itself";
    return {opened.Succeeded(), opened ? std::vector<UINT>{} : std::vector<UINT>{opened.nMessage},
            dict.GetMaxLength()};
}

TEST(DictionaryReader, OpenFailuresShowTheirMessages) {
    ScratchDir dir;
    {
        MessageRecorder recorder;
        CDictionary dict(GetWorkDir());
        EXPECT_EQ(dict.OpenForReading(), Status::Message(106, MsgIcon::Stop));
        EXPECT_TRUE(recorder.Messages().empty());
        // Shown by the caller, as the window and the command line show it.
        ShowIfFailed(dict.OpenForReading());
        EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{106, MsgIcon::Stop, MsgButtons::Ok}}));
    }
    const OpenOutcome empty = OpenFileWith(dir, "");
    EXPECT_FALSE(empty.opened);
    EXPECT_EQ(empty.messages, std::vector<UINT>{108});

    // Longest length 5 needs a 25-byte trailer; this file has 10 bytes.
    const OpenOutcome shortFile = OpenFileWith(dir, std::string(9, '\0') + "\x05");
    EXPECT_FALSE(shortFile.opened);
    EXPECT_EQ(shortFile.messages, std::vector<UINT>{109});
}

TEST(DictionaryReader, LongestLengthByteIsReadUnsigned) {
    ScratchDir dir;
    const OpenOutcome none = OpenFileWith(dir, std::string(1, '\0'));
    EXPECT_TRUE(none.opened);
    EXPECT_EQ(none.longest, 0);
    EXPECT_TRUE(none.messages.empty());

    const OpenOutcome big = OpenFileWith(dir, std::string(6 * 200 - 6, '\0') + "\xC8");
    EXPECT_TRUE(big.opened);
    EXPECT_EQ(big.longest, 200);
    EXPECT_TRUE(big.messages.empty());
    EXPECT_TRUE(WordsOfLength(1).empty());
    EXPECT_TRUE(WordsOfLength(150).empty());
}

TEST(DictionaryReader, ReadAndAllocationFailuresAreReported) {
    ScratchDir dir;
    BuildDictionary(dir, {"CAT", "DOG"});
    {
        SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Read; });
        MessageRecorder recorder;
        CDictionary dict(GetWorkDir());
        // The longest-length byte cannot be read: the opening fails, rather
        // than showing the dictionary as empty (every pattern "too long").
        EXPECT_EQ(dict.OpenForReading(), Status::Message(110, MsgIcon::Stop));
        EXPECT_EQ(dict.GetMaxLength(), 0);
        EXPECT_TRUE(recorder.Ids().empty());
        ClearFileFaultHook();
    }
    {
        int reads = 0;
        SetFileFaultHook([&reads](FileOp op, const std::string&) { return op == FileOp::Read && ++reads == 2; });
        MessageRecorder recorder;
        CDictionary dict(GetWorkDir());
        // A trailer that cannot be read is a failure.
        EXPECT_EQ(dict.OpenForReading(), Status::Message(110, MsgIcon::Stop));
        EXPECT_TRUE(recorder.Ids().empty());
        ClearFileFaultHook();
    }
    {
        SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Allocate; });
        MessageRecorder recorder;
        CDictionary dict(GetWorkDir());
        EXPECT_EQ(dict.OpenForReading(), Status::Message(111, MsgIcon::Stop));
        EXPECT_TRUE(recorder.Ids().empty());
        ClearFileFaultHook();
    }
    {
        int seeks = 0;  // the third seek is the one to the block
        SetFileFaultHook([&seeks](FileOp op, const std::string&) { return op == FileOp::Seek && ++seeks == 3; });
        MessageRecorder recorder;
        CDictionary dict(GetWorkDir());
        int count = 0;
        ASSERT_TRUE(dict.OpenForReading());
        EXPECT_EQ(dict.PrepareSearch(false, "c?t", "", false, count), Status::Message(112, MsgIcon::Stop));
        EXPECT_TRUE(recorder.Ids().empty());
        ClearFileFaultHook();
    }
}

TEST(DictionaryReader, DecodesBlocksWithPrefixesAcrossGroupsAndStopsAtTheCount) {
    ScratchDir dir;
    std::vector<std::string> words;
    for (const char* w : {"ABSTRACT", "ABSTRACTS", "ABSTAIN", "ABSTAINER", "ABSTAINERS", "ABSOLUTE", "ABSOLUTELY"})
        words.push_back(w);
    BuildDictionary(dir, words);
    EXPECT_EQ(WordsOfLength(7), (std::vector<std::string>{"ABSTAIN"}));
    EXPECT_EQ(WordsOfLength(8), (std::vector<std::string>{"ABSOLUTE", "ABSTRACT"}));
    EXPECT_EQ(WordsOfLength(9), (std::vector<std::string>{"ABSTAINER", "ABSTRACTS"}));
    EXPECT_EQ(WordsOfLength(10), (std::vector<std::string>{"ABSOLUTELY", "ABSTAINERS"}));
    EXPECT_TRUE(WordsOfLength(5).empty());
}

TEST(DictionaryReader, DamagedBlocksEndWithAMessageAndKeepEarlierWords) {
    ScratchDir dir;
    // Packs 5-bit codes into groups, padding the last with zero codes.
    const auto pack = [](std::vector<int> codes) {
        while (codes.size() % 8)
            codes.push_back(0);
        std::string bytes;
        for (size_t g = 0; g < codes.size(); g += 8) {
            uint64_t v = 0;
            for (int i = 0; i < 8; ++i)
                v = (v << 5) | static_cast<uint64_t>(codes[g + i]);
            for (int i = 4; i >= 0; --i)
                bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
        return bytes;
    };
    std::vector<UINT> messages;

    // Sound: CAT, CA+B.
    dir.Write("dictionary.dat", MakeFile(pack({2, 0, 19, 26, 1}), {{0, 0}, {2, 0}}));
    EXPECT_EQ(WordsOfLength(3, &messages), (std::vector<std::string>{"CAT", "CAB"}));
    EXPECT_TRUE(messages.empty());

    // A prefix code in the first word of a block: nothing to repeat.
    dir.Write("dictionary.dat", MakeFile(pack({26, 1, 2, 0, 19}), {{0, 0}, {2, 0}}));
    EXPECT_TRUE(WordsOfLength(3, &messages).empty());
    EXPECT_EQ(messages, std::vector<UINT>{113});

    // A prefix code in the middle of the second word.
    dir.Write("dictionary.dat", MakeFile(pack({2, 0, 19, 1, 26, 0}), {{0, 0}, {2, 0}}));
    EXPECT_EQ(WordsOfLength(3, &messages), std::vector<std::string>{"CAT"});
    EXPECT_EQ(messages, std::vector<UINT>{113});

    // A prefix as long as the word itself.
    dir.Write("dictionary.dat", MakeFile(pack({0, 1, 26, 2, 3}), {{2, 0}}));
    EXPECT_EQ(WordsOfLength(2, &messages), std::vector<std::string>{"AB"});
    EXPECT_EQ(messages, std::vector<UINT>{113});

    // A count that needs more groups than the block holds: the padding decodes
    // as letters, but the next block's bytes are never taken for this length.
    dir.Write("dictionary.dat", MakeFile(pack({2, 0, 19}) + pack({3, 14, 6, 18}), {{0, 0}, {5, 0}, {1, 5}}));
    EXPECT_EQ(WordsOfLength(3, &messages), (std::vector<std::string>{"CAT", "AAA"}));
    EXPECT_EQ(messages, std::vector<UINT>{113});
    EXPECT_EQ(WordsOfLength(4, &messages), std::vector<std::string>{"DOGS"});
    EXPECT_TRUE(messages.empty());

    // A block start past the end of the data.
    dir.Write("dictionary.dat", MakeFile(pack({2, 0, 19}), {{0, 0}, {1, 4000}}));
    EXPECT_TRUE(WordsOfLength(3, &messages).empty());
    EXPECT_EQ(messages, std::vector<UINT>{113});

    // A huge count in a tiny block.
    dir.Write("dictionary.dat", MakeFile(pack({2, 0, 19}), {{0, 0}, {0xFFFFFF, 0}}));
    EXPECT_EQ(WordsOfLength(3, &messages), (std::vector<std::string>{"CAT", "AAA"}));
    EXPECT_EQ(messages, std::vector<UINT>{113});
}

TEST(DictionaryReader, TotalWordsCountsEveryLength) {
    ScratchDir dir;
    BuildDictionary(dir, {"AT", "BE", "CAT", "HOUSE", "HOUSES", "cat"});
    MessageRecorder recorder;
    CDictionary dict(GetWorkDir());
    ASSERT_TRUE(dict.OpenForReading());
    EXPECT_EQ(dict.GetMaxLength(), 6);
    EXPECT_EQ(dict.GetTotalWords(), 5);
}

TEST(DictionaryReader, ADictionaryWorksInTheFolderItIsGivenNotTheProgramOne) {
    ScratchDir given;
    BuildDictionary(given, {"CAT", "DOG", "HOUSE"});
    given.Write("dictionary.$$$", "stale");
    ScratchDir program;  // now the program's folder
    BuildDictionary(program, {"OX"});
    program.Write("dictionary.$$$", "stale");
    ASSERT_EQ(GetWorkDir(), program.Path());
    {
        MessageRecorder recorder;
        CDictionary dict(given.Path());
        ASSERT_TRUE(dict.OpenForReading());
        EXPECT_EQ(dict.GetMaxLength(), 5);
        EXPECT_EQ(dict.GetTotalWords(), 3);
        EXPECT_EQ(dict.GetTempPath(), given.File("dictionary.$$$"));
    }
    EXPECT_FALSE(given.Exists("dictionary.$$$")) << "its own folder's leftover goes";
    EXPECT_TRUE(program.Exists("dictionary.$$$")) << "the program's folder is left alone";
}

TEST(DictionaryReader, LeftoverTemporaryFileIsRemovedOnlyWhenNobodyHoldsIt) {
    ScratchDir dir;
    BuildDictionary(dir, {"CAT"});
    dir.Write("dictionary.$$$", "stale");
    { CDictionary reader(GetWorkDir()); }
    EXPECT_FALSE(dir.Exists("dictionary.$$$"));

    MessageRecorder recorder;
    CDictionary writer(GetWorkDir());
    ASSERT_TRUE(ShowIfFailed(writer.OpenForWriting()));
    writer.Close();  // closed by the import worker, but not yet renamed
    { CDictionary otherFind(GetWorkDir()); }
    EXPECT_TRUE(dir.Exists("dictionary.$$$"));
    {
        CDictionary secondImport(GetWorkDir());
        EXPECT_FALSE(ShowIfFailed(secondImport.OpenForWriting()));
        EXPECT_TRUE(dir.Exists("dictionary.$$$"));
    }
    EXPECT_EQ(recorder.Ids(), std::vector<UINT>{107});
}

TEST(DictionaryReader, TemporaryFileIsNeverOpenedThroughALink) {
    ScratchDir dir;
    dir.Write("precious.txt", "keep me");
    ASSERT_EQ(::symlink(dir.File("precious.txt").c_str(), dir.File("dictionary.$$$").c_str()), 0);
    MessageRecorder recorder;
    {
        CDictionary writer(GetWorkDir());
        EXPECT_EQ(writer.OpenForWriting(), Status::Message(107, MsgIcon::Stop));
    }
    EXPECT_TRUE(recorder.Ids().empty()) << "the dictionary showed a message itself";
    EXPECT_EQ(dir.Read("precious.txt"), "keep me");
    EXPECT_TRUE(dir.Exists("dictionary.$$$"));
}

}  // namespace
