#include "cli/clue_search.h"

#include "platform/message_box.h"
#include "res/string_table.h"
#include "wordnet/wordnet_session.h"

bool HasClue(const std::string& clue) {
    return clue.find_first_not_of(" \t\r\n") != std::string::npos;
}

bool FindByClue(CDictionary& dict, CFindRequest request, const std::string& clue, CFoundWords& found,
                std::vector<CString> leading) {
    CWordNetSession session;
    CWordNetClueScorer scorer;
    bool bIndexDamaged = false;
    const WnStatus status = session.BuildScorer(clue, scorer, bIndexDamaged);
    if (status != WnStatus::ok) {
        AfxMessageBox(CWordNetSession::MessageFor(status), CWordNetSession::IconFor(status));
        return false;
    }
    if (bIndexDamaged)
        AfxMessageBox(IDS_DEFINITIONS_DAMAGED, MsgIcon::Exclamation);
    if (!scorer.HasWords()) {
        std::fprintf(stderr, "%s\n", LoadStringText(IDS_CLUE_WITHOUT_WORDS).c_str());
    } else {
        request.pScorer = &scorer;
        for (const std::string& word : scorer.UnknownWords())
            std::fprintf(stderr, "%s\n", FormatString(LoadStringText(IDS_NO_MEANING_KNOWN).c_str(), word.c_str()).c_str());
    }
    found = RunFind(dict, request);
    if (!leading.empty())
        PrependRanked(std::move(leading), request.pScorer,
                      request.bLimit ? static_cast<size_t>(CDictionary::kLimitMatches) : SIZE_MAX, found);
    return true;
}
