// Clue words: which candidate words WordNet relates to the words of a clue.
//
// A candidate is related to a clue word when, both reduced to their base
// forms, the candidate is a word of a synset of the clue word (a synonym), or
// a word of a synset one pointer away from one of those: hypernym, hyponym,
// instance, similar to, also see, derivationally related, member, part and
// substance holonym and meronym, attribute; in any part of speech. Multi-word
// entries (big_cat) are never dictionary words and are left out.
//
// Build gathers the related words of every clue word once, and every form
// that could reduce to one of them (the words themselves, their inflections
// by the exception lists and by the detachment rules run backwards). Relate
// then rejects almost every candidate with one hash lookup; only the few that
// could be related are reduced to their base forms, with an index lookup
// where WordNet's "first rule whose result is in the index" must be checked.
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/cstring.h"
#include "wordnet/wordnet_db.h"

class CClueWords {
public:
    // Clue words beyond this many are ignored (a 254-character box holds 127).
    static constexpr size_t kMaxClues = 128;

    // The clue words of a text: separated by blanks and commas, lower case,
    // each once, in the order typed.
    static std::vector<std::string> Split(std::string_view text);

    // Gathers the words related to the clue words of `text`; damaged when a
    // file of the database cannot be read as one. The object keeps `db`.
    WnRead Build(const CWordNet& db, std::string_view text);
    size_t ClueCount() const { return m_nClues; }
    // The related words gathered (lower case), for tests and benchmarks.
    size_t RelatedWordCount() const { return m_words.size(); }

    struct Relation {
        int nClues = 0;         // how many clue words the word is related to
        bool bSynonym = false;  // a synonym of at least one of them
    };
    // How `word` (a dictionary word, any case) relates to the clue words.
    Relation Relate(std::string_view word);
    // True once a lookup that Relate needed met a damaged file.
    bool Damaged() const { return m_bDamaged; }

    // The words of `words` that are related to a clue word, synonyms first,
    // then those related to more clue words, otherwise in the given order.
    std::vector<CString> RankRelated(const std::vector<CString>& words);

private:
    using ClueSet = std::bitset<kMaxClues>;
    struct Related {
        ClueSet synonym;
        ClueSet pointer;
        unsigned nPosMask = 0;  // parts of speech known to have the word in their index
    };

    void AddWords(const WnSynset& synset, WnPos pos, size_t nClue, bool bSynonym);
    void CollectReachingForms();
    bool Defined(WnPos pos, const std::string& lemma, const Related* pRelated);

    const CWordNet* m_pDb = nullptr;
    size_t m_nClues = 0;
    std::unordered_map<std::string, Related> m_words;
    std::unordered_set<std::string> m_reaching;  // forms that may reduce to a related word
    std::unordered_map<std::string, bool> m_defined[kWnPosCount];
    bool m_bDamaged = false;
};
