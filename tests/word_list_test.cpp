// Reading a text word list: which lines are words, how lines end, the byte
// counter, and storing and sorting by length.
#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <vector>

#include "maintenance/buffer_lines.h"
#include "maintenance/word_list_file.h"
#include "platform/file_faults.h"
#include "tests/test_support.h"

namespace {

// The words of `contents` as the import's passes read them.
WordListPasses ReadAll(const ScratchDir& dir, const std::string& contents) {
    dir.Write("list.txt", contents);
    CWordListFile reader;
    EXPECT_TRUE(reader.Open(dir.File("list.txt"), CFile::modeRead | CFile::shareDenyNone));
    const WordListPasses passes = ReadWordListPasses(reader);
    EXPECT_FALSE(passes.inputChanged);
    return passes;
}

TEST(WordListReader, LineBreaksOfEveryKindGiveTheSameWords) {
    ScratchDir dir;
    const std::vector<std::string> expected = {"ONE", "TWO", "THREE"};
    EXPECT_EQ(ReadAll(dir, "one\ntwo\nthree\n").words, expected);
    EXPECT_EQ(ReadAll(dir, "one\rtwo\rthree").words, expected);
    EXPECT_EQ(ReadAll(dir, "one\r\ntwo\r\nthree\r\n").words, expected);
    EXPECT_EQ(ReadAll(dir, "\n\r\none\n\n\ntwo\r\r\nthree").words, expected);
}

TEST(WordListReader, OnlyLinesOfTwoTo255AsciiLettersAreWords) {
    ScratchDir dir;
    const std::string l255(255, 'z');
    const std::string l256(256, 'y');
    const std::string zeroByteLine("nul\0byte\n", 9);
    const WordListPasses pass = ReadAll(dir, "Cat\ncat\nCAT\na\nI\nend \nwell-known\nit's\nna\xEFve\ncaf\xC3\xA9\nab1\n" +
                                       zeroByteLine + l255 + "\n" + l256 + "\nafter\n" + std::string("ok"));
    EXPECT_EQ(pass.words, (std::vector<std::string>{"CAT", "CAT", "CAT", std::string(255, 'Z'), "AFTER", "OK"}));
}

TEST(WordListReader, ANonLetterAnywhereInALineRejectsItWhateverItsLength) {
    // Lines are checked several bytes at a time: put each kind of byte next
    // to the letters at every place of lines up to 20 letters long.
    ScratchDir dir;
    const std::string nearLetters = std::string("@[`{ \x7F\x80\xC1\xE1\xFA", 10) + std::string(1, '\0');
    std::string contents;
    std::vector<std::string> expected;
    for (size_t length = 2; length <= 20; ++length) {
        std::string word;
        for (size_t i = 0; i < length; ++i)
            word += static_cast<char>((i % 2 ? 'a' : 'A') + (length + i) % 26);
        contents += word + "\n";
        std::string upper = word;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        expected.push_back(upper);
        for (size_t at = 0; at < length; ++at)
            for (const char bad : nearLetters) {
                std::string line = word;
                line[at] = bad;
                contents += line + (at % 3 ? "\n" : "\r\n");
            }
    }
    EXPECT_EQ(ReadAll(dir, contents).words, expected);
}

TEST(WordListReader, ByteCounterStandsAtLengthPlusOneAfterAPass) {
    ScratchDir dir;
    const std::string contents = "alpha\r\nbeta\n\nx\ngamma";
    const WordListPasses pass = ReadAll(dir, contents);
    EXPECT_EQ(pass.length, static_cast<int64_t>(contents.size()));
    EXPECT_EQ(pass.bytes, pass.length + 1);
    const WordListPasses withBreak = ReadAll(dir, contents + "\n");
    EXPECT_EQ(withBreak.bytes, withBreak.length + 1);
    const WordListPasses empty = ReadAll(dir, "");
    EXPECT_EQ(empty.length, 0);
    EXPECT_TRUE(empty.words.empty());
}

TEST(WordListReader, AByteOrderMarkAtTheStartIsSkippedNotTheFirstWord) {
    ScratchDir dir;
    const std::string bom = "\xEF\xBB\xBF";
    const WordListPasses pass = ReadAll(dir, bom + "cat\r\ndog\n");
    EXPECT_EQ(pass.words, (std::vector<std::string>{"CAT", "DOG"}));
    EXPECT_EQ(pass.bytes, pass.length + 1) << "the mark's bytes are counted like any other";
    EXPECT_EQ(ReadAll(dir, bom + "\nox").words, std::vector<std::string>{"OX"});
    // Only at the start of the file: elsewhere it is three bytes that are no
    // letters, and its line is no word.
    EXPECT_EQ(ReadAll(dir, "cat\n" + bom + "dog\nemu").words, (std::vector<std::string>{"CAT", "EMU"}));
    EXPECT_EQ(ReadAll(dir, bom + bom + "cat\nemu").words, std::vector<std::string>{"EMU"});
    // Every pass skips it: the import gives the first word too.
    dir.Write("bom.txt", bom + "zebra\nyak\n");
    MessageRecorder quiet;
    EXPECT_EQ(ImportHeadless(dir.File("bom.txt")), 59151u);
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"YAK", "ZEBRA"}));
}

TEST(WordListReader, LinesCutByEveryRefillReadAsAnyOther) {
    // Lines of 0 to 300 bytes (some with a non-letter, some of letters only,
    // the longest longer than a word may be), one of several refills, with
    // every kind of break: each line boundary falls at many places of the
    // reader's buffer. After each word the byte counter stands just past the
    // break that ends it, as a line-by-line reading of the same text says.
    ScratchDir dir;
    std::string contents;
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t below) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % below;
    };
    const char* const breaks[] = {"\n", "\r", "\r\n", "\n\n"};
    while (contents.size() < 4 * CWordListFile::kBufferSize) {
        const size_t length = next(8) == 0 ? 200 + next(101) : next(14);
        std::string line;
        for (size_t i = 0; i < length; ++i)
            line += static_cast<char>((next(2) ? 'a' : 'A') + next(26));
        if (length > 0 && next(5) == 0)
            line[next(static_cast<uint32_t>(length))] = "'-9 \xE9"[next(5)];
        contents += line + breaks[next(4)];
    }
    contents += std::string(CWordListFile::kBufferSize + 7, 'q') + "\nlast";

    std::vector<std::string> expected;
    std::vector<int64_t> expectedCounts;
    for (size_t at = 0; at < contents.size();) {
        const size_t end = std::min(contents.find_first_of("\r\n", at), contents.size());
        std::string line = contents.substr(at, end - at);
        const bool letters = !line.empty() && std::all_of(line.begin(), line.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        });
        if (letters && line.size() >= 2 && line.size() <= kMaxWordLength) {
            for (char& c : line)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            expected.push_back(line);
            expectedCounts.push_back(static_cast<int64_t>(end) + 1);
        }
        at = end + 1;
    }
    ASSERT_GT(expected.size(), 100u);

    const WordListPasses pass = ReadAll(dir, contents);
    EXPECT_EQ(pass.words, expected);
    EXPECT_EQ(pass.bytesAfterWord, expectedCounts);
    EXPECT_EQ(pass.bytes, pass.length + 1);
}

// Each byte's marks, from the vector instructions where the machine has
// them and from the portable version that other machines use: every byte
// value at every place of a chunk, between letters and between other bytes.
TEST(WordListReader, BothWaysOfMarkingAChunkMarkEveryByteAlike) {
    using Lines = CBufferLines<64, kMaxWordLength>;
    for (const unsigned char around : {'a', 'Z', '\n', '\xFF'})
        for (int value = 0; value < 256; ++value)
            for (int at = 0; at < 16; ++at) {
                unsigned char chunk[16];
                std::fill(std::begin(chunk), std::end(chunk), around);
                chunk[at] = static_cast<unsigned char>(value);
                unsigned breaks = 0, nonLetters = 0;
                for (int i = 0; i < 16; ++i) {
                    const unsigned char c = chunk[i];
                    breaks |= static_cast<unsigned>(c == '\n' || c == '\r') << i;
                    nonLetters |= static_cast<unsigned>(!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) << i;
                }
                for (const Lines::Marks16 marks : {Lines::MarkSixteen(chunk), Lines::MarkSixteenPortable(chunk)}) {
                    ASSERT_EQ(marks.breaks, breaks) << "byte " << value << " at " << at;
                    ASSERT_EQ(marks.nonLetters, nonLetters) << "byte " << value << " at " << at;
                }
            }
}

// The counting and storing passes of an import over an opened list whose
// longest word has `nLongest` letters.
void CountAndStore(CWordListFile& reader, int nLongest) {
    int64_t length = 0, bytes = 0;
    int nLength = 0;
    ASSERT_TRUE(reader.MeasureAndRewind(length));
    ASSERT_TRUE(reader.AllocateLengthTables(nLongest));
    while (reader.ReadWordLength(nLength, bytes))
        reader.CountLength(nLength);
    ASSERT_TRUE(reader.AllocateWordStore());
    ASSERT_TRUE(reader.MeasureAndRewind(length));
    while (reader.ReadAndStoreWord(bytes)) {
    }
}

TEST(WordListReader, StoresByLengthAndSortsEachLength) {
    ScratchDir dir;
    dir.Write("list.txt", "pear\nfig\napple\nkiwi\nfig\nplum\nab\n");
    MessageRecorder recorder;
    CWordListFile reader;
    ASSERT_TRUE(reader.Open(dir.File("list.txt"), CFile::modeRead));
    CountAndStore(reader, 5);
    EXPECT_FALSE(reader.InputChanged());
    EXPECT_EQ(reader.SortLength(2), 1);
    EXPECT_EQ(reader.SortLength(3), 2);
    EXPECT_EQ(reader.SortLength(4), 3);
    EXPECT_EQ(reader.SortLength(5), 1);
    std::vector<std::string> fours(reader.WordsBegin(4), reader.WordsEnd(4));
    EXPECT_EQ(fours, (std::vector<std::string>{"KIWI", "PEAR", "PLUM"}));
    std::vector<std::string> threes(reader.WordsBegin(3), reader.WordsEnd(3));
    EXPECT_EQ(threes, (std::vector<std::string>{"FIG", "FIG"})) << "repeats stay, side by side";
    EXPECT_TRUE(recorder.Ids().empty());
}

// The list changes between the counting and the storing pass: what the
// storing pass finds beyond what was counted is never stored, and the
// passes are known not to agree.
TEST(WordListReader, WordsBeyondWhatWasCountedAreNeverStored) {
    ScratchDir dir;
    struct Outcome {
        bool changed;
        std::vector<std::string> twos;
    };
    const auto run = [&dir](const std::string& counted, int nLongest, const std::string& stored) {
        dir.Write("list.txt", counted);
        CWordListFile reader;
        EXPECT_TRUE(reader.Open(dir.File("list.txt"), CFile::modeRead | CFile::shareDenyNone));
        int64_t length = 0, bytes = 0;
        int nLength = 0;
        EXPECT_TRUE(reader.MeasureAndRewind(length));
        EXPECT_TRUE(reader.AllocateLengthTables(nLongest));
        while (reader.ReadWordLength(nLength, bytes))
            reader.CountLength(nLength);
        EXPECT_TRUE(reader.AllocateWordStore());
        dir.Write("list.txt", stored);  // the same file, rewritten in place
        EXPECT_TRUE(reader.MeasureAndRewind(length));
        while (reader.ReadAndStoreWord(bytes)) {
        }
        return Outcome{reader.InputChanged(), std::vector<std::string>(reader.WordsBegin(2), reader.WordsEnd(2))};
    };
    const Outcome same = run("ab\ncd\n", 2, "ab\ncd\n");
    EXPECT_FALSE(same.changed);
    EXPECT_EQ(same.twos, (std::vector<std::string>{"AB", "CD"}));
    const Outcome grown = run("ab\n", 2, "ab\ncd\nlonger\n");
    EXPECT_TRUE(grown.changed) << "one more word than counted, and one longer than the longest";
    EXPECT_EQ(grown.twos, std::vector<std::string>{"AB"});
    const Outcome longerCounted = run("ab\nlonger\n", 2, "ab\n");
    EXPECT_TRUE(longerCounted.changed) << "counted a word longer than the longest measured";
    EXPECT_EQ(longerCounted.twos, std::vector<std::string>{"AB"});
    const Outcome shrunk = run("ab\ncd\n", 2, "ab\n");
    EXPECT_TRUE(shrunk.changed) << "fewer words stored than counted";
}

TEST(WordListReader, SortingIgnoresCaseAndPutsAFirst) {
    ScratchDir dir;
    dir.Write("list.txt", "abd\nABC\nBa\nabc\nzz\naB\nAbZ\n");
    CWordListFile reader;
    ASSERT_TRUE(reader.Open(dir.File("list.txt"), CFile::modeRead));
    CountAndStore(reader, 3);
    reader.SortLength(2);
    reader.SortLength(3);
    EXPECT_EQ(std::vector<std::string>(reader.WordsBegin(2), reader.WordsEnd(2)),
              (std::vector<std::string>{"AB", "BA", "ZZ"}));
    EXPECT_EQ(std::vector<std::string>(reader.WordsBegin(3), reader.WordsEnd(3)),
              (std::vector<std::string>{"ABC", "ABC", "ABD", "ABZ"}))
        << "abc and ABC are the same word, side by side";
}

// The reader shows nothing itself: each failure comes back as the message
// the import shows for it, with the system's reason where there is one.
TEST(WordListReader, FailuresReportTheirMessages) {
    ScratchDir dir;
    dir.Write("list.txt", "word\n");
    MessageRecorder recorder;
    CWordListFile reader;
    ASSERT_TRUE(reader.OpenList(dir.File("list.txt")));
    std::vector<Status> failures;
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Seek; });
    int64_t length = 0;
    failures.push_back(reader.MeasureAndRewind(length));
    SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::Read; });
    int nLength = 0;
    int64_t bytes = 0;
    EXPECT_FALSE(reader.ReadWordLength(nLength, bytes));
    EXPECT_TRUE(reader.m_bEndOfInput);
    EXPECT_TRUE(reader.ReadFailed());
    failures.push_back(reader.ReadError());
    SetFileFaultHook([](FileOp op, const std::string& what) { return op == FileOp::Allocate && what == "length tables"; });
    failures.push_back(reader.AllocateLengthTables(4));
    ClearFileFaultHook();
    ASSERT_TRUE(reader.AllocateLengthTables(4));
    reader.CountLength(4);
    SetFileFaultHook([](FileOp op, const std::string& what) { return op == FileOp::Allocate && what == "word store"; });
    failures.push_back(reader.AllocateWordStore());
    ClearFileFaultHook();
    EXPECT_EQ(failures, (std::vector<Status>{Status::Message(59154, MsgIcon::Stop, "Input/output error"),
                                             Status::Message(110, MsgIcon::Stop, "Input/output error"),
                                             Status::Message(111, MsgIcon::Stop),
                                             Status::Message(59160, MsgIcon::Exclamation)}));
    EXPECT_TRUE(recorder.Messages().empty());

    // A list that cannot be opened, or is no plain file, says why.
    CWordListFile missing, folder, device;
    EXPECT_EQ(missing.OpenList(dir.File("none.txt")),
              Status::Message(59153, MsgIcon::Exclamation, "No such file or directory"));
    EXPECT_EQ(folder.OpenList(dir.Path()), Status::Message(59153, MsgIcon::Exclamation, "Is a directory"));
    EXPECT_EQ(device.OpenList("/dev/null"), Status::Message(59153, MsgIcon::Exclamation, "Not a regular file"));
    EXPECT_FALSE(device.IsOpen());
}

}  // namespace
