// One Find, as the window and the command line both run it: the query, the
// limit, the count, "Common words first" and the ranking by a clue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>
#include <string_view>

#include "dictionary/dictionary.h"
#include "search/clue_scorer.h"
#include "search/find_words.h"

struct CFindRequest {
    bool bAnagram = false;
    CString pattern;  // as typed
    CString letters;  // as typed
    bool bLimit = false;
    bool bCommonFirst = false;
    // Ranks the fitting words by the clue; null for a Find without a clue.
    IClueScorer* pScorer = nullptr;
    // With a scorer: asked once the dictionary's words are read, for more
    // candidates from elsewhere (the phrases that fit), ranked with the words
    // and listed after them when they have no evidence. Not counted in nTotal.
    std::function<std::vector<CString>()> moreCandidates;
};

// Prepares the query on a dictionary opened for reading. The search always
// runs to the end of its block, so that every fitting word is counted; the
// limit applies to the words listed. A refused query returns why, for the
// caller to show.
Status PrepareFind(CDictionary& dict, const CFindRequest& request);

// Where the rows of a Find go as they are decided: the window keeps them,
// the command line writes them out at once.
class IFoundSink {
public:
    virtual ~IFoundSink() = default;
    // One listed word and its reason ("" for none).
    virtual void Word(std::string_view word, std::string_view reason) = 0;
    // Listed words of `nLength` letters as whole lines, each ending in '\n'
    // (common first keeps them so), without reasons.
    virtual void Lines(std::string_view lines, size_t nLength) {
        for (size_t at = 0; at + nLength <= lines.size(); at += nLength + 1)
            Word(lines.substr(at, nLength), std::string_view());
    }
};

// Runs a prepared Find into `sink`, in the order below; returns how many
// words fit in all.
int64_t RunFind(CDictionary& dict, const CFindRequest& request, IFoundSink& sink);

// Lists the words of a prepared Find. Without a scorer: the matches in the
// usual order (most common first with bCommonFirst), the first 100 with the
// limit. With one: every fitting word, those with evidence first, best
// first (ties keep the usual order), then the words without evidence in the
// usual order, then the ones the scorer puts last; with the limit, the first
// 100 of that order. `reasons` then holds each listed word's reason ("" for
// none). nTotal counts every fitting word either way.
CFoundWords RunFind(CDictionary& dict, const CFindRequest& request);

// Puts `extra`, words the search does not list by itself (the abbreviations
// a clue asks for), in front of `found`: with a scorer, those with evidence
// first, best first, each with its reason; at most `nMaxListed` rows in all,
// the extra ones first.
void PrependRanked(std::vector<CString> extra, IClueScorer* pScorer, size_t nMaxListed, CFoundWords& found);
