#include "cli/clue_search.h"

#include <cstdint>
#include <cstdio>

#include "platform/message_box.h"
#include "res/string_table.h"
#include "wordnet/wordnet_session.h"

bool HasClue(const std::string& clue) {
    return clue.find_first_not_of(" \t\r\n") != std::string::npos;
}

namespace {

// Builds the scorer of `clue`, saying on stderr what the command line says of
// a clue; false after showing that WordNet is missing or damaged. `bWords`
// is false for a clue of punctuation alone.
bool BuildClueScorer(CWordNetSession& session, const std::string& clue, CWordNetClueScorer& scorer, bool& bWords) {
    bool bIndexDamaged = false;
    const WnStatus status = session.BuildScorer(clue, scorer, bIndexDamaged);
    if (status != WnStatus::ok) {
        AfxMessageBox(CWordNetSession::MessageFor(status), CWordNetSession::IconFor(status));
        return false;
    }
    if (bIndexDamaged)
        AfxMessageBox(IDS_DEFINITIONS_DAMAGED, MsgIcon::Exclamation);
    bWords = scorer.HasWords();
    if (!bWords) {
        std::fprintf(stderr, "%s\n", LoadStringText(IDS_CLUE_WITHOUT_WORDS).c_str());
    } else {
        for (const std::string& word : scorer.UnknownWords())
            std::fprintf(stderr, "%s\n", FormatString(LoadStringText(IDS_NO_MEANING_KNOWN).c_str(), word.c_str()).c_str());
    }
    return true;
}

}  // namespace

bool FindByClue(CDictionary& dict, CFindRequest request, const std::string& clue, CFoundWords& found,
                std::vector<CString> leading) {
    CWordNetSession session;
    CWordNetClueScorer scorer;
    bool bWords = false;
    if (!BuildClueScorer(session, clue, scorer, bWords))
        return false;
    request.pScorer = bWords ? &scorer : nullptr;
    found = RunFind(dict, request);
    if (!leading.empty())
        PrependRanked(std::move(leading), request.pScorer,
                      request.bLimit ? static_cast<size_t>(CDictionary::kLimitMatches) : SIZE_MAX, found);
    return true;
}

bool RankByClue(const std::string& clue, std::vector<CString> candidates, size_t nMaxListed, CFoundWords& ranked) {
    CWordNetSession session;
    CWordNetClueScorer scorer;
    bool bWords = false;
    if (!BuildClueScorer(session, clue, scorer, bWords))
        return false;
    PrependRanked(std::move(candidates), bWords ? &scorer : nullptr, nMaxListed, ranked);
    return true;
}
