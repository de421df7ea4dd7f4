#include "cli/phrase_find.h"

#include "phrases/phrase_find.h"
#include "res/string_table.h"

void ReportPhrases(const CFoundPhrases& found, PhraseListing& listing) {
    if (found.bCut)
        std::fprintf(stderr, "%s\n", FormatPhraseCount(found).c_str());
    if (!found.strNote.empty())
        std::fprintf(stderr, "gridwell-cli: %s\n", found.strNote.c_str());
    if (!found.strError.empty()) {
        std::fprintf(stderr, "gridwell-cli: %s\n", found.strError.c_str());
        listing.bFailed = true;
    }
}

namespace {

void Write(const CFoundPhrases& found, std::FILE* out, PhraseListing& listing) {
    for (const CString& phrase : found.phrases) {
        std::fwrite(phrase.data(), 1, phrase.size(), out);
        std::fputc('\n', out);
    }
    listing.nListed += found.phrases.size();
    ReportPhrases(found, listing);
}

}  // namespace

bool ListPhrasePattern(CDictionary& dict, bool anagram, const PhrasePattern& pattern, const CString& letters,
                       size_t nMaxListed, std::FILE* out, PhraseListing& listing) {
    CFoundPhrases found;
    if (Status prepared = FindPhrasesOfPattern(dict, anagram, pattern, letters, nMaxListed, found); !prepared) {
        ShowStatus(prepared);
        return false;
    }
    Write(found, out, listing);
    return true;
}

void ListPhrasesOfSearch(CDictionary& dict, size_t nMaxListed, std::FILE* out, PhraseListing& listing) {
    Write(FindPhrasesOfSearch(dict, nMaxListed), out, listing);
}

void ListAbbreviationsOfSearch(const CDictionary& dict, bool bCommonFirst, size_t nMaxListed, std::FILE* out,
                               PhraseListing& listing) {
    Write(FindAbbreviationsOfSearch(dict, bCommonFirst, nMaxListed), out, listing);
}

std::vector<CString> TakeAbbreviationsOfSearch(const CDictionary& dict, bool bCommonFirst, size_t nMaxListed,
                                               PhraseListing& listing) {
    CFoundPhrases found = FindAbbreviationsOfSearch(dict, bCommonFirst, nMaxListed);
    ReportPhrases(found, listing);
    return std::move(found.phrases);
}
