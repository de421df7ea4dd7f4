#include "phrases/phrase_find.h"

#include <unistd.h>

#include "platform/data_dir.h"

namespace {

// The user's own phrases (beside the dictionary) first, then the packaged.
CPhraseSources OpenSources(const CDictionary& dict) {
    const CString& temp = dict.GetTempPath();
    const size_t slash = temp.rfind('/');
    const CString own = (slash == CString::npos ? CString(".") : temp.substr(0, slash)) + "/" + kPhraseFileName;
    CPhraseSources sources;
    sources.Add(own);
    const CString packaged = DataFilePath(kPhraseFileName);
    if (packaged != own)
        sources.Add(packaged);
    return sources;
}

CFoundPhrases Find(CDictionary& dict, const CPhraseQuery& query, int nMaxWords, size_t nMaxListed) {
    CPhraseSources sources = OpenSources(dict);
    CPhraseSearchOptions options;
    options.nMaxListed = nMaxListed;
    options.nMaxWords = nMaxWords;
    CFoundPhrases found = FindPhrases(dict, sources.Files(), query, options);
    if (found.strError.empty())
        found.strError = sources.Error();
    return found;
}

// Without breaks: two words, three only when at least half the letters are
// known (otherwise they are too many to be worth listing).
CFoundPhrases FindUnbroken(CDictionary& dict, const CPhraseQuery& query, size_t nMaxListed) {
    if (nMaxListed == 0 || query.Length() < 2)
        return CFoundPhrases();
    size_t known = 0;
    for (const char c : query.Pattern())
        known += c != '?';
    return Find(dict, query, 2 * known >= query.Pattern().size() ? 3 : 2, nMaxListed);
}

}  // namespace

Status FindPhrasesOfPattern(CDictionary& dict, bool anagram, const PhrasePattern& pattern, const CString& letters,
                            size_t nMaxListed, CFoundPhrases& found) {
    CPhraseQuery query;
    if (Status prepared = query.Prepare(anagram, pattern, letters); !prepared)
        return prepared;
    found = pattern.parts.size() == 1
                ? FindUnbroken(dict, query, nMaxListed)
                : Find(dict, query, static_cast<int>(pattern.parts.size()), nMaxListed);
    return Status::Ok();
}

CFoundPhrases FindPhrasesOfSearch(CDictionary& dict, size_t nMaxListed) {
    CPhraseQuery query;
    query.PrepareFrom(dict);
    return FindUnbroken(dict, query, nMaxListed);
}

CFoundPhrases FindAbbreviationsOfSearch(const CDictionary& dict, bool bCommonFirst, size_t nMaxListed) {
    CPhraseQuery query;
    query.PrepareFrom(dict);
    CFoundPhrases found;
    if (nMaxListed == 0)
        return found;
    CPhraseFile file;
    const CString path = DataFilePath(kAbbreviationFileName);
    if (!file.Open(path)) {
        // Missing, the search is only without them; damaged, it is a fault.
        (::access(path.c_str(), F_OK) == 0 ? found.strError : found.strNote) =
            "no abbreviation list: " + file.Error();
        return found;
    }
    return FindAbbreviations(file, query, bCommonFirst, nMaxListed);
}
