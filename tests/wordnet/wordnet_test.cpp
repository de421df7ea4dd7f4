// The WordNet reader on small hand-made databases: records, morphology, the
// meaning text, clue words, and damaged or missing files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "tests/test_support.h"
#include "tests/wordnet/wordnet_test_db.h"
#include "wordnet/clue_words.h"
#include "wordnet/meaning_text.h"
#include "wordnet/morphology.h"
#include "wordnet/wordnet_db.h"

namespace {

class WordNetTest : public ::testing::Test {
protected:
    void SetUp() override { Write(SampleWordNet()); }
    void Write(const CTestWordNet& db) {
        m_offsets = db.WriteTo(m_dir.Path());
        ASSERT_EQ(m_db.Open(m_dir.Path()), WnStatus::ok);
    }
    std::vector<std::string> BaseForms(WnPos pos, const std::string& word) {
        std::vector<std::string> forms;
        EXPECT_EQ(MorphBaseForms(m_db, pos, word, forms), WnRead::found);
        return forms;
    }
    CString Meaning(const std::string& word, WnRead expected = WnRead::found) {
        CString text;
        EXPECT_EQ(MeaningText(m_db, word, text), expected) << word;
        return text;
    }
    ScratchDir m_dir;
    CWordNet m_db;
    std::map<std::string, uint32_t> m_offsets;
};

using Strings = std::vector<std::string>;

TEST_F(WordNetTest, RecordsAreReadWithTheirFields) {
    WnIndexEntry entry;
    ASSERT_EQ(m_db.FindIndex(kWnNoun, "cat", entry), WnRead::found);
    EXPECT_EQ(entry.lemma, "cat");
    EXPECT_EQ(entry.nTaggedSenses, 1);
    EXPECT_EQ(entry.offsets, (std::vector<uint32_t>{m_offsets["cat"], m_offsets["guy"], m_offsets["bigcat"]}));
    EXPECT_EQ(m_db.FindIndex(kWnNoun, "ca", entry), WnRead::notFound);
    EXPECT_EQ(m_db.FindIndex(kWnNoun, "cats", entry), WnRead::notFound);
    EXPECT_EQ(m_db.FindIndex(kWnNoun, "", entry), WnRead::notFound);
    EXPECT_EQ(m_db.FindIndex(kWnNoun, "cat n", entry), WnRead::notFound);

    WnSynset synset;
    ASSERT_EQ(m_db.ReadSynset(kWnNoun, m_offsets["rock"], synset), WnRead::found);
    ASSERT_EQ(synset.words.size(), 2u);
    EXPECT_EQ(synset.words[1].text, "stone");
    ASSERT_EQ(synset.pointers.size(), 2u);
    EXPECT_EQ(synset.pointers[1].symbol, "+");
    EXPECT_EQ(synset.pointers[1].pos, kWnVerb);
    EXPECT_EQ(synset.pointers[1].offset, m_offsets["stonev"]);
    EXPECT_EQ(synset.pointers[1].nSource, 2);
    EXPECT_EQ(synset.pointers[1].nTarget, 1);
    EXPECT_EQ(synset.gloss, "a lump of hard matter");
    ASSERT_EQ(m_db.ReadSynset(kWnAdj, m_offsets["galore"], synset), WnRead::found);
    EXPECT_EQ(synset.words[0].text, "galore");  // the marker (ip) is not part of the word
    // A verb line carries its frames before the gloss.
    ASSERT_EQ(m_db.ReadSynset(kWnVerb, m_offsets["run"], synset), WnRead::found);
    EXPECT_EQ(synset.gloss, "move fast by using one's feet");
    // An offset inside a line is not a synset.
    EXPECT_EQ(m_db.ReadSynset(kWnNoun, m_offsets["rock"] + 1, synset), WnRead::damaged);
    EXPECT_EQ(m_db.ReadSynset(kWnNoun, 99999999, synset), WnRead::damaged);

    // Malformed lines are refused, field by field.
    for (const char* line : {"cat n 2 0 2 0 00000001", "cat v 1 0 1 0 00000001", "cat n 1 0 1 2 00000001",
                             "cat n 1 0 1 0 0000000x", "cat n 1 0 1 0 00000001 00000002", "cat n 1 3 @ 1 0 1",
                             "cat n 0 0 0 0", " cat n 1 0 1 0 00000001"})
        EXPECT_FALSE(ParseIndexLine(line, kWnNoun, entry)) << line;
    EXPECT_TRUE(ParseIndexLine("cat n 1 0 1 0 00000001  ", kWnNoun, entry));
    for (const char* line : {"00000001 05 n 01 cat 0 000 gloss", "00000001 05 v 01 cat 0 000 | g",
                             "00000001 05 n 02 cat 0 000 | g", "00000001 05 n 01 cat 0 002 @ 00000002 n 0000 | g",
                             "00000001 05 n 01 cat 0 001 @ 00000002 q 0000 | g", "00000001 05 n 00 000 | g",
                             "0000000x 05 n 01 cat 0 000 | g"})
        EXPECT_FALSE(ParseDataLine(line, kWnNoun, synset)) << line;
    EXPECT_TRUE(ParseDataLine("00000001 05 n 01 cat 0 001 @ 00000002 n 0000 | g", kWnNoun, synset));
}

TEST_F(WordNetTest, MorphologyFollowsTheExceptionListsAndTheFirstRuleThatFindsAWord) {
    EXPECT_EQ(BaseForms(kWnNoun, "cats"), Strings{"cat"});
    EXPECT_EQ(BaseForms(kWnNoun, "geese"), Strings{"goose"});
    EXPECT_EQ(BaseForms(kWnVerb, "ran"), Strings{"run"});
    EXPECT_EQ(BaseForms(kWnNoun, "glasses"), Strings{"glass"});  // "s" gives no word, "ses" does
    EXPECT_EQ(BaseForms(kWnVerb, "fined"), Strings{"fine"});     // "ed"->"e" comes before "ed"->""
    EXPECT_EQ(BaseForms(kWnNoun, "handsful"), Strings{"handful"});
    EXPECT_EQ(BaseForms(kWnNoun, "boss"), Strings{});  // nouns in "ss" keep their s: not "bos"
    EXPECT_EQ(BaseForms(kWnNoun, "as"), Strings{});
    EXPECT_EQ(BaseForms(kWnAdv, "runs"), Strings{});   // no rules for adverbs
    EXPECT_EQ(BaseForms(kWnNoun, "mice"), Strings{"mouse"});  // listed, though not in this index

    std::vector<WnIndexEntry> entries;
    ASSERT_EQ(LookupForms(m_db, kWnNoun, "mice", entries), WnRead::found);
    EXPECT_TRUE(entries.empty());
    ASSERT_EQ(LookupForms(m_db, kWnVerb, "stones", entries), WnRead::found);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].lemma, "stone");
}

TEST_F(WordNetTest, MeaningTextIsTheOverviewOfEveryFormAndPartOfSpeech) {
    EXPECT_EQ(Meaning("CATS"),
              "Overview of noun cat\n\n"
              "The noun cat has 3 senses (first 1 from tagged texts)\n\n"
              "1. (18) cat, true cat -- (feline mammal; \"cats purr\")\n"
              "2. guy, cat, hombre -- (an informal term for a youth or man)\n"
              "3. big cat, cat -- (any of several large cats)\n");
    // The word itself, then its base form; each part of speech in turn.
    const CString stones = Meaning("stones");
    EXPECT_EQ(stones.find("Overview of noun stone\n\nThe noun stone has 1 sense (no senses from tagged texts)\n\n"
                          "1. rock, stone -- (a lump of hard matter)\n"),
              0u);
    EXPECT_NE(stones.find("\nOverview of verb stone\n\nThe verb stone has 1 sense"), CString::npos);
    // A satellite's tagged count is filed under its head word; markers never show.
    EXPECT_NE(Meaning("scared").find("1. (7) scared, frightened -- (made afraid)"), CString::npos);
    EXPECT_NE(Meaning("galore").find("1. galore -- (in great numbers)"), CString::npos);
    EXPECT_NE(Meaning("  Big Cat ").find("The noun big cat has 1 sense"), CString::npos);
    EXPECT_EQ(Meaning("estop", WnRead::notFound), "");
    EXPECT_EQ(Meaning("mice", WnRead::notFound), "");
    EXPECT_EQ(Meaning("", WnRead::notFound), "");
    EXPECT_EQ(Meaning("cat\n dog", WnRead::notFound), "");
}

TEST_F(WordNetTest, ClueWordsRelateSynonymsAndWordsOnePointerAway) {
    CClueWords clues;
    ASSERT_EQ(clues.Build(m_db, "feline"), WnRead::found);
    EXPECT_TRUE(clues.Relate("FELID").bSynonym);
    EXPECT_TRUE(clues.Relate("CATLIKE").bSynonym);  // the adjective's synset counts too
    const CClueWords::Relation cat = clues.Relate("CAT");
    EXPECT_EQ(cat.nClues, 1);
    EXPECT_FALSE(cat.bSynonym);  // a hyponym of felid
    EXPECT_EQ(clues.Relate("cats").nClues, 1);
    EXPECT_EQ(clues.Relate("BIGCAT").nClues, 0);  // big_cat is no word of the dictionary
    EXPECT_EQ(clues.Relate("GUY").nClues, 0);     // a sense of cat, two pointers away
    EXPECT_EQ(clues.Relate("ROCK").nClues, 0);

    // The clue word is reduced too, and pointers cross parts of speech.
    ASSERT_EQ(clues.Build(m_db, "lapidated"), WnRead::found);
    EXPECT_TRUE(clues.Relate("STONE").bSynonym);
    EXPECT_EQ(clues.Relate("ROCKS").nClues, 1);  // derivationally related noun
    EXPECT_FALSE(clues.Relate("ROCKS").bSynonym);
    EXPECT_EQ(clues.Relate("PEBBLE").nClues, 0);

    // A word reduced by a later rule while an earlier rule already finds a
    // word is not that later base form: FINED is "fine", never "fin".
    ASSERT_EQ(clues.Build(m_db, "fin"), WnRead::found);
    EXPECT_EQ(clues.Relate("FIN").nClues, 1);
    EXPECT_EQ(clues.Relate("FINED").nClues, 0);
    EXPECT_EQ(clues.Relate("FINNED").nClues, 0);
    ASSERT_EQ(clues.Build(m_db, "goose"), WnRead::found);
    EXPECT_EQ(clues.Relate("GEESE").nClues, 1);
    EXPECT_FALSE(clues.Damaged());
}

TEST_F(WordNetTest, RelatedWordsRankSynonymsFirstThenMoreClueWords) {
    CClueWords clues;
    EXPECT_EQ(CClueWords::Split(" rock,, Feline\tROCK "), (Strings{"rock", "feline"}));
    ASSERT_EQ(clues.Build(m_db, "rock, feline"), WnRead::found);
    EXPECT_EQ(clues.ClueCount(), 2u);
    // PEBBLE and CAT: one pointer from one clue word; STONE, SWAY: synonyms
    // of rock; FELID: a synonym of feline. No word relates to both here, so
    // build one that does: a pebble that is also a feline.
    EXPECT_EQ(clues.RankRelated({"CAT", "ESTOP", "PEBBLE", "STONE", "FELID", "SWAY", "GUY"}),
              (std::vector<CString>{"STONE", "FELID", "SWAY", "CAT", "PEBBLE"}));

    // A synonym of two clue words comes before a synonym of one, and any
    // synonym before a word one pointer away.
    CTestWordNet both = SampleWordNet();
    both.Add({"pebfeline", kWnNoun, 'n', 5, {"pebble", "feline"}, {}, "a made-up synset"});
    Write(both);
    ASSERT_EQ(clues.Build(m_db, "stone feline"), WnRead::found);
    EXPECT_EQ(clues.Relate("PEBBLE").nClues, 2);
    EXPECT_EQ(clues.RankRelated({"CAT", "FELID", "PEBBLE"}), (std::vector<CString>{"PEBBLE", "FELID", "CAT"}));
    // No clue words: nothing is related.
    ASSERT_EQ(clues.Build(m_db, " , "), WnRead::found);
    EXPECT_TRUE(clues.RankRelated({"CAT", "STONE"}).empty());
}

// Every damaged database is refused with a status, never a crash or a hang.
TEST(WordNetDamageTest, MissingAndDamagedFilesAreRefusedCleanly) {
    const std::map<std::string, std::string> good = SampleWordNet().Files();
    struct Case {
        const char* name;
        std::string file;
        std::string contents;
    };
    std::string reversed;  // the index in the wrong order: lookups end, finding less
    {
        std::string index = good.at("index.noun");
        std::vector<std::string> lines;
        for (size_t pos = 0; pos < index.size();) {
            const size_t end = index.find('\n', pos);
            lines.push_back(index.substr(pos, end + 1 - pos));
            pos = end + 1;
        }
        for (auto it = lines.rbegin(); it != lines.rend(); ++it)
            reversed += *it;
    }
    const std::string data = good.at("data.noun");
    const std::vector<Case> cases = {
        {"bad index field", "index.noun", "cat n one 0 1 0 00000100\n"},
        {"offset past the end", "index.noun", "cat n 1 0 1 0 99999999\n"},
        {"offset inside a line", "index.noun", "cat n 1 0 1 0 00000003\n"},
        {"truncated data", "data.noun", data.substr(0, data.find("true_cat"))},
        {"no line ends", "index.noun", std::string(600000, 'c')},
        {"binary data", "data.noun", std::string(5000, '\0')},
        {"reversed index", "index.noun", reversed},
        {"empty index", "index.noun", ""},
        {"empty data", "data.noun", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        for (const auto& [name, text] : good)
            dir.Write(name, name == c.file ? c.contents : text);
        CWordNet db;
        ASSERT_EQ(db.Open(dir.Path()), WnStatus::ok);
        CString text;
        const WnRead read = MeaningText(db, "cat", text);
        if (c.contents != reversed) {  // a search of unsorted lines only has to end
            EXPECT_NE(read, WnRead::found);
        }
        EXPECT_EQ(text.empty(), read != WnRead::found);
        CClueWords clues;
        const WnRead built = clues.Build(db, "feline cat");
        if (built == WnRead::found)
            clues.RankRelated({"CAT", "CATS", "FELID", "STONES"});
    }
    // A missing file, a directory or a FIFO in a file's place: missing, at once.
    for (const char* what : {"absent", "directory", "fifo"}) {
        SCOPED_TRACE(what);
        ScratchDir dir;
        for (const auto& [name, text] : good)
            if (name != "index.verb")
                dir.Write(name, text);
        if (std::string(what) == "directory")
            ::mkdir(dir.File("index.verb").c_str(), 0700);
        if (std::string(what) == "fifo")
            ::mkfifo(dir.File("index.verb").c_str(), 0600);
        CWordNet db;
        EXPECT_EQ(db.Open(dir.Path()), WnStatus::missing);
        CString text;
        EXPECT_EQ(MeaningText(db, "cat", text), WnRead::damaged);
    }
    // Without cntlist.rev the meanings show, without counts.
    ScratchDir dir;
    for (const auto& [name, text] : good)
        if (name != "cntlist.rev")
            dir.Write(name, text);
    CWordNet db;
    ASSERT_EQ(db.Open(dir.Path()), WnStatus::ok);
    CString text;
    ASSERT_EQ(MeaningText(db, "cat", text), WnRead::found);
    EXPECT_NE(text.find("1. (0) cat, true cat"), CString::npos);
}

TEST(WordNetDirTest, WnsearchdirOverridesTheDefaultDirectory) {
    const char* saved = std::getenv("WNSEARCHDIR");
    const std::string restore = saved ? saved : "";
    ::setenv("WNSEARCHDIR", "/some/where", 1);
    EXPECT_EQ(CWordNet::SearchDir(), "/some/where");
    ::setenv("WNSEARCHDIR", "", 1);
    EXPECT_EQ(CWordNet::SearchDir(), "/usr/share/wordnet");
    ::unsetenv("WNSEARCHDIR");
    EXPECT_EQ(CWordNet::SearchDir(), "/usr/share/wordnet");
    if (saved)
        ::setenv("WNSEARCHDIR", restore.c_str(), 1);
}

}  // namespace
