#include "cli/clue_search.h"

#include "platform/message_box.h"
#include "wordnet/related_matches.h"
#include "wordnet/wordnet_session.h"

bool HasClueWords(const std::string& clue) {
    return !CClueWords::Split(clue).empty();
}

bool FindRelatedWords(CDictionary& dict, const std::string& clue, bool bLimit, bool bCommonFirst,
                      CFoundWords& found) {
    CWordNetSession session;
    WnStatus status = WnStatus::ok;
    const CWordNet* db = session.Database(status);
    CClueWords clues;
    if (db && clues.Build(*db, clue) == WnRead::damaged)
        status = WnStatus::damaged;
    if (db && status == WnStatus::ok) {
        found = CollectRelatedMatches(dict, clues, bLimit, bCommonFirst);
        if (!clues.Damaged())
            return true;
        status = WnStatus::damaged;
    }
    AfxMessageBox(CWordNetSession::MessageFor(status), CWordNetSession::IconFor(status));
    return false;
}
