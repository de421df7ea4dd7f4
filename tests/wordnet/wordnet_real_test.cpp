// The reader against the real WordNet database (Debian package
// wordnet-base); skipped when it is not installed.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <unistd.h>

#include "wordnet/clue_words.h"
#include "wordnet/meaning_text.h"
#include "wordnet/morphology.h"
#include "wordnet/wordnet_db.h"

namespace {

class RealWordNetTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (m_db.Open(CWordNet::kDefaultDir) != WnStatus::ok)
            GTEST_SKIP() << "WordNet is not installed in " << CWordNet::kDefaultDir;
    }
    CWordNet m_db;
};

TEST_F(RealWordNetTest, MeaningsOfInflectedForms) {
    CString text;
    ASSERT_EQ(MeaningText(m_db, "cats", text), WnRead::found);
    EXPECT_EQ(text.find("Overview of noun cat\n\nThe noun cat has 8 senses (first 1 from tagged texts)\n\n"
                        "1. (18) cat, true cat -- (feline mammal usually having thick soft fur and no ability to "
                        "roar: domestic cats; wildcats)\n"),
              0u);
    EXPECT_NE(text.find("\nOverview of verb cat\n"), CString::npos);
    ASSERT_EQ(MeaningText(m_db, "RAN", text), WnRead::found);
    EXPECT_EQ(text.find("Overview of verb run\n"), 0u);
    ASSERT_EQ(MeaningText(m_db, "geese", text), WnRead::found);
    EXPECT_EQ(text.find("Overview of noun goose\n"), 0u);
    ASSERT_EQ(MeaningText(m_db, "saw", text), WnRead::found);
    EXPECT_NE(text.find("Overview of verb see\n"), CString::npos);
    EXPECT_EQ(MeaningText(m_db, "estop", text), WnRead::notFound);
}

TEST_F(RealWordNetTest, ClueWordsOfTheIssue) {
    CClueWords clues;
    ASSERT_EQ(clues.Build(m_db, "feline"), WnRead::found);
    EXPECT_GT(clues.Relate("CAT").nClues, 0);
    EXPECT_EQ(clues.Relate("COT").nClues, 0);
    ASSERT_EQ(clues.Build(m_db, "rock"), WnRead::found);
    EXPECT_TRUE(clues.Relate("STONE").bSynonym);
    EXPECT_TRUE(clues.Relate("STONES").bSynonym);
    EXPECT_EQ(clues.Relate("SNAKE").nClues, 0);
}

// A reference relatedness that takes no short cut: every base form that a
// lookup shows in each part of speech, checked against the synsets of the
// clue word and their neighbours gathered afresh. Relate must agree on a
// sample of real words, inflected ones included.
TEST_F(RealWordNetTest, RelateAgreesWithAPlainReductionOfEveryWord) {
    const char* kList = "/usr/share/dict/american-english-huge";
    std::ifstream in(kList);
    if (!in)
        GTEST_SKIP() << kList << " is not installed";
    std::vector<std::string> words;
    for (std::string line; std::getline(in, line);)
        if (line.size() >= 2 && std::all_of(line.begin(), line.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            words.push_back(line);
    std::mt19937 random(7);
    std::shuffle(words.begin(), words.end(), random);
    words.resize(std::min<size_t>(words.size(), 1500));

    for (const char* clue : {"rock", "run", "happy"}) {
        SCOPED_TRACE(clue);
        std::set<std::string> synonyms, neighbours;
        for (int p = 0; p < kWnPosCount; ++p) {
            std::vector<WnIndexEntry> entries;
            ASSERT_EQ(LookupForms(m_db, static_cast<WnPos>(p), clue, entries), WnRead::found);
            for (const WnIndexEntry& entry : entries)
                for (const uint32_t offset : entry.offsets) {
                    WnSynset synset;
                    ASSERT_EQ(m_db.ReadSynset(static_cast<WnPos>(p), offset, synset), WnRead::found);
                    for (const WnSynsetWord& w : synset.words)
                        synonyms.insert(WnLower(w.text));
                    for (const WnPointer& pointer : synset.pointers) {
                        static const std::set<std::string> kinds = {"@", "@i", "~", "~i", "&", "^", "+",
                                                                    "=", "#m", "#p", "#s", "%m", "%p", "%s"};
                        if (!kinds.count(pointer.symbol))
                            continue;
                        WnSynset target;
                        ASSERT_EQ(m_db.ReadSynset(pointer.pos, pointer.offset, target), WnRead::found);
                        for (const WnSynsetWord& w : target.words)
                            neighbours.insert(WnLower(w.text));
                    }
                }
        }
        CClueWords clues;
        ASSERT_EQ(clues.Build(m_db, clue), WnRead::found);
        int nRelated = 0;
        std::vector<std::string> sample = words;
        // Forms that reduce to the related words, so that the sample holds some.
        for (const std::string& w : synonyms)
            if (w.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos)
                for (const char* ending : {"", "s", "es", "ed", "ing", "er", "est"})
                    sample.push_back(w + ending);
        for (const std::string& word : sample) {
            bool bSynonym = false, bNeighbour = false;
            for (int p = 0; p < kWnPosCount; ++p) {
                std::vector<WnIndexEntry> entries;
                ASSERT_EQ(LookupForms(m_db, static_cast<WnPos>(p), word, entries), WnRead::found);
                for (const WnIndexEntry& entry : entries) {
                    bSynonym |= synonyms.count(entry.lemma) > 0;
                    bNeighbour |= neighbours.count(entry.lemma) > 0;
                }
            }
            const CClueWords::Relation relation = clues.Relate(word);
            EXPECT_EQ(relation.nClues, (bSynonym || bNeighbour) ? 1 : 0) << word;
            EXPECT_EQ(relation.bSynonym, bSynonym) << word;
            nRelated += relation.nClues;
        }
        EXPECT_GT(nRelated, 5);
    }
}

}  // namespace
