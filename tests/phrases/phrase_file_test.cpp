#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "phrases/phrase_file.h"

namespace {

PhraseEntry Entry(const char* text, int level = 0) {
    PhraseEntry e;
    EXPECT_TRUE(ParsePhraseText(text, e, 1)) << text;
    e.rank = level ? RankOfLevel(level) : kPhraseNoRank;
    return e;
}

// Every entry of `length` letters as shown, with its rank after a '/'.
std::vector<std::string> Listed(CPhraseFile& file, int length) {
    std::vector<std::string> out;
    EXPECT_TRUE(file.Walk(length, [&](const PhraseRecord& r) {
        PhraseEntry e;
        e.letters.assign(r.letters, static_cast<size_t>(length));
        e.breaks.assign(r.breaks, r.breaks + r.nBreaks);
        out.push_back(e.Text() + "/" + std::to_string(r.rank));
    })) << file.Error();
    return out;
}

TEST(PhraseText, ReadsWordsSeparatedBySpaceUnderscoreOrHyphen) {
    PhraseEntry e;
    ASSERT_TRUE(ParsePhraseText("ice_cream", e));
    EXPECT_EQ(e.letters, "ICECREAM");
    EXPECT_EQ(e.Text(), "ICE CREAM");
    ASSERT_TRUE(ParsePhraseText("Self-taught", e));
    EXPECT_EQ(e.Text(), "SELF-TAUGHT");
    ASSERT_TRUE(ParsePhraseText("jack-in-the box", e));
    EXPECT_EQ(e.Text(), "JACK-IN-THE BOX");
    // One word is no phrase unless asked; separators only between letters.
    EXPECT_FALSE(ParsePhraseText("cream", e));
    EXPECT_TRUE(ParsePhraseText("NASA", e, 1));
    for (const char* bad : {"", "ice  cream", "ice cream ", "-ice", "ice_cream2", "rock'n roll", "caf\xc3\xa9 au lait"})
        EXPECT_FALSE(ParsePhraseText(bad, e)) << bad;
    EXPECT_FALSE(ParsePhraseText(std::string(kMaxPhraseLetters, 'a') + " b", e));
}

TEST(PhraseFile, KeepsEachEntryOnceInOrderWithItsLowestRank) {
    CPhraseFile file;
    ASSERT_TRUE(file.OpenBytes(BuildPhraseFile({Entry("sea eagle"), Entry("ice cream"), Entry("hot dog"),
                                                Entry("ice-cream"), Entry("ice cream"), Entry("ASAP", 40),
                                                Entry("ASAP", 35), Entry("a la carte")})))
        << file.Error();
    EXPECT_EQ(file.MaxLength(), 8);
    EXPECT_EQ(Listed(file, 8), (std::vector<std::string>{"A LA CARTE/15", "ICE CREAM/15", "ICE-CREAM/15", "SEA EAGLE/15"}));
    EXPECT_EQ(Listed(file, 6), (std::vector<std::string>{"HOT DOG/15"}));
    EXPECT_EQ(Listed(file, 4), (std::vector<std::string>{"ASAP/2"}));
    EXPECT_EQ(file.EntryCount(8), 4u);
    EXPECT_EQ(file.EntryCount(5), 0u);
    // Lengths the file does not hold have nothing to walk.
    EXPECT_TRUE(Listed(file, 5).empty());
    EXPECT_TRUE(Listed(file, 200).empty());
}

TEST(PhraseFile, RefusesEntriesTheFormatCannotHold) {
    PhraseEntry e = Entry("ice cream");
    e.breaks = {9};
    EXPECT_THROW(BuildPhraseFile({e}), std::invalid_argument);
    e.breaks = {5, 3};
    EXPECT_THROW(BuildPhraseFile({e}), std::invalid_argument);
    e = Entry("a");
    EXPECT_THROW(BuildPhraseFile({e}), std::invalid_argument);
    CPhraseFile file;
    ASSERT_TRUE(file.OpenBytes(BuildPhraseFile({})));
    EXPECT_EQ(file.MaxLength(), 0);
}

TEST(PhraseFile, DamageIsReportedNotListed) {
    const std::string good = BuildPhraseFile({Entry("ice cream"), Entry("hot dog"), Entry("sea eagle")});
    CPhraseFile file;
    // Any byte of the header changed, or the file cut anywhere: refused at
    // open or when the block is read, never a wrong entry.
    for (size_t at = 0; at < good.size(); ++at) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x20);
        bool listed = false;
        if (file.OpenBytes(bad) && file.Walk(8, [&](const PhraseRecord&) { listed = true; }) &&
            file.Walk(6, [&](const PhraseRecord&) { listed = true; }))
            ADD_FAILURE() << "damage at byte " << at << " went unseen";
        EXPECT_FALSE(file.Error().empty());
        (void)listed;
    }
    for (size_t size = 0; size < good.size(); ++size) {
        bool ok = file.OpenBytes(good.substr(0, size));
        for (int length = 2; ok && length <= 8; ++length)
            ok = file.Walk(length, [](const PhraseRecord&) {});
        EXPECT_FALSE(ok) << "cut at " << size;
    }
}

#ifdef GRIDWELL_BUILT_PHRASES
TEST(PhraseFile, BuiltFromWordNetHoldsItsPhrasesWithinTwoMegabytes) {
    CPhraseFile file;
    ASSERT_TRUE(file.Open(GRIDWELL_BUILT_PHRASES)) << file.Error();
    const std::vector<std::string> eight = Listed(file, 8);
    EXPECT_NE(std::find(eight.begin(), eight.end(), "ICE CREAM/15"), eight.end());
    EXPECT_NE(std::find(eight.begin(), eight.end(), "SEA EAGLE/15"), eight.end());
    EXPECT_NE(std::find(eight.begin(), eight.end(), "SELF-PITY/15"), eight.end());
    const std::vector<std::string> six = Listed(file, 6);
    EXPECT_NE(std::find(six.begin(), six.end(), "HOT DOG/15"), six.end());
    size_t total = 0;
    for (int length = 2; length <= file.MaxLength(); ++length)
        total += file.EntryCount(length);
    EXPECT_GT(total, 60000u);
    CReadOnlyFile raw;
    ASSERT_TRUE(raw.Open(GRIDWELL_BUILT_PHRASES));
    EXPECT_LE(raw.Size(), 2 * 1024 * 1024);
}
#endif

}  // namespace
