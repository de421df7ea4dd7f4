// Phrases that fit a Find: the entries of the phrase files (WordNet's, the
// user's own list), then phrases composed of two or more dictionary words in
// a row, most common words first; and the abbreviation list's entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "phrases/phrase_file.h"
#include "phrases/phrase_query.h"

// At most this many compositions of dictionary words are listed, so that a
// Find stays fast; and at most this many combinations of words are tried.
inline constexpr size_t kMaxCompositions = 1000;
inline constexpr size_t kMaxCompositionTries = 3000000;

struct CPhraseSearchOptions {
    size_t nMaxListed = SIZE_MAX;  // phrases to list at most (the limit)
    // Compositions of dictionary words when the pattern gives no breaks: of
    // two words, or of up to three (0: none). With breaks, the parts give
    // the words, always.
    int nMaxWords = 2;
};

struct CFoundPhrases {
    std::vector<CString> phrases;  // in listing order: entries, then compositions
    int64_t nTotal = 0;            // entries that fit, and the compositions found
    size_t nEntries = 0;           // of the listed phrases, entries of a phrase file
    bool bCut = false;             // more compositions may fit than were found
    std::string strError;          // why a phrase file could not be read
    std::string strNote;           // a list that is not there (no fault)
};

// The phrase files of a Find: the user's own (beside the dictionary) and the
// packaged one, each opened when present.
class CPhraseSources {
public:
    // Opens the file at `path`; a missing file is no fault, a damaged one
    // is kept out and said in Error().
    void Add(const CString& path);
    std::vector<CPhraseFile*> Files();
    const std::string& Error() const { return m_strError; }

private:
    std::vector<std::unique_ptr<CPhraseFile>> m_files;
    std::string m_strError;
};

// The phrases that fit `query`, listed as they are written ("ICE CREAM",
// "SELF-TAUGHT"). Compositions are made from the words of `dict` (opened for
// reading; its search state is used and left unspecified), ordered by the
// commonness table's levels of their words when it can be read.
CFoundPhrases FindPhrases(CDictionary& dict, const std::vector<CPhraseFile*>& files, const CPhraseQuery& query,
                          const CPhraseSearchOptions& options);

// The abbreviations that fit `query` (none when it gives breaks), in stored
// order or, common first, by their SCOWL level; at most `nMaxListed`.
CFoundPhrases FindAbbreviations(CPhraseFile& file, const CPhraseQuery& query, bool bCommonFirst,
                                size_t nMaxListed);

// The words of a phrase count: "12 phrases", "100 of 1,234 phrases", with
// "(more compositions of words fit)" when the cap cut them.
CString FormatPhraseCount(const CFoundPhrases& found);
