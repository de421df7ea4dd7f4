// The WordNet database as the front ends use it: opened from
// CWordNet::SearchDir() on first use and kept open. A failed open is tried
// again on the next use, so installing wordnet-base while the program runs
// is enough.
#pragma once

#include <memory>

#include "platform/cstring.h"
#include "platform/message_box.h"
#include "wordnet/clue_scorer.h"
#include "wordnet/definition_index.h"
#include "wordnet/wordnet_db.h"

class CWordNetSession {
public:
    // The open database, or null when it is missing or damaged (`status`).
    const CWordNet* Database(WnStatus& status);

    // The message that says the database is missing or damaged, and its icon.
    static UINT MessageFor(WnStatus status);
    static MsgIcon IconFor(WnStatus status);

    struct Meaning {
        WnStatus status = WnStatus::ok;
        bool bFound = false;
        // The overview; "No meaning found for WORD."; or, when the database
        // is missing or damaged, the text of the message that says so.
        CString text;
    };
    // With `pFirst`, the sense in that synset comes first (MeaningText).
    Meaning LookUp(const CString& word, const WnSynsetRef* pFirst = nullptr);

    // Gathers the evidence of `clue` into `scorer`, with the definition index
    // found beside the program when it is installed; missing or damaged as
    // Database says, damaged too when a file of the database fails on the
    // way. A damaged definition index is set aside (the clue then ranks by
    // WordNet's links alone) and `bIndexDamaged` says so, once.
    WnStatus BuildScorer(std::string_view clue, CWordNetClueScorer& scorer, bool& bIndexDamaged);

private:
    std::unique_ptr<CWordNet> m_pDb;
    std::unique_ptr<CDefinitionIndex> m_pIndex;  // opened with the database
};
