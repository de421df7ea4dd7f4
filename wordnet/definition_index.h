// The definition index: which synsets' glosses (definitions and example
// sentences) hold a word, the WordNet entries a blank completes, and the
// words WordNet marks as offensive. Built from the database by
// make-definition-index when the program is built, installed beside the
// commonness table as definitions.idx, and read with the WordNet line reader
// (a binary search by key and pread; nothing is loaded whole).
//
// Text lines sorted by their first field in byte order:
//   !gridwell-definitions 1 SYNSETS      the header: format 1, synsets indexed
//   !offensive WORD...                  words with a sense marked offensive
//   =PHRASE WORD...                      PHRASE is a WordNet entry with one word
//                                        replaced by '?' (rank_and_?), then the
//                                        words that complete it (file)
//   WORD POS+OFFSET...                   a gloss word in its base form and the
//                                        synsets that hold it (n01234567)
// Words are a-z only. Glosses of synsets without a one-word entry and of
// offensive synsets are left out; so are words in more than kMaxPostings
// glosses, which say too little.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "wordnet/line_file.h"
#include "wordnet/wordnet_db.h"

struct WnSynsetRef {
    WnPos pos = kWnNoun;
    uint32_t offset = 0;
    bool operator==(const WnSynsetRef&) const = default;
};

class CDefinitionIndex {
public:
    static constexpr const char* kFileName = "definitions.idx";
    static constexpr size_t kMaxPostings = 4000;

    // Opens the index; false when it is missing or its header is not ours.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_file.IsOpen(); }
    // How many synsets the index was built from (for weighing words by rarity).
    uint32_t SynsetCount() const { return m_nSynsets; }

    // The synsets whose glosses hold `word` (a base form, a-z).
    WnRead Postings(std::string_view word, std::vector<WnSynsetRef>& refs) const;
    // The words that complete a phrase with one '?' word (rank_and_?).
    WnRead Completions(std::string_view phrase, std::vector<std::string>& words) const;
    // Words with a sense that WordNet marks as a slur or obscene.
    bool IsOffensive(std::string_view word) const { return m_offensive.count(std::string(word)) > 0; }

private:
    CLineFile m_file;
    uint32_t m_nSynsets = 0;
    std::unordered_set<std::string> m_offensive;
};

// The line parsers, on a line without its key; false when a field is not as
// the format says.
bool ParsePostings(std::string_view fields, std::vector<WnSynsetRef>& refs);
bool ParseWordList(std::string_view fields, std::vector<std::string>& words);

// True when WordNet marks the synset as a slur or obscene: by its gloss
// ("(ethnic slur)", "offensive term", "obscene") or by a usage domain among
// `offensiveDomains` (the synsets of ethnic_slur, obscenity, vulgarism ...).
bool IsOffensiveSynset(const WnSynset& synset, const std::vector<uint32_t>& offensiveDomains);
// The usage-domain synsets that mark a slur or an obscenity in `db`.
WnRead OffensiveDomains(const CWordNet& db, std::vector<uint32_t>& offsets);

// The words of a gloss (a-z, lower case), function words left out.
std::vector<std::string> GlossWords(std::string_view gloss);

// Writes the index of the database in `dir` to `path`; false with `error`
// when the database cannot be read or the file written.
bool WriteDefinitionIndex(const std::string& dir, const std::string& path, std::string& error);
