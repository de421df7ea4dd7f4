// The commonness table: building, reading, the common-first order and
// damaged tables.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <zlib.h>

#include <array>
#include <map>
#include <random>
#include <set>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "platform/data_dir.h"
#include "res/string_table.h"
#include "search/common_first.h"
#include "search/commonness_table.h"
#include "search/find_words.h"
#include "tests/test_support.h"

namespace {

using Pairs = std::vector<std::pair<std::string, int>>;
using Strings = std::vector<std::string>;
constexpr uint8_t kU = CCommonnessTable::kUnknown;

const Pairs kSample = {
    {"SCALE", 10}, {"SABLE", 70}, {"SCENE", 10}, {"SABRE", 50}, {"SCORE", 20}, {"SALVE", 80},
    {"CAT", 10},   {"COT", 35},   {"CUT", 10},   {"CWT", 35},   {"CAT", 80},   // CAT twice: keeps 10
    // Long shared prefixes (past the dictionary's cap of 7 letters).
    {"PRESERVED", 35}, {"PRESERVES", 40}, {"PRESERVER", 80},
};

// RankWords on words given one by one (all `length` letters long).
bool RankList(CCommonnessTable& table, size_t length, const std::vector<std::string>& words,
              std::vector<uint8_t>& ranks) {
    std::string flat;
    for (const std::string& word : words)
        flat += word;
    ranks.assign(words.size(), 0);
    return table.RankWords(length, flat.data(), words.size(), ranks.data());
}

std::vector<uint8_t> Ranks(CCommonnessTable& table, size_t length, const std::vector<std::string>& words) {
    std::vector<uint8_t> ranks;
    EXPECT_TRUE(RankList(table, length, words, ranks)) << table.Error();
    return ranks;
}

uint32_t Get32(const std::string& b, size_t at) {
    return (uint32_t{static_cast<unsigned char>(b[at])} << 24) | (uint32_t{static_cast<unsigned char>(b[at + 1])} << 16) |
           (uint32_t{static_cast<unsigned char>(b[at + 2])} << 8) | uint32_t{static_cast<unsigned char>(b[at + 3])};
}

void Set32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<char>(v >> (24 - 8 * i));
}

uint32_t Crc(const std::string& b, size_t at, size_t n) {
    return static_cast<uint32_t>(::crc32(0L, reinterpret_cast<const Bytef*>(b.data() + at), static_cast<uInt>(n)));
}

// Where block `length` of a table's bytes starts (its rank nibbles first).
size_t BlockOffset(const std::string& b, size_t length) { return Get32(b, 22 + (length - 2) * 16 + 4); }

// Recomputes every checksum, so that a test can damage the structure of a
// table without its checksums giving the damage away.
void Reseal(std::string& b) {
    const size_t maxLength = static_cast<unsigned char>(b[21]);
    const size_t crcAt = 22 + (maxLength - 1) * 16;
    for (size_t l = 2; l <= maxLength; ++l) {
        const size_t at = 22 + (l - 2) * 16;
        Set32(b, at + 12, Crc(b, Get32(b, at + 4), Get32(b, at + 8)));
    }
    Set32(b, crcAt, Crc(b, 0, crcAt));
}

TEST(CommonnessTable, RanksFollowTheLowestLevelOfEachWord) {
    CCommonnessTable table;
    ASSERT_TRUE(table.OpenBytes(BuildCommonnessTable(kSample))) << table.Error();
    EXPECT_EQ(table.Levels(), (std::vector<int>{10, 20, 35, 40, 50, 70, 80}));
    EXPECT_EQ(table.MaxLength(), 9);
    EXPECT_EQ(table.WordCount(3), 4u);
    EXPECT_EQ(table.WordCount(4), 0u);
    EXPECT_EQ(table.WordCount(5), 6u);

    // Words before, between and after the table's; the ranks come back in
    // the order of the words given.
    EXPECT_EQ(Ranks(table, 3, {"AAA", "CAT", "CAX", "COT", "CUT", "CWT", "ZZZ"}),
              (std::vector<uint8_t>{kU, 0, kU, 2, 0, 2, kU}));
    EXPECT_EQ(Ranks(table, 5, {"SABLE", "SABRE", "SALVE", "SCALE", "SCENE", "SCORE"}),
              (std::vector<uint8_t>{5, 4, 6, 0, 0, 1}));
    EXPECT_EQ(Ranks(table, 9, {"PRESERVED", "PRESERVER", "PRESERVES"}), (std::vector<uint8_t>{2, 6, 3}));
    // A subset, and lengths the table does not hold.
    EXPECT_EQ(Ranks(table, 5, {"SCORE"}), (std::vector<uint8_t>{1}));
    EXPECT_EQ(Ranks(table, 4, {"DATE"}), (std::vector<uint8_t>{kU}));
    EXPECT_EQ(Ranks(table, 12, {"ABCDEFGHIJKL"}), (std::vector<uint8_t>{kU}));
    EXPECT_EQ(Ranks(table, 3, {}), (std::vector<uint8_t>{}));
    // Out of order the walk cannot go back: no wrong rank, at worst unknown.
    const std::vector<uint8_t> backwards = Ranks(table, 3, {"CUT", "CAT"});
    EXPECT_EQ(backwards[0], 0);
    EXPECT_TRUE(backwards[1] == 0 || backwards[1] == kU);
}

TEST(CommonnessTable, FileRoundTripAndRefusals) {
    ScratchDir dir;
    const std::string bytes = BuildCommonnessTable(kSample);
    dir.Write("t.tbl", bytes);
    CCommonnessTable table;
    ASSERT_TRUE(table.Open(dir.File("t.tbl"))) << table.Error();
    EXPECT_EQ(Ranks(table, 3, {"COT"}), (std::vector<uint8_t>{2}));

    CCommonnessTable missing;
    EXPECT_FALSE(missing.Open(dir.File("none.tbl")));
    EXPECT_NE(missing.Error().find("none.tbl"), std::string::npos) << missing.Error();
    CCommonnessTable directory;
    EXPECT_FALSE(directory.Open(dir.Path()));
    // A FIFO in the table's place is refused, not waited on.
    ASSERT_EQ(::mkfifo(dir.File("fifo.tbl").c_str(), 0600), 0);
    CCommonnessTable fifo;
    EXPECT_FALSE(fifo.Open(dir.File("fifo.tbl")));

    // Every cut of the file is refused at the open, or (cut inside the
    // blocks) when a block past the end is read.
    for (size_t n = 0; n < bytes.size(); ++n) {
        dir.Write("cut.tbl", bytes.substr(0, n));
        CCommonnessTable cut;
        std::vector<uint8_t> ranks;
        const bool usable = cut.Open(dir.File("cut.tbl")) && RankList(cut, 9, {"PRESERVES"}, ranks);
        EXPECT_FALSE(usable) << "cut at " << n;
    }
}

TEST(CommonnessTable, AnyFlippedBitIsRefused) {
    const std::string bytes = BuildCommonnessTable(kSample);
    const std::vector<std::pair<size_t, std::vector<std::string>>> queries = {
        {3, {"CAT", "COT", "CUT", "CWT"}},
        {5, {"SABLE", "SABRE", "SALVE", "SCALE", "SCENE", "SCORE"}},
        {9, {"PRESERVED", "PRESERVER", "PRESERVES"}},
    };
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (int bit = 0; bit < 8; bit += 3) {
            std::string damaged = bytes;
            damaged[i] = static_cast<char>(damaged[i] ^ (1 << bit));
            CCommonnessTable table;
            bool all = table.OpenBytes(damaged);
            std::vector<uint8_t> ranks;
            for (const auto& [length, words] : queries)
                all = all && RankList(table, length, words, ranks);
            EXPECT_FALSE(all) << "byte " << i << " bit " << bit;
        }
    }
}

TEST(CommonnessTable, DamagedStructureIsRefusedEvenWithGoodChecksums) {
    const std::string good = BuildCommonnessTable({{"AB", 10}, {"AC", 20}, {"BA", 10}});
    const size_t block = BlockOffset(good, 2);  // 2 bytes of nibbles, then the codes
    std::vector<uint8_t> ranks;
    // "ZZ", after every word of the table, makes the walk read the whole block.
    auto usable = [&](std::string bytes) {
        Reseal(bytes);
        CCommonnessTable table;
        return table.OpenBytes(bytes) && RankList(table, 2, {"AB", "AC", "BA", "ZZ"}, ranks);
    };
    ASSERT_TRUE(usable(good));

    std::string badRank = good;
    badRank[block] = static_cast<char>(0x20);  // rank 2 of a 2-level table
    EXPECT_FALSE(usable(badRank));

    // The block's one group holds the codes of AB, AC, BA; packed by hand as
    // AB, BA, AC the words are out of order.
    const int codes[8] = {0, 1, 1, 0, 0, 2, 0, 0};
    uint64_t v = 0;
    for (const int c : codes)
        v = (v << 5) | static_cast<uint64_t>(c);
    std::string outOfOrder = good;
    for (int i = 0; i < 5; ++i)
        outOfOrder[block + 2 + static_cast<size_t>(i)] = static_cast<char>(v >> (32 - 8 * i));
    EXPECT_FALSE(usable(outOfOrder));

    // A prefix code (26: the first 2 letters of the word before) as the
    // first code of the block.
    std::string prefixFirst = good;
    prefixFirst[block + 2] = static_cast<char>((26 << 3) | (prefixFirst[block + 2] & 7));
    EXPECT_FALSE(usable(prefixFirst));

    // A block said to be one group longer than its words.
    std::string longer = good + std::string(5, '\0');
    Set32(longer, 22 + 8, Get32(longer, 22 + 8) + 5);
    EXPECT_FALSE(usable(longer));

    // A block said to lie past the end of the file.
    std::string past = good;
    Set32(past, 22 + 4, static_cast<uint32_t>(good.size()));
    EXPECT_FALSE(usable(past));
}

// The counts of each rank (which size the room of a Find's lines) count the
// block's words and nothing else: not the spare nibble after an odd count,
// whatever a damaged table holds there.
TEST(CommonnessTable, RankCountsCountTheBlocksWordsOnly) {
    std::string bytes = BuildCommonnessTable({{"AB", 10}, {"AC", 20}, {"BA", 10}});
    std::array<size_t, kU + 1> expected{};
    expected[0] = 2;
    expected[1] = 1;
    for (const char spare : {'\x00', '\x0F', '\x01'}) {
        std::string table = bytes;
        const size_t last = BlockOffset(table, 2) + 1;
        table[last] = static_cast<char>((table[last] & 0xF0) | spare);
        Reseal(table);
        CCommonnessTable opened;
        ASSERT_TRUE(opened.OpenBytes(table)) << opened.Error();
        CCommonnessWalk walk;
        ASSERT_TRUE(walk.Start(opened, 2)) << walk.Error();
        EXPECT_EQ(walk.RankCounts(), expected) << "spare nibble " << static_cast<int>(spare);
    }
}

// Every length takes one of the walk's paths (up to 8 letters, 9 to 16, and
// longer), and words that share long prefixes take the prefix codes: a
// table of random words gives back each word's level and "unknown" for the
// words it does not hold, whether asked in one call or in batches.
TEST(CommonnessTable, RandomTablesOfEveryPathRankAsBuilt) {
    std::mt19937 random(7);
    for (const size_t length : {2u, 5u, 7u, 8u, 9u, 12u, 15u, 16u, 17u, 24u, 40u}) {
        std::map<std::string, int> held;
        std::set<std::string> asked;
        const std::string stem(length, 'M');
        for (int n = 0; n < 600; ++n) {
            std::string word = stem;
            // Mostly the last letters change, so that neighbours share prefixes.
            const size_t nChanged = 1 + random() % std::min<size_t>(length, n % 3 == 0 ? length : 4);
            for (size_t i = length - nChanged; i < length; ++i)
                word[i] = static_cast<char>('A' + random() % 26);
            if (random() % 3 != 0)
                held.emplace(word, static_cast<int>(10 + 5 * (random() % 9)));
            asked.insert(word);
        }
        CCommonnessTable table;
        ASSERT_TRUE(table.OpenBytes(BuildCommonnessTable(Pairs(held.begin(), held.end())))) << table.Error();
        const std::vector<std::string> words(asked.begin(), asked.end());
        std::vector<uint8_t> expected;
        for (const std::string& word : words) {
            const auto found = held.find(word);
            if (found == held.end()) {
                expected.push_back(kU);
            } else {
                const auto& levels = table.Levels();
                expected.push_back(static_cast<uint8_t>(
                    std::find(levels.begin(), levels.end(), found->second) - levels.begin()));
            }
        }
        EXPECT_EQ(Ranks(table, length, words), expected) << length << " letters";

        std::string flat;
        for (const std::string& word : words)
            flat += word;
        // This walk reads the block into room of the caller's, and counts
        // the block's words of each rank.
        std::vector<char> room(table.BlockBytes(length));
        CCommonnessWalk walk;
        ASSERT_TRUE(walk.Start(table, length, room.data())) << walk.Error();
        std::array<size_t, kU + 1> counts{};
        for (const uint8_t rank : expected)
            counts[rank] += rank != kU;
        EXPECT_EQ(walk.RankCounts(), counts) << length << " letters, " << held.size() << " held";
        std::vector<uint8_t> batched(words.size());
        for (size_t at = 0; at < words.size();) {
            const size_t n = std::min<size_t>(words.size() - at, 1 + random() % 90);
            ASSERT_TRUE(walk.RankNext(flat.data() + at * length, n, batched.data() + at)) << walk.Error();
            at += n;
        }
        EXPECT_EQ(batched, expected) << length << " letters, in batches";
    }
}

TEST(CommonnessTable, BuildRefusesWhatTheFormatCannotHold) {
    EXPECT_THROW(BuildCommonnessTable({{"A", 10}}), std::invalid_argument);
    EXPECT_THROW(BuildCommonnessTable({{"Cat", 10}}), std::invalid_argument);
    EXPECT_THROW(BuildCommonnessTable({{std::string(256, 'A'), 10}}), std::invalid_argument);
    Pairs many;
    for (int i = 0; i < 16; ++i)
        many.emplace_back(std::string(2, static_cast<char>('A' + i)), i);
    EXPECT_THROW(BuildCommonnessTable(many), std::invalid_argument);
    many.pop_back();
    EXPECT_NO_THROW(BuildCommonnessTable(many));
    // The longest word the format holds.
    CCommonnessTable table;
    ASSERT_TRUE(table.OpenBytes(BuildCommonnessTable({{std::string(255, 'Z'), 10}, {"ZZ", 20}})));
    EXPECT_EQ(Ranks(table, 255, {std::string(255, 'Z')}), (std::vector<uint8_t>{0}));
}

class CommonFirstTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDataDirForTesting(dir.Path());
        ResetCommonOrderNoticeForTesting();
    }
    void TearDown() override {
        SetDataDirForTesting("");
        ResetCommonOrderNoticeForTesting();
    }
    // The listed words of a common-first search of `pattern`.
    static Strings FindCommonFirst(const char* pattern, size_t nKeep) {
        CDictionary dict(GetWorkDir());
        int count = 0;
        EXPECT_TRUE(dict.OpenForReading() && dict.PrepareSearch(FALSE, pattern, "", FALSE, count));
        ShowWalkFailures(dict);
        const CCommonFirstMatches found = CollectCommonFirst(dict, nKeep);
        Strings words;
        for (const std::string_view run : found.listed)
            for (size_t at = 0; at < run.size(); at += found.length + 1)
                words.emplace_back(run.substr(at, found.length));
        return words;
    }
    ScratchDir dir;
    MessageRecorder messages;
};

TEST_F(CommonFirstTest, MatchesComeMostCommonFirstAndUnknownLast) {
    BuildDictionary(dir, {"SABLE", "SABRE", "SALVE", "SAUCE", "SCALE", "SCENE", "SCORE", "CAT"});
    dir.Write(kCommonnessTableName, BuildCommonnessTable(kSample));
    EXPECT_EQ(FindCommonFirst("s3e", 100), (Strings{"SCALE", "SCENE", "SCORE", "SABRE", "SABLE", "SALVE", "SAUCE"}));
    EXPECT_EQ(FindCommonFirst("s3e", 2), (Strings{"SCALE", "SCENE"}));
    EXPECT_EQ(FindCommonFirst("x3e", 100), (Strings{}));
    EXPECT_TRUE(messages.Ids().empty());
}

TEST_F(CommonFirstTest, WithoutAUsableTableTheOrderIsPlainAndSaidOnce) {
    BuildDictionary(dir, {"SABLE", "SABRE", "SALVE", "SCALE", "PRESERVED", "PRESERVES"});
    EXPECT_EQ(FindCommonFirst("s4", 3), (Strings{"SABLE", "SABRE", "SALVE"}));
    // A damaged table in its place: still plain, and not said again.
    std::string damaged = BuildCommonnessTable(kSample);
    damaged[damaged.size() - 1] = static_cast<char>(damaged.back() ^ 0x10);
    dir.Write(kCommonnessTableName, damaged);
    EXPECT_EQ(FindCommonFirst("9", 100), (Strings{"PRESERVED", "PRESERVES"}));
    EXPECT_EQ(messages.Messages(),
              (std::vector<RecordedMessage>{{IDS_COMMON_ORDER_UNAVAILABLE, MsgIcon::Information, MsgButtons::Ok}}));
    EXPECT_FALSE(LoadStringText(IDS_COMMON_ORDER_UNAVAILABLE).empty());
}

// The search gives its notice to the dictionary's reporter and shows
// nothing itself; without a reporter the notice goes unsaid.
TEST_F(CommonFirstTest, TheNoticeGoesToTheReporterNotToTheScreen) {
    BuildDictionary(dir, {"SABLE", "SABRE"});
    CDictionary dict(GetWorkDir());
    int count = 0;
    ASSERT_TRUE(dict.OpenForReading() && dict.PrepareSearch(false, "s4", "", false, count));
    std::vector<Status> notices;
    dict.SetNoticeReporter([&notices](const Status& notice) { notices.push_back(notice); });
    EXPECT_EQ(CollectCommonFirst(dict, 10).nTotal, 2);
    EXPECT_EQ(notices, std::vector<Status>{Status::Message(IDS_COMMON_ORDER_UNAVAILABLE, MsgIcon::Information)});
    EXPECT_TRUE(dict.Failure().Succeeded()) << "a notice is no failure";
    EXPECT_TRUE(messages.Ids().empty());
}

// More matches than one batch of the ranking: the order holds across them.
TEST_F(CommonFirstTest, ManyMatchesComeInOrderOfRankThenOfTheDictionary) {
    std::vector<std::string> words;
    Pairs levels;
    for (int i = 0; i < 2000; ++i) {
        words.push_back(std::string("Q") + static_cast<char>('A' + i / 676) + static_cast<char>('A' + i / 26 % 26) +
                        static_cast<char>('A' + i % 26));
        if (i % 3 != 0)
            levels.emplace_back(words.back(), i % 7 == 0 ? 10 : (i % 2 == 0 ? 35 : 80));
    }
    BuildDictionary(dir, words);
    dir.Write(kCommonnessTableName, BuildCommonnessTable(levels));
    Strings expected;
    for (const int level : {10, 35, 80, -1})
        for (int i = 0; i < 2000; ++i) {
            const int own = i % 3 == 0 ? -1 : (i % 7 == 0 ? 10 : (i % 2 == 0 ? 35 : 80));
            if (own == level)
                expected.push_back(words[static_cast<size_t>(i)]);
        }
    EXPECT_EQ(FindCommonFirst("q3", 5000), expected);
    EXPECT_TRUE(messages.Ids().empty());
}

// Damage that only the walk finds, past the table's first batch of words:
// the matches ranked before it go back to dictionary order.
TEST_F(CommonFirstTest, ATableFoundDamagedPartWayGivesThePlainOrder) {
    std::vector<std::string> words;
    Pairs levels;
    for (int i = 0; i < 250; ++i) {
        words.push_back(std::string("Q") + static_cast<char>('A' + i / 26 % 26) + static_cast<char>('A' + i % 26));
        if (i < 100)
            levels.emplace_back(words.back(), i % 2 == 0 ? 35 : 10);
    }
    BuildDictionary(dir, words);
    std::string table = BuildCommonnessTable(levels);
    const size_t nibble = BlockOffset(table, 3) + 99 / 2;  // word 99's rank, the low nibble
    table[nibble] = static_cast<char>(table[nibble] | 0x0F);  // rank 15 of a 2-level table
    Reseal(table);
    dir.Write(kCommonnessTableName, table);
    EXPECT_EQ(FindCommonFirst("q2", 1000), words);
    EXPECT_EQ(FindCommonFirst("q2", 3), (Strings{"QAA", "QAB", "QAC"}));
    EXPECT_EQ(messages.Ids(), (std::vector<UINT>{IDS_COMMON_ORDER_UNAVAILABLE}));
}

TEST_F(CommonFirstTest, FindListsTheHundredMostCommonAndCountsEveryMatch) {
    std::vector<std::string> words;
    for (int i = 0; i < 250; ++i)
        words.push_back(std::string("Q") + static_cast<char>('A' + i / 26 % 26) + static_cast<char>('A' + i % 26));
    BuildDictionary(dir, words);
    dir.Write(kCommonnessTableName, BuildCommonnessTable({{"QJP", 10}, {"QBB", 35}, {"QAC", 35}, {"QAA", 80}}));
    CDictionary dict(GetWorkDir());
    int count = 0;
    ASSERT_TRUE(dict.OpenForReading() && dict.PrepareSearch(FALSE, "q2", "", FALSE, count));
    ShowWalkFailures(dict);
    const CFoundWords found = CollectMatches(dict, true, true);
    ASSERT_EQ(found.words.size(), 100u);
    EXPECT_EQ(found.nTotal, 250);
    EXPECT_EQ(std::vector<std::string>(found.words.begin(), found.words.begin() + 6),
              (std::vector<std::string>{"QJP", "QAC", "QBB", "QAA", "QAB", "QAD"}));
    EXPECT_EQ(found.words.back(), "QDU") << "then the unknown words in dictionary order, up to the 99th word";
    EXPECT_TRUE(messages.Ids().empty());
}

// The table the build made from SCOWL, where SCOWL was there to build it.
TEST(CommonnessTable, BuiltFromScowl) {
    const std::string path = GRIDWELL_BUILT_TABLE;
    if (::access(path.c_str(), R_OK) != 0)
        GTEST_SKIP() << "no " << path << " (SCOWL not installed at build time)";
    CCommonnessTable table;
    ASSERT_TRUE(table.Open(path)) << table.Error();
    // Up to 80, and 95 for the crossword regulars of that level.
    EXPECT_EQ(table.Levels(), (std::vector<int>{10, 20, 35, 40, 50, 55, 60, 70, 80, 95}));
    EXPECT_EQ(Ranks(table, 4, {"OMOO", "SERA"}), (std::vector<uint8_t>{9, 2})) << "regulars at their lists' levels";
    EXPECT_EQ(Ranks(table, 3, {"CAT", "COT", "CUT", "CWT"}), (std::vector<uint8_t>{0, 2, 0, kU}));
    EXPECT_EQ(Ranks(table, 4, {"CAFE"}), (std::vector<uint8_t>{1})) << "café, folded";
}

}  // namespace
