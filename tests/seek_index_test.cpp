// The seek index beside dictionary.dat: a search through it finds what a walk
// of the whole block finds, whether the index is new, kept, stale, damaged or
// wrong, and damage in the dictionary is still found and told.
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "dictionary/seek_index.h"
#include "res/string_table.h"
#include "tests/test_support.h"

namespace {

using Words = std::vector<std::string>;

const std::vector<std::string> kPatterns = {"c?t", "un*ing", "[sz]??", "c@t", "#a??", "ca*", "b[ae]??", "zz?", "[!c]a?",
                                            "qu*"};

std::vector<std::string> SampleWords() {
    std::vector<std::string> words = {"CAT",     "COT",     "CUT",       "UNDOING",
                                      "UNSAYING", "UNTYING", "UNBOLTING", "UNDERLYING", "UNITING"};
    const std::string starts[] = {"CA", "CO", "CU", "SA", "ZE", "BA", "BE", "UN", "QU", "DA"};
    for (const std::string& start : starts)
        for (char c = 'A'; c <= 'Z'; c += 3) {
            words.push_back(start + c);
            words.push_back(start + c + "T");
            words.push_back(start + std::string(1, c) + c + "ING");
        }
    return words;
}

// Every pattern's matches and messages, walking whole blocks.
std::vector<QueryOutcome> WholeBlockOutcomes() {
    std::vector<QueryOutcome> outcomes;
    for (const std::string& pattern : kPatterns)
        outcomes.push_back(RunQuery(pattern));
    return outcomes;
}

void ExpectSameThroughTheIndex(const std::vector<QueryOutcome>& expected, const char* state) {
    SeekIndexForEveryBlock seekAlways;
    for (size_t i = 0; i < kPatterns.size(); ++i) {
        const QueryOutcome found = RunQuery(kPatterns[i]);
        EXPECT_EQ(found.words, expected[i].words) << kPatterns[i] << " with the index " << state;
        EXPECT_EQ(found.messages, expected[i].messages) << kPatterns[i] << " with the index " << state;
    }
}

// The index with each run but a length's first starting one code later, its
// checksums made to match.
std::string WithRunsOneCodeLate(std::string index) {
    const size_t nLengths = static_cast<unsigned char>(index[33]) - 1;
    const auto* bytes = reinterpret_cast<const unsigned char*>(index.data());
    for (size_t i = 0; i < nLengths; ++i) {
        const size_t at = 34 + i * kLengthBlockEntrySize;
        LengthBlock block = ReadLengthBlockEntry(bytes + at);
        for (size_t entry = 1; entry < block.count; ++entry) {
            const size_t code = block.offset + entry * 10 + 2;
            SetBigEndian32(index, code, GetBigEndian32(bytes + code) + 1);
        }
        block.crc = Crc32Of(index.data() + block.offset, block.size);
        SetLengthBlockEntry(index, at, block);
    }
    const size_t crcAt = 34 + nLengths * kLengthBlockEntrySize;
    SetBigEndian32(index, crcAt, Crc32Of(index.data(), crcAt));
    return index;
}

TEST(SeekIndex, ASearchFindsTheSameWordsWhateverTheIndexIs) {
    ScratchDir dir;
    BuildDictionary(dir, SampleWords());
    const std::vector<QueryOutcome> expected = WholeBlockOutcomes();
    ASSERT_EQ(expected[0].words, (Words{"CAT", "COT", "CUT"}));
    ASSERT_EQ(expected[1].words.size(), 15u);
    EXPECT_FALSE(dir.Exists("dictionary.idx")) << "small blocks are walked whole";

    ExpectSameThroughTheIndex(expected, "built by the first search");
    ASSERT_TRUE(dir.Exists("dictionary.idx"));
    const std::string built = dir.Read("dictionary.idx");
    ExpectSameThroughTheIndex(expected, "kept");
    EXPECT_EQ(dir.Read("dictionary.idx"), built) << "a sound index is used as it is";

    // A byte changed in the runs: the length's checksum no longer matches.
    std::string damaged = built;
    damaged[damaged.size() - 3] ^= 0x40;
    dir.Write("dictionary.idx", damaged);
    ExpectSameThroughTheIndex(expected, "damaged");

    // Sound in itself and made for this very file, but every run after the
    // first starts one code late: the first letters are checked against the
    // file.
    dir.Write("dictionary.idx", WithRunsOneCodeLate(built));
    ExpectSameThroughTheIndex(expected, "disagreeing with the file");

    // A new dictionary makes the index stale; the next search remakes it.
    dir.Write("dictionary.idx", built);
    std::vector<std::string> more = SampleWords();
    more.push_back("UNCAGING");
    BuildDictionary(dir, more);
    std::vector<QueryOutcome> expectedNow = WholeBlockOutcomes();
    EXPECT_EQ(expectedNow[1].words.size(), 16u);
    ExpectSameThroughTheIndex(expectedNow, "stale");
    EXPECT_NE(dir.Read("dictionary.idx"), built);
}

TEST(SeekIndex, DamageInABlockIsStillFoundAndTold) {
    ScratchDir dir;
    // Length 3: CAT, then D and a prefix code where a letter must be. The
    // index leaves the damaged block out, so the walk meets the damage.
    const std::string trailer("\0\0\0\0\0\0\0\0\x02\0\0\0\x03", 13);
    dir.Write("dictionary.dat", std::string("\x10\x26\x3d\x00\x00", 5) + trailer);
    SeekIndexForEveryBlock seekAlways;
    for (const auto& [pattern, words] :
         std::vector<std::pair<std::string, Words>>{{"c??", {"CAT"}}, {"d??", {}}, {"x*", {}}, {"[cd]*", {"CAT"}}}) {
        const QueryOutcome r = RunQuery(pattern);
        EXPECT_EQ(r.messages, std::vector<UINT>{IDS_INVALID_CHARACTER}) << pattern;
        EXPECT_EQ(r.words, words) << pattern;
    }
}

}  // namespace
