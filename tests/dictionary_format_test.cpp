// The bytes the writer produces, checked against hand-worked encodings, and
// the reader decoding them back.
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

std::string Trailer(const std::vector<std::pair<int, int>>& entries, int longest) {
    std::string bytes;
    for (const auto& [count, start] : entries)
        for (int v : {count, start})
            for (int shift : {16, 8, 0})
                bytes += static_cast<char>((v >> shift) & 0xFF);
    bytes += static_cast<char>(longest);
    return bytes;
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

TEST(DictionaryFormat, FiveLetterExampleWithRepeatAndSharedPrefixes) {
    ScratchDir dir;
    const std::string file = BuildDictionary(dir, {"CRANE", "CRANE", "CRANK", "CRATE"});
    const std::string expected =
        FromHex("14 40 D2 71 5B 99 00 00 00 00 ") + Trailer({{0, 0}, {0, 0}, {0, 0}, {3, 0}}, 5);
    ASSERT_EQ(file.size(), 35u);
    EXPECT_EQ(Hex(file), Hex(expected));
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"CRANE", "CRANK", "CRATE"}));
}

TEST(DictionaryFormat, SharedRunLongerThanSevenUsesTheLongestPrefixCode) {
    ScratchDir dir;
    const std::string file = BuildDictionary(dir, {"preserves", "PRESERVED"});
    EXPECT_EQ(Hex(file.substr(0, 10)), "7C 49 22 46 A4 1F C9 20 00 00");
    EXPECT_EQ(file.size(), 10u + 6 * 9 - 5);
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"PRESERVED", "PRESERVES"}));
}

TEST(DictionaryFormat, EmptyWordListGivesTheSingleLongestLengthByte) {
    ScratchDir dir;
    EXPECT_EQ(Hex(BuildDictionary(dir, {"a", "I", "two words", ""})), "00");
    EXPECT_TRUE(ReadAllWords().empty());
}

TEST(DictionaryFormat, OneSharedLetterIsSpeltOutAndFullGroupsGetNoPadding) {
    ScratchDir dir;
    // AB AC AD AE: 8 letter codes, exactly one group; a single shared letter
    // never uses a prefix code.
    const std::string file = BuildDictionary(dir, {"AE", "AC", "AB", "AD"});
    // Codes 0 1 0 2 0 3 0 4.
    EXPECT_EQ(Hex(file), Hex(FromHex("00 40 20 0C 04 ") + Trailer({{4, 0}}, 2)));
    EXPECT_EQ(file.size(), 5u + 7u);
}

TEST(DictionaryFormat, LengthsWithoutWordsTakeNoBytesAndShareTheNextStart) {
    ScratchDir dir;
    const std::string file = BuildDictionary(dir, {"AT", "BE", "HOUSE"});
    // Block 2: A T B E -> 4 codes, one group. Block 5: one word, 5 codes, one group.
    const std::string trailer = file.substr(10);
    EXPECT_EQ(Hex(trailer), Hex(Trailer({{2, 0}, {0, 5}, {0, 5}, {1, 5}}, 5)));
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"AT", "BE", "HOUSE"}));
}

TEST(DictionaryFormat, LongestPossibleWordGivesAFullTrailer) {
    ScratchDir dir;
    const std::string longWord(255, 'Q');
    const std::string file = BuildDictionary(dir, {longWord, "OK"});
    ASSERT_GE(file.size(), 1525u);
    EXPECT_EQ(static_cast<unsigned char>(file.back()), 0xFF);
    // 255 codes -> 32 groups; block 2: 2 codes -> 1 group.
    EXPECT_EQ(file.size(), 5u + 160u + 1525u);
    EXPECT_EQ(ReadAllWords(), (std::vector<std::string>{"OK", longWord}));
}

TEST(DictionaryFormat, ThousandGroupBlockFillsTheBufferExactlyAndDecodesAcrossRefills) {
    ScratchDir dir;
    // 500 sixteen-letter words whose first two letters all differ: each is
    // spelt out in full, 16 codes = 2 groups, so the block is 1000 groups.
    std::vector<std::string> words;
    for (int i = 0; i < 500; ++i) {
        std::string w;
        w += static_cast<char>('A' + i / 26);
        w += static_cast<char>('A' + i % 26);
        for (int k = 0; k < 14; ++k)
            w += static_cast<char>('A' + (i * 7 + k * 3) % 26);
        words.push_back(w);
    }
    words.push_back("ZZZ");  // a following block must start right after
    const std::string file = BuildDictionary(dir, words);
    const size_t trailerStart = file.size() - (6 * 16 - 5);
    const auto int24 = [&](size_t at) {
        return (static_cast<unsigned char>(file[at]) << 16) | (static_cast<unsigned char>(file[at + 1]) << 8) |
               static_cast<unsigned char>(file[at + 2]);
    };
    EXPECT_EQ(int24(trailerStart + 6 * (3 - 2) + 3), 0);       // start(3) = 0: no 2-letter words
    EXPECT_EQ(int24(trailerStart + 6 * (16 - 2)), 500);        // count(16)
    EXPECT_EQ(int24(trailerStart + 6 * (16 - 2) + 3), 5);      // start(16) after block 3's one group
    EXPECT_EQ(trailerStart, 5u + 5000u);
    std::vector<std::string> expected = words;
    expected.pop_back();
    expected.insert(expected.begin(), "ZZZ");
    EXPECT_EQ(ReadAllWords(), expected);
}

TEST(DictionaryFormat, ImportExportImportGivesIdenticalFiles) {
    ScratchDir dir;
    std::vector<std::string> words;
    // Shared prefixes of every size, repeats, mixed case and rejected lines.
    for (const char* w : {"preserved", "PRESERVES", "preserve", "Preservation", "cat", "Cat", "catalogue",
                          "catalog", "cataloged", "cataloguer", "it's", "x", "zebra", "zebras", "zygote"})
        words.push_back(w);
    for (int i = 0; i < 3000; ++i)
        words.push_back(std::string("re") + static_cast<char>('a' + i % 26) + static_cast<char>('a' + i / 26 % 26) +
                        static_cast<char>('a' + i / 676 % 26) + "ing");
    const std::string first = BuildDictionary(dir, words);
    MessageRecorder messages;
    ASSERT_EQ(ExportHeadless(dir.File("exported.txt")), 59149u);
    dir.Write("dictionary.dat", "");  // the second import must rebuild it entirely
    ASSERT_EQ(ImportHeadless(dir.File("exported.txt")), 59151u);
    EXPECT_EQ(dir.Read("dictionary.dat"), first);
    ASSERT_EQ(ExportHeadless(dir.File("again.txt")), 59149u);
    EXPECT_EQ(dir.Read("again.txt"), dir.Read("exported.txt"));
}

}  // namespace
