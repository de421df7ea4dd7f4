// The ranking by a clue: the clue as printed taken apart, the definition
// index written and read back (damage refused), the WordNet scorer's
// evidence on a hand-made database, and the engine's Find that orders by it.
#include <gtest/gtest.h>

#include <map>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "search/find_request.h"
#include "tests/test_support.h"
#include "tests/wordnet/wordnet_test_db.h"
#include "wordnet/clue_scorer.h"
#include "wordnet/clue_text.h"
#include "wordnet/definition_index.h"
#include "wordnet/meaning_text.h"

namespace {

std::vector<std::string> Words(const ClueText& clue) {
    std::vector<std::string> words;
    for (const ClueWord& word : clue.words)
        words.push_back(word.text);
    return words;
}

using Strings = std::vector<std::string>;

TEST(ClueTextTest, TheClueIsTakenAsPrinted) {
    ClueText clue = ParseClue("\"Rock's\" feline? (4)");
    EXPECT_EQ(Words(clue), (Strings{"rock", "feline"}));
    EXPECT_EQ(clue.nEnumeration, 4);
    EXPECT_TRUE(clue.words[1].bBreakBefore);  // a phrase does not run across the quote
    EXPECT_EQ(ParseClue("Odd job (3,4)").nEnumeration, 7);
    EXPECT_EQ(ParseClue("Dawn (goddess)").nEnumeration, 0);

    clue = ParseClue("Rank and ___");
    EXPECT_EQ(Words(clue), (Strings{"rank", "and"}));
    EXPECT_EQ(clue.nBlank, 2);
    EXPECT_TRUE(clue.words[1].bStop);
    clue = ParseClue("___-and-seek");
    EXPECT_EQ(clue.nBlank, 0);
    EXPECT_FALSE(clue.words[1].bBreakBefore);  // a hyphen joins

    // The example of "X, e.g." and its kin; the markers are no content.
    for (const char* text : {"Sonnet, e.g.", "Sonnet e.g.", "Sonnet, for one", "Sonnet, say", "such as sonnet"}) {
        clue = ParseClue(text);
        ASSERT_TRUE(clue.HasExample()) << text;
        EXPECT_EQ(clue.Phrase(clue.nExampleFirst, clue.nExampleEnd), "sonnet") << text;
        EXPECT_EQ(clue.ContentWords().size(), 1u) << text;
    }
    clue = ParseClue("Long poem: Iliad, for one");
    EXPECT_EQ(clue.Phrase(clue.nExampleFirst, clue.nExampleEnd), "iliad");
    EXPECT_FALSE(ParseClue("Say it again").HasExample());

    // The head of a definition: what the answer is.
    EXPECT_EQ(ParseClue("Boat's bottom beam").Head(), 2);
    EXPECT_EQ(ParseClue("Unit of farmland").Head(), 0);
    EXPECT_EQ(ParseClue("Tusked savanna dweller").Head(), 2);
    EXPECT_EQ(ParseClue("Apple, e.g.").Head(), -1);
    EXPECT_EQ(ParseClue("the of").Head(), -1);

    // Pasted lines, letters beyond ASCII, punctuation only, too many words.
    clue = ParseClue("big\r\ncat\t");
    EXPECT_EQ(Words(clue), (Strings{"big", "cat"}));
    EXPECT_FALSE(clue.words[1].bBreakBefore);  // a pasted line break is a blank
    // Accented letters and typographic punctuation as pasted; other scripts
    // are words no lookup knows.
    clue = ParseClue("Caf\xc3\xa9 owner\xe2\x80\x99s \xe2\x80\x9c" "dream\xe2\x80\x9d\xe2\x80\xa6 \xce\xb1\xce\xb2");
    EXPECT_EQ(Words(clue), (Strings{"cafe", "owner", "dream"}));
    EXPECT_TRUE(clue.words[2].bBreakBefore);
    EXPECT_EQ(clue.foreign, Strings{"\xce\xb1\xce\xb2"});
    EXPECT_TRUE(ParseClue("?!... -- (,)").words.empty());
    std::string many;
    for (int i = 0; i < 127; ++i)
        many += "ab ";
    EXPECT_EQ(ParseClue(many).words.size(), ClueText::kMaxWords);
    EXPECT_EQ(ParseClue(std::string(254, '_')).nBlank, 0);
}

class ClueRankingTest : public ::testing::Test {
protected:
    void SetUp() override { Write(Sample()); }
    static CTestWordNet Sample() {
        CTestWordNet db = SampleWordNet();
        db.Add({"lion", kWnNoun, 'n', 5, {"lion", "king_of_beasts"}, {{"@", "bigcat"}},
                "large gregarious predatory feline of Africa"});
        db.Add({"carnivore", kWnNoun, 'n', 5, {"carnivore"}, {{"~", "panthera"}}, "a flesh-eating mammal"});
        db.Add({"panthera", kWnNoun, 'n', 5, {"panthera"}, {{"@", "carnivore"}, {"~", "lion"}}, "a genus"});
        db.Add({"seaeagle", kWnNoun, 'n', 5, {"sea_eagle"}, {{"~", "erne"}}, "any of various large eagles"});
        db.Add({"erne", kWnNoun, 'n', 5, {"erne"}, {{"@", "seaeagle"}}, "bulky greyish-brown bird"});
        db.Add({"tiger", kWnNoun, 'n', 5, {"tiger"}, {{"@", "bigcat"}}, "large feline of forests in Asia"});
        db.Add({"eos", kWnNoun, 'n', 18, {"Eos"}, {}, "(Greek mythology) goddess of the dawn"});
        db.Add({"dawn", kWnNoun, 'n', 15, {"dawn", "sunrise"}, {}, "the first light of day"});
        db.Add({"rankfile", kWnNoun, 'n', 14, {"rank_and_file"}, {}, "the ordinary members of an organization"});
        db.Add({"slur", kWnNoun, 'n', 18, {"felo"}, {{"@", "feline"}}, "(ethnic slur) an offensive term for a cat"});
        db.Add({"poem", kWnNoun, 'n', 10, {"poem", "verse_form"}, {}, "a composition written in metrical feet"});
        db.Add({"sonnet", kWnNoun, 'n', 10, {"sonnet"}, {{"@", "poem"}}, "a verse form of fourteen lines"});
        db.exceptions[kWnVerb] += "dashed dash\n";
        db.Add({"dash", kWnVerb, 'v', 38, {"dash", "race", "scoot"}, {}, "run or move very quickly"});
        return db;
    }
    void Write(const CTestWordNet& db) {
        db.WriteTo(m_dir.Path());
        ASSERT_EQ(m_db.Open(m_dir.Path()), WnStatus::ok);
        std::string error;
        ASSERT_TRUE(WriteDefinitionIndex(m_dir.Path(), m_dir.Path() + "/definitions.idx", error)) << error;
        ASSERT_TRUE(m_index.Open(m_dir.Path() + "/definitions.idx"));
    }
    // The candidates with evidence, best first, each with its reason.
    std::vector<std::pair<std::string, std::string>> Rank(const std::string& clue, const Strings& candidates) {
        EXPECT_EQ(m_scorer.Build(m_db, &m_index, clue), WnRead::found) << clue;
        std::vector<std::pair<double, std::pair<std::string, std::string>>> scored;
        for (const std::string& word : candidates) {
            const ClueVerdict verdict = m_scorer.Score(word);
            if (verdict.standing == ClueVerdict::kEvidence)
                scored.push_back({-verdict.score, {word, std::string(verdict.reason)}});
        }
        std::stable_sort(scored.begin(), scored.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::pair<std::string, std::string>> ranked;
        for (const auto& s : scored)
            ranked.push_back(s.second);
        return ranked;
    }
    ClueVerdict::Standing Standing(const std::string& word) { return m_scorer.Score(word).standing; }

    ScratchDir m_dir;
    CWordNet m_db;
    CDefinitionIndex m_index;
    CWordNetClueScorer m_scorer;
};

TEST_F(ClueRankingTest, TheIndexHoldsGlossWordsBlanksAndOffensiveWords) {
    std::vector<WnSynsetRef> refs;
    ASSERT_EQ(m_index.Postings("goddess", refs), WnRead::found);
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_EQ(refs[0].pos, kWnNoun);
    // Gloss words are filed under their base forms too: "stones" -> stone.
    EXPECT_EQ(m_index.Postings("stone", refs), WnRead::found);
    EXPECT_EQ(m_index.Postings("stones", refs), WnRead::found);
    EXPECT_EQ(m_index.Postings("the", refs), WnRead::notFound);  // a function word
    EXPECT_EQ(m_index.Postings("Dawn goddess", refs), WnRead::notFound);
    std::vector<std::string> words;
    ASSERT_EQ(m_index.Completions("rank_and_?", words), WnRead::found);
    EXPECT_EQ(words, Strings{"file"});
    ASSERT_EQ(m_index.Completions("?_cat", words), WnRead::found);
    EXPECT_EQ(words, (Strings{"big", "true"}));
    EXPECT_EQ(m_index.Completions("?", words), WnRead::notFound);
    EXPECT_TRUE(m_index.IsOffensive("felo"));
    EXPECT_FALSE(m_index.IsOffensive("cat"));
    // The slur's gloss gives no definition evidence.
    EXPECT_EQ(m_index.Postings("offensive", refs), WnRead::notFound);
}

TEST_F(ClueRankingTest, ADamagedIndexIsRefusedOrReportedNeverMisread) {
    const std::string path = m_dir.Path() + "/bad.idx";
    const auto open = [&](const std::string& text) {
        m_dir.Write("bad.idx", text);
        CDefinitionIndex index;
        return index.Open(path);
    };
    EXPECT_FALSE(open(""));
    EXPECT_FALSE(open("!gridwell-definitions 2 10\n"));
    EXPECT_FALSE(open("!gridwell-definitions 1 0\n"));
    EXPECT_FALSE(open("!gridwell-definitions 1 x\n"));
    EXPECT_FALSE(open("!gridwell-definitions 1 10\n!offensive Bad-Word\n"));
    EXPECT_FALSE(open(std::string(300000, 'a')));
    ASSERT_TRUE(open("!gridwell-definitions 1 10\ndawn n0000001x\ngod n00000010 s00000020\nsun n00000010 v00000020\n"));
    CDefinitionIndex index;
    ASSERT_TRUE(index.Open(path));
    std::vector<WnSynsetRef> refs;
    EXPECT_EQ(index.Postings("dawn", refs), WnRead::damaged);
    EXPECT_EQ(index.Postings("god", refs), WnRead::damaged);  // 's' is no part of speech of a data file
    ASSERT_EQ(index.Postings("sun", refs), WnRead::found);
    EXPECT_EQ(refs, (std::vector<WnSynsetRef>{{kWnNoun, 10}, {kWnVerb, 20}}));
    EXPECT_EQ(index.Postings("moon", refs), WnRead::notFound);
    // A scorer over a damaged index says so.
    CWordNetClueScorer scorer;
    EXPECT_EQ(scorer.Score("DAWN").standing, ClueVerdict::kNone);  // before any Build
    EXPECT_EQ(scorer.Build(m_db, &index, "Dawn"), WnRead::damaged);
    EXPECT_NE(scorer.Score("DAWN").standing, ClueVerdict::kEvidence);
}

TEST_F(ClueRankingTest, EvidenceRanksTheAnswerFirstWithItsReason) {
    // A definition that holds the clue's words; a kind of the clue word.
    auto ranked = Rank("Dawn goddess", {"CAT", "EOS", "SUNRISE"});
    ASSERT_FALSE(ranked.empty());
    EXPECT_EQ(ranked[0], (std::pair<std::string, std::string>{"EOS", "definition: (Greek mythology) goddess of the dawn"}));
    ranked = Rank("Large feline", {"FELID", "LION", "ROCK", "TIGER", "STONE"});
    ASSERT_GE(ranked.size(), 2u);
    EXPECT_EQ(ranked[0].first, "LION");  // a kind, and its definition holds both words
    EXPECT_EQ(Standing("ROCK"), ClueVerdict::kNone);
    // Two steps down the kinds: still a kind, but weaker than one step.
    ranked = Rank("carnivore", {"LION", "PANTHERA"});
    ASSERT_EQ(ranked.size(), 2u);
    EXPECT_EQ(ranked[0], (std::pair<std::string, std::string>{"PANTHERA", "a kind of carnivore"}));
    EXPECT_EQ(ranked[1], (std::pair<std::string, std::string>{"LION", "a kind of carnivore"}));
    // A phrase of the clue is looked up whole.
    ranked = Rank("Sea eagle", {"ROCK", "ERNE"});
    ASSERT_EQ(ranked.size(), 1u);
    EXPECT_EQ(ranked[0], (std::pair<std::string, std::string>{"ERNE", "a kind of sea eagle"}));
    // "X, e.g.": the class X belongs to.
    ranked = Rank("Sonnet, e.g.", {"POEM", "ROCK"});
    ASSERT_EQ(ranked.size(), 1u);
    EXPECT_EQ(ranked[0], (std::pair<std::string, std::string>{"POEM", "sonnet is one"}));
    // Fill in the blank.
    ranked = Rank("Rank and ___", {"FILE", "ROCK"});
    ASSERT_FALSE(ranked.empty());
    EXPECT_EQ(ranked[0], (std::pair<std::string, std::string>{"FILE", "completes 'rank and ___'"}));
}

TEST_F(ClueRankingTest, FormsAgreeWithTheClueAndTheClueItselfComesLast) {
    // Past tense wants the past tense; a plural clue a plural.
    auto ranked = Rank("Dashed", {"RACE", "RACED", "SCOOTS"});
    ASSERT_EQ(ranked.size(), 3u);
    EXPECT_EQ(ranked[0].first, "RACED");
    ranked = Rank("Felines", {"CAT", "CATS"});
    ASSERT_EQ(ranked.size(), 2u);
    EXPECT_EQ(ranked[0].first, "CATS");
    ranked = Rank("feline", {"CAT", "CATS"});
    EXPECT_EQ(ranked[0].first, "CAT");
    // A clue that opens with a verb in the past is a verb phrase: its
    // definitions' answers want the past too.
    ranked = Rank("Dashed off", {"RACE", "RACED"});
    ASSERT_FALSE(ranked.empty());
    EXPECT_EQ(ranked[0].first, "RACED");
    // The clue's words and their forms; a word marked offensive.
    ASSERT_EQ(m_scorer.Build(m_db, &m_index, "Rock's feline"), WnRead::found);
    EXPECT_EQ(Standing("ROCKS"), ClueVerdict::kLast);
    EXPECT_EQ(Standing("FELINE"), ClueVerdict::kLast);
    EXPECT_EQ(Standing("FELO"), ClueVerdict::kLast);
    EXPECT_EQ(Standing("CAT"), ClueVerdict::kEvidence);
    ASSERT_EQ(m_scorer.Build(m_db, &m_index, "pebble"), WnRead::found);
    EXPECT_EQ(Standing("FELO"), ClueVerdict::kLast);  // marked in every sense: last with no evidence too
}

TEST_F(ClueRankingTest, WordplayAndUnknownWords) {
    // Hidden across word boundaries, forwards and backwards; an anagram of
    // adjacent words. Within one word is no hiding.
    ASSERT_EQ(m_scorer.Build(m_db, &m_index, "Some selfie scatter"), WnRead::found);
    EXPECT_EQ(m_scorer.Score("MESE").reason, "hidden in 'some selfie'");
    EXPECT_EQ(m_scorer.Score("ESEMO").reason, "hidden backwards in 'some selfie'");
    EXPECT_EQ(m_scorer.Score("ELFIE").standing, ClueVerdict::kNone);
    EXPECT_EQ(m_scorer.Score("EMOS").reason, "anagram of 'some'");
    EXPECT_EQ(m_scorer.Score("SELFIESOME").reason, "anagram of 'some selfie'");
    // With an enumeration (a cryptic clue) a word reversed within one word
    // counts, and wordplay weighs more.
    EXPECT_EQ(m_scorer.Score("EIFL").standing, ClueVerdict::kNone);
    const double plain = m_scorer.Score("EMOS").score;
    ASSERT_EQ(m_scorer.Build(m_db, &m_index, "Some selfie scatter (4)"), WnRead::found);
    EXPECT_EQ(m_scorer.Score("EIFL").reason, "hidden backwards in 'selfie'");
    EXPECT_GT(m_scorer.Score("EMOS").score, plain);
    // "some" is a function word: no meaning is missed for it.
    EXPECT_EQ(m_scorer.UnknownWords(), (Strings{"SELFIE", "SCATTER"}));
    ASSERT_EQ(m_scorer.Build(m_db, &m_index, "\xce\xb1\xce\xb2 cat, cat"), WnRead::found);
    EXPECT_EQ(m_scorer.UnknownWords(), Strings{"\xce\xb1\xce\xb2"});
    ASSERT_EQ(m_scorer.Build(m_db, &m_index, "?!"), WnRead::found);
    EXPECT_FALSE(m_scorer.HasWords());
    // No definition index: the links still rank.
    ASSERT_EQ(m_scorer.Build(m_db, nullptr, "feline"), WnRead::found);
    EXPECT_EQ(m_scorer.Score("CAT").reason, "a kind of feline");
}

TEST_F(ClueRankingTest, TheMeaningOfAnAnswerShowsTheSenseTheClueMatchedFirst) {
    ASSERT_EQ(m_scorer.Build(m_db, &m_index, "hombre"), WnRead::found);
    WnSynsetRef sense;
    ASSERT_TRUE(m_scorer.EvidenceSense("CATS", sense));
    CString text;
    ASSERT_EQ(MeaningText(m_db, "cats", text, &sense), WnRead::found);
    EXPECT_EQ(text, "Overview of noun cat\n\n"
                    "The noun cat has 3 senses (first 1 from tagged texts)\n\n"
                    "2. guy, cat, hombre -- (an informal term for a youth or man)\n"
                    "1. (18) cat, true cat -- (feline mammal; \"cats purr\")\n"
                    "3. big cat, cat -- (any of several large cats)\n");
    // The part of speech of the matched sense comes first.
    ASSERT_EQ(m_scorer.Build(m_db, &m_index, "lapidate"), WnRead::found);
    ASSERT_TRUE(m_scorer.EvidenceSense("STONE", sense));
    ASSERT_EQ(MeaningText(m_db, "stone", text, &sense), WnRead::found);
    EXPECT_EQ(text.find("Overview of verb stone\n"), 0u);
    // Wordplay names no sense.
    ASSERT_EQ(m_scorer.Build(m_db, &m_index, "Some selfie"), WnRead::found);
    EXPECT_FALSE(m_scorer.EvidenceSense("MESE", sense));
}

// A scorer of fixed verdicts, for the Find's ordering.
class FixedScorer : public IClueScorer {
public:
    std::map<std::string, ClueVerdict> verdicts;
    ClueVerdict Score(std::string_view word) override {
        const auto it = verdicts.find(std::string(word));
        return it == verdicts.end() ? ClueVerdict() : it->second;
    }
};

TEST(FindRequestTest, AClueOrdersEveryFittingWordAndTheLimitKeepsTheBest) {
    ScratchDir dir;
    std::vector<std::string> words;
    for (char a = 'a'; a <= 'z'; ++a)
        for (char b = 'a'; b <= 'e'; ++b)
            words.push_back(std::string(1, a) + b + "t");
    BuildDictionary(dir, words);
    FixedScorer scorer;
    scorer.verdicts["ZET"] = {ClueVerdict::kEvidence, 10, "best"};
    scorer.verdicts["BAT"] = {ClueVerdict::kEvidence, 5, "good"};
    scorer.verdicts["CAT"] = {ClueVerdict::kEvidence, 5, "good too"};
    scorer.verdicts["AAT"] = {ClueVerdict::kLast, 0, ""};
    CFindRequest request;
    request.pattern = "??t";
    request.pScorer = &scorer;
    CDictionary dict(GetWorkDir());
    ASSERT_TRUE(dict.OpenForReading());
    ASSERT_TRUE(PrepareFind(dict, request));
    CFoundWords found = RunFind(dict, request);
    ASSERT_EQ(found.words.size(), 130u);
    EXPECT_EQ(found.nTotal, 130);
    EXPECT_EQ((std::vector<CString>(found.words.begin(), found.words.begin() + 4)),
              (std::vector<CString>{"ZET", "BAT", "CAT", "ABT"}));
    EXPECT_EQ((std::vector<CString>(found.reasons.begin(), found.reasons.begin() + 4)),
              (std::vector<CString>{"best", "good", "good too", ""}));
    EXPECT_EQ(found.words.back(), "AAT");
    request.bLimit = true;
    ASSERT_TRUE(PrepareFind(dict, request));
    found = RunFind(dict, request);
    EXPECT_EQ(found.words.size(), 100u);
    EXPECT_EQ(found.nTotal, 130);
    EXPECT_EQ(found.words[0], "ZET");
    // Without a scorer: the usual Find, no reasons.
    request.pScorer = nullptr;
    ASSERT_TRUE(PrepareFind(dict, request));
    found = RunFind(dict, request);
    EXPECT_EQ(found.words.size(), 100u);
    EXPECT_EQ(found.words[0], "AAT");
    EXPECT_TRUE(found.reasons.empty());
}

}  // namespace
