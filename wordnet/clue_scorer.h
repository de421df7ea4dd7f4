// The WordNet scorer of a clue: how well each fitting word answers a clue as
// printed, and why.
//
// Build works from the clue's side once: it gathers, into one map from a
// word's base form to its evidence, the words WordNet links to the clue
// (synonyms of its words and of its phrases such as sea_eagle; words one and
// two pointers away; the kinds of a clue word at any depth; the words of the
// clue words' definitions; the words whose definitions hold the clue's words,
// from the definition index; the classes of an "X, e.g." example; the word
// that completes a "___" blank), and the wordplay of cryptic clues (words
// hidden in the clue's letters, anagrams of its words). Score then costs a
// few hash lookups per candidate: its base forms by WordNet's morphology,
// each form told apart (plural, past, -ing), so that a form that agrees with
// the clue's ranks above one that does not.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "search/clue_scorer.h"
#include "wordnet/clue_text.h"
#include "wordnet/definition_index.h"
#include "wordnet/wordnet_db.h"

// The form of a word against its base form.
enum class WnForm : uint8_t { kBase, kS, kPast, kIng, kEr, kAny };

class CWordNetClueScorer : public IClueScorer {
public:
    // Gathers the evidence of `clue`; `pIndex` may be null or closed (no
    // definition evidence from the candidates' side then). Damaged when a
    // file of the database cannot be read as one. Keeps `db` and `pIndex`.
    WnRead Build(const CWordNet& db, const CDefinitionIndex* pIndex, std::string_view clue);

    ClueVerdict Score(std::string_view word) override;

    // False when the clue holds no word at all (only punctuation, say).
    bool HasWords() const { return !m_clue.words.empty() || !m_clue.foreign.empty(); }
    // The clue's words that WordNet does not know, upper case, each once.
    const std::vector<std::string>& UnknownWords() const { return m_unknown; }
    // The sense of `word` (a listed word, any case) that its best evidence
    // came from: its synset in WordNet; false when the evidence names none
    // (wordplay, a blank, a clue word's definition).
    bool EvidenceSense(std::string_view word, WnSynsetRef& sense);
    // The evidence gathered: words, for tests and benchmarks.
    size_t EvidenceCount() const { return m_evidence.size(); }

    // The form of a clue word against its base form, as the clue shows it:
    // kAny where the word is also an entry of its own in that form.
    static WnForm ClueWordForm(const CWordNet& db, std::string_view word);

private:
    struct Item {
        uint8_t source;  // a clue word's index, or one of the k... sources below
        WnForm form;     // the clue's form this evidence wants
        float score;
        uint32_t reason;
        int8_t sensePos = -1;     // the synset the word was found in, if any
        uint32_t senseOffset = 0;
    };
    struct Entry {
        static constexpr size_t kMaxItems = 6;
        Item items[kMaxItems];    // the best item of each source (the strongest kept)
        uint8_t nItems = 0;
        bool bOffensive = false;  // reached through a sense marked offensive
    };
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    using EvidenceMap = std::unordered_map<std::string, Entry, Hash, std::equal_to<>>;

    static constexpr uint8_t kDefinition = 100, kBlank = 101, kExample = 102, kHidden = 103, kAnagram = 104;

    uint32_t Reason(const std::string& text);
    void Add(std::string_view word, uint8_t source, WnForm form, float score, uint32_t reason,
             const WnSynset* pSense = nullptr, WnPos sensePos = kWnNoun);
    void AddSynset(const WnSynset& synset, uint8_t source, WnForm form, float score, uint32_t reason);
    bool Read(WnPos pos, uint32_t offset, WnSynset& synset);
    bool Offensive(const WnSynset& synset) const;

    // The evidence of one clue word or phrase (its senses, their neighbours).
    bool GatherTerm(const std::string& term, const std::string& shown, uint8_t source, WnForm form, float boost,
                    bool& bKnown);
    bool GatherDefinitions(WnForm form);
    bool GatherExample(WnForm form);
    bool GatherBlank();
    void GatherWordplay(size_t length);

    const CWordNet* m_pDb = nullptr;
    const CDefinitionIndex* m_pIndex = nullptr;
    ClueText m_clue;
    EvidenceMap m_evidence;
    std::deque<std::string> m_reasons;  // a deque: the verdicts' views stay valid
    std::unordered_map<std::string, uint32_t> m_reasonIds;
    std::unordered_set<std::string> m_self;  // the clue's words and their base forms
    // Every form that may reduce to an evidence word or a word of m_self: the
    // words themselves, their inflections by the detachment rules run
    // backwards (and a doubled last letter), and the exception lists' forms,
    // as a Bloom filter (two bits per form in 2^20; some 1% of the others
    // pass). Score rejects almost every candidate with it.
    std::vector<uint64_t> m_reach;
    void Reach(std::string_view form);
    bool MayReach(std::string_view form) const;
    void CollectReach();
    std::vector<std::string> m_unknown;
    std::vector<uint32_t> m_offensiveDomains;
    size_t m_nReads = 0;
    float m_termWeight = 1.0f;  // the weight of the clue word or phrase being gathered
    bool m_bDamaged = false;
    bool m_bReady = false;  // Build gathered everything: Score may answer
    // Wordplay, per word length: letters -> reason.
    size_t m_nWordplayLength = 0;
    std::unordered_map<std::string, uint32_t> m_hidden, m_anagrams;
    std::string m_lower, m_sorted;  // Score's scratch
    const Item* m_pBest = nullptr;  // the last Score's strongest evidence, if from the map
};
