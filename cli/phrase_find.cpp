#include "cli/phrase_find.h"

#include <unistd.h>

#include "app/work_dir.h"
#include "phrases/phrase_search.h"
#include "platform/data_dir.h"

namespace {

// The user's own phrases (beside the dictionary) first, then the packaged.
CPhraseSources OpenSources() {
    CPhraseSources sources;
    sources.Add(WorkDirPath(kPhraseFileName));
    const CString packaged = DataFilePath(kPhraseFileName);
    if (packaged != WorkDirPath(kPhraseFileName))
        sources.Add(packaged);
    return sources;
}

void Write(const CFoundPhrases& found, std::FILE* out, PhraseListing& listing) {
    for (const CString& phrase : found.phrases) {
        std::fwrite(phrase.data(), 1, phrase.size(), out);
        std::fputc('\n', out);
    }
    listing.nListed += found.phrases.size();
    if (found.bCut)
        std::fprintf(stderr, "%s\n", FormatPhraseCount(found).c_str());
    if (!found.strError.empty()) {
        std::fprintf(stderr, "gridwell-cli: %s\n", found.strError.c_str());
        listing.bFailed = true;
    }
}

void ListPhrases(CDictionary& dict, CPhraseSources& sources, const CPhraseQuery& query, int nMaxWords,
                 size_t nMaxListed, std::FILE* out, PhraseListing& listing) {
    if (!sources.Error().empty()) {
        std::fprintf(stderr, "gridwell-cli: %s\n", sources.Error().c_str());
        listing.bFailed = true;
    }
    CPhraseSearchOptions options;
    options.nMaxListed = nMaxListed;
    options.nMaxWords = nMaxWords;
    Write(FindPhrases(dict, sources.Files(), query, options), out, listing);
}

}  // namespace

namespace {

// Phrases of a query without breaks: two words, three only when at least
// half the letters are known (otherwise they are too many to be worth it).
void ListUnbrokenPhrases(CDictionary& dict, const CPhraseQuery& query, size_t nMaxListed, std::FILE* out,
                         PhraseListing& listing) {
    if (nMaxListed == 0 || query.Length() < 2)
        return;
    size_t known = 0;
    for (const char c : query.Pattern())
        known += c != '?';
    const int nMaxWords = 2 * known >= query.Pattern().size() ? 3 : 2;
    CPhraseSources sources = OpenSources();
    ListPhrases(dict, sources, query, nMaxWords, nMaxListed, out, listing);
}

}  // namespace

bool ListPhrasePattern(CDictionary& dict, bool anagram, const PhrasePattern& pattern, const CString& letters,
                       size_t nMaxListed, std::FILE* out, PhraseListing& listing) {
    CPhraseQuery query;
    if (!query.Prepare(dict, anagram, pattern, letters))
        return false;
    if (pattern.parts.size() == 1) {
        ListUnbrokenPhrases(dict, query, nMaxListed, out, listing);
        return true;
    }
    CPhraseSources sources = OpenSources();
    ListPhrases(dict, sources, query, static_cast<int>(pattern.parts.size()), nMaxListed, out, listing);
    return true;
}

void ListPhrasesOfSearch(CDictionary& dict, size_t nMaxListed, std::FILE* out, PhraseListing& listing) {
    CPhraseQuery query;
    query.PrepareFrom(dict);
    ListUnbrokenPhrases(dict, query, nMaxListed, out, listing);
}

void ListAbbreviationsOfSearch(const CDictionary& dict, bool bCommonFirst, size_t nMaxListed, std::FILE* out,
                               PhraseListing& listing) {
    CPhraseQuery query;
    query.PrepareFrom(dict);
    if (nMaxListed == 0)
        return;
    CPhraseFile file;
    const CString path = DataFilePath(kAbbreviationFileName);
    if (!file.Open(path)) {
        // Missing, the search is only without them; damaged, it is a fault.
        std::fprintf(stderr, "gridwell-cli: no abbreviation list: %s\n", file.Error().c_str());
        listing.bFailed = ::access(path.c_str(), F_OK) == 0;
        return;
    }
    Write(FindAbbreviations(file, query, bCommonFirst, nMaxListed), out, listing);
}
