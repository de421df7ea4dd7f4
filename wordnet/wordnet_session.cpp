#include "wordnet/wordnet_session.h"

#include "platform/data_dir.h"
#include "res/string_table.h"
#include "wordnet/meaning_text.h"

const CWordNet* CWordNetSession::Database(WnStatus& status) {
    if (!m_pDb) {
        auto db = std::make_unique<CWordNet>();
        status = db->Open(CWordNet::SearchDir());
        if (status != WnStatus::ok)
            return nullptr;
        m_pDb = std::move(db);
    }
    status = WnStatus::ok;
    return m_pDb.get();
}

UINT CWordNetSession::MessageFor(WnStatus status) {
    return status == WnStatus::damaged ? IDS_WORDNET_DAMAGED : IDS_WORDNET_MISSING;
}

MsgIcon CWordNetSession::IconFor(WnStatus status) {
    return status == WnStatus::damaged ? MsgIcon::Stop : MsgIcon::Exclamation;
}

CWordNetSession::Meaning CWordNetSession::LookUp(const CString& word, const WnSynsetRef* pFirst) {
    Meaning meaning;
    const CWordNet* db = Database(meaning.status);
    if (db) {
        switch (MeaningText(*db, word, meaning.text, pFirst)) {
        case WnRead::found:
            meaning.bFound = true;
            return meaning;
        case WnRead::notFound:
            meaning.text = FormatString(LoadStringText(IDS_NO_MEANING).c_str(), word.c_str());
            return meaning;
        case WnRead::damaged:
            meaning.status = WnStatus::damaged;
            break;
        }
    }
    meaning.text = LoadStringText(MessageFor(meaning.status));
    return meaning;
}

WnStatus CWordNetSession::BuildScorer(std::string_view clue, CWordNetClueScorer& scorer, bool& bIndexDamaged) {
    bIndexDamaged = false;
    WnStatus status = WnStatus::ok;
    const CWordNet* db = Database(status);
    if (!db)
        return status;
    if (!m_pIndex) {
        // Without the index a clue still ranks, by WordNet's links alone.
        m_pIndex = std::make_unique<CDefinitionIndex>();
        m_pIndex->Open(DataFilePath(CDefinitionIndex::kFileName));
    }
    if (scorer.Build(*db, m_pIndex.get(), clue) != WnRead::damaged)
        return WnStatus::ok;
    if (!m_pIndex->IsOpen())
        return WnStatus::damaged;
    // The database or the index: the database alone tells which.
    if (scorer.Build(*db, nullptr, clue) == WnRead::damaged)
        return WnStatus::damaged;
    m_pIndex = std::make_unique<CDefinitionIndex>();  // closed: not opened again
    bIndexDamaged = true;
    return WnStatus::ok;
}
