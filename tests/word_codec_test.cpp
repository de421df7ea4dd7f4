// The word codes on their own: the encoder against hand-worked groups, a
// length block walked without any search set up, and the writer's blocks
// and trailer driven directly.
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "dictionary/word_codec.h"
#include "location/work_dir.h"
#include "platform/file_faults.h"
#include "res/string_table.h"
#include "tests/test_support.h"

namespace {

struct ByteSink {
    std::string bytes;
    void TakeGroup(uint64_t value) {
        unsigned char group[kGroupBytes];
        StoreGroup(value, group);
        bytes.append(reinterpret_cast<const char*>(group), kGroupBytes);
    }
};

// The block the encoder makes of these words, and how many it kept.
std::pair<std::string, int> EncodeBlock(const std::vector<std::string>& words) {
    ByteSink sink;
    CWordEncoder encoder;
    encoder.StartBlock();
    int kept = 0;
    for (const std::string& word : words)
        kept += encoder.PutWord(word.data(), static_cast<int>(word.size()), sink) ? 1 : 0;
    encoder.FinishBlock(sink);
    return {sink.bytes, kept};
}

std::vector<std::string> WalkBlock(CDictionary& dict, int length) {
    std::vector<std::string> words;
    EXPECT_TRUE(dict.SeekToLength(length));
    CString word;
    while (dict.NextWord(word))
        words.push_back(word);
    return words;
}

TEST(WordCodec, EncoderMakesTheHandWorkedGroups) {
    // A repeat is left out; CRANK repeats 4 letters (code 28), CRATE 3 (27).
    const auto [crane, nCrane] = EncodeBlock({"CRANE", "CRANE", "CRANK", "CRATE"});
    EXPECT_EQ(Hex(crane), "14 40 D2 71 5B 99 00 00 00 00");
    EXPECT_EQ(nCrane, 3);
    // Eight shared letters still repeat only seven (code 31).
    EXPECT_EQ(Hex(EncodeBlock({"PRESERVED", "PRESERVES"}).first), "7C 49 22 46 A4 1F C9 20 00 00");
    // One shared letter is spelt out; eight codes fill a group with no padding.
    EXPECT_EQ(Hex(EncodeBlock({"AB", "AC", "AD", "AE"}).first), "00 40 20 0C 04");
    EXPECT_EQ(EncodeBlock({}).first, "");
}

TEST(WordCodec, EncoderStartsEachBlockAfresh) {
    ByteSink sink;
    CWordEncoder encoder;
    encoder.StartBlock();
    const std::string first = "CRANE";
    encoder.PutWord(first.data(), 5, sink);
    EXPECT_TRUE(encoder.FinishBlock(sink));
    EXPECT_FALSE(encoder.FinishBlock(sink)) << "nothing pending after the padding";
    // The next block's first word is spelt out whole, even when it repeats
    // the letters of the last word of the block before.
    encoder.StartBlock();
    EXPECT_TRUE(encoder.PutWord(first.data(), 5, sink));
    encoder.FinishBlock(sink);
    EXPECT_EQ(sink.bytes.substr(0, 5), sink.bytes.substr(5, 5));
}

TEST(WordCodec, ABlockIsWalkedOnItsOwnWhateverTheSearchBefore) {
    ScratchDir dir;
    BuildDictionary(dir, {"CAT", "COT", "CRANE", "CRANK", "CRATE", "PRESERVED", "PRESERVES"});
    CDictionary dict(GetWorkDir());
    ASSERT_TRUE(dict.OpenForReading());
    // No search prepared: the block's own length decides the words.
    EXPECT_EQ(WalkBlock(dict, 5), (std::vector<std::string>{"CRANE", "CRANK", "CRATE"}));
    // After a search of another length, a seek walks the new block whole.
    int nResults = 0;
    ASSERT_TRUE(dict.PrepareSearch(FALSE, "c?t", CString(), FALSE, nResults));
    CString word;
    ASSERT_TRUE(dict.NextMatch(word, FALSE));
    EXPECT_EQ(word, "CAT");
    EXPECT_EQ(WalkBlock(dict, 9), (std::vector<std::string>{"PRESERVED", "PRESERVES"}));
    EXPECT_EQ(WalkBlock(dict, 3), (std::vector<std::string>{"CAT", "COT"}));
    // Lengths with no words, and lengths the file does not have.
    EXPECT_TRUE(WalkBlock(dict, 4).empty());
    EXPECT_TRUE(WalkBlock(dict, 1).empty());
    EXPECT_TRUE(WalkBlock(dict, 200).empty());
    EXPECT_FALSE(dict.DamageFound());
}

TEST(WordCodec, WriterKeepsEachLengthsCountAndStartForTheTrailer) {
    ScratchDir dir;
    MessageRecorder messages;
    {
        CDictionary dict(GetWorkDir());
        ASSERT_TRUE(dict.OpenForWriting());
        dict.BeginBlock(2);
        EXPECT_TRUE(dict.WriteWord("AB"));
        EXPECT_FALSE(dict.WriteWord("AB")) << "a repeat is written once";
        EXPECT_EQ(dict.EndBlock(), 1);
        // Lengths 3 and 4 are passed over: empty blocks starting at block 5.
        dict.BeginBlock(5);
        for (const char* word : {"CRANE", "CRANK", "CRATE"})
            dict.WriteWord(word);
        EXPECT_EQ(dict.EndBlock(), 3);
        EXPECT_TRUE(dict.LengthFitsFormat(5));
        dict.WriteTrailer();
        ASSERT_TRUE(dict.FinishWriting());
        ASSERT_TRUE(dict.ReplaceDictionary());
    }
    const std::string file = dir.Read("dictionary.dat");
    EXPECT_EQ(Hex(file), "00 40 00 00 00 14 40 D2 71 5B 99 00 00 00 00 "
                         "00 00 01 00 00 00 00 00 00 00 00 05 00 00 00 00 00 05 00 00 03 00 00 05 05");
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"AB", "CRANE", "CRANK", "CRATE"}));
    EXPECT_TRUE(messages.Ids().empty());
}

// A write that fails is kept, not shown: the rest of the file is not
// written, FinishWriting returns the failure (once, however many writes
// failed), and the new file never replaces dictionary.dat.
TEST(WordCodec, AFailedWriteIsReturnedAndTheOldDictionaryStays) {
    ScratchDir dir;
    BuildDictionary(dir, {"OX"});
    const std::string old = dir.Read("dictionary.dat");
    MessageRecorder messages;
    {
        CDictionary dict(GetWorkDir());
        ASSERT_TRUE(dict.OpenForWriting());
        SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Write; });
        dict.BeginBlock(2);
        for (int i = 0; i < 3000; ++i)  // more than one output buffer
            dict.WriteWord(FormatString("%c%c", 'A' + i / 26 % 26, 'A' + i % 26).c_str());
        dict.EndBlock();
        EXPECT_TRUE(dict.WriteFailed());
        EXPECT_EQ(dict.WriteFailure(), Status::Message(IDS_CANNOT_WRITE_DICT, MsgIcon::Stop));
        dict.WriteTrailer();
        ClearFileFaultHook();
        EXPECT_EQ(dict.FinishWriting(), Status::Message(IDS_CANNOT_WRITE_DICT, MsgIcon::Stop));
        EXPECT_FALSE(dict.ReplaceDictionary());
    }
    EXPECT_TRUE(messages.Ids().empty()) << "the writer showed a message itself";
    EXPECT_EQ(dir.Read("dictionary.dat"), old);
}

}  // namespace
