#include "wordnet/clue_words.h"

#include <algorithm>
#include <unordered_set>

#include "wordnet/morphology.h"

namespace {

// The pointers whose targets count as related, by their wndb(5) symbols.
bool IsRelationPointer(const std::string& symbol) {
    static const std::unordered_set<std::string> kinds = {
        "@", "@i", "~", "~i",             // hypernym, instance hypernym, hyponym, instance hyponym
        "&", "^", "+", "=",               // similar to, also see, derivationally related, attribute
        "#m", "#p", "#s", "%m", "%p", "%s",  // holonyms and meronyms
    };
    return kinds.count(symbol) == 1;
}

// A word of the dictionary: two or more letters, nothing else.
bool IsSingleWord(std::string_view lower) {
    return lower.size() >= 2 && std::all_of(lower.begin(), lower.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

}  // namespace

std::vector<std::string> CClueWords::Split(std::string_view text) {
    std::vector<std::string> clues;
    size_t i = 0;
    while (i < text.size()) {
        const auto separator = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r'; };
        while (i < text.size() && separator(text[i]))
            ++i;
        size_t j = i;
        while (j < text.size() && !separator(text[j]))
            ++j;
        if (j > i) {
            std::string clue = WnLower(text.substr(i, j - i));
            if (std::find(clues.begin(), clues.end(), clue) == clues.end() && clues.size() < kMaxClues)
                clues.push_back(std::move(clue));
        }
        i = j;
    }
    return clues;
}

void CClueWords::AddWords(const WnSynset& synset, WnPos pos, size_t nClue, bool bSynonym) {
    for (const WnSynsetWord& word : synset.words) {
        std::string lower = WnLower(word.text);
        if (!IsSingleWord(lower))
            continue;
        Related& related = m_words[std::move(lower)];
        (bSynonym ? related.synonym : related.pointer).set(nClue);
        related.nPosMask |= 1u << pos;
    }
}

WnRead CClueWords::Build(const CWordNet& db, std::string_view text) {
    m_pDb = &db;
    m_words.clear();
    m_reaching.clear();
    for (auto& cache : m_defined)
        cache.clear();
    m_bDamaged = false;
    const std::vector<std::string> clues = Split(text);
    m_nClues = clues.size();
    for (size_t k = 0; k < clues.size(); ++k) {
        for (int p = 0; p < kWnPosCount; ++p) {
            const WnPos pos = static_cast<WnPos>(p);
            std::vector<WnIndexEntry> entries;
            if (LookupForms(db, pos, clues[k], entries) == WnRead::damaged)
                return WnRead::damaged;
            for (const WnIndexEntry& entry : entries) {
                for (const uint32_t offset : entry.offsets) {
                    WnSynset synset;
                    if (db.ReadSynset(pos, offset, synset) != WnRead::found)
                        return WnRead::damaged;
                    AddWords(synset, pos, k, true);
                    for (const WnPointer& pointer : synset.pointers) {
                        if (!IsRelationPointer(pointer.symbol))
                            continue;
                        WnSynset target;
                        if (db.ReadSynset(pointer.pos, pointer.offset, target) != WnRead::found)
                            return WnRead::damaged;
                        AddWords(target, pointer.pos, k, false);
                    }
                }
            }
        }
    }
    CollectReachingForms();
    return WnRead::found;
}

void CClueWords::CollectReachingForms() {
    for (const auto& [word, related] : m_words) {
        m_reaching.insert(word);
        for (int p = 0; p < kWnPosCount; ++p)
            for (std::string& form : InflectedForms(static_cast<WnPos>(p), word))
                m_reaching.insert(std::move(form));
    }
    for (int p = 0; p < kWnPosCount; ++p)
        for (const auto& [inflected, bases] : m_pDb->ExceptionList(static_cast<WnPos>(p)))
            for (const std::string& base : bases)
                if (m_words.count(base)) {
                    m_reaching.insert(inflected);
                    break;
                }
}

bool CClueWords::Defined(WnPos pos, const std::string& lemma, const Related* pRelated) {
    if (pRelated && (pRelated->nPosMask & (1u << pos)))
        return true;
    const auto cached = m_defined[pos].find(lemma);
    if (cached != m_defined[pos].end())
        return cached->second;
    const WnRead read = m_pDb->IsDefined(pos, lemma);
    if (read == WnRead::damaged)
        m_bDamaged = true;
    const bool defined = read == WnRead::found;
    m_defined[pos].emplace(lemma, defined);
    return defined;
}

CClueWords::Relation CClueWords::Relate(std::string_view word) {
    Relation relation;
    if (!m_pDb || m_words.empty())
        return relation;
    const std::string lower = WnLower(word);
    if (!m_reaching.count(lower))
        return relation;
    ClueSet synonym, pointer;
    const auto add = [&](const Related& related) {
        synonym |= related.synonym;
        pointer |= related.pointer;
    };
    // A related word is in the index of its synset's part of speech, so the
    // word itself is one of its base forms there.
    if (const auto it = m_words.find(lower); it != m_words.end())
        add(it->second);
    for (int p = 0; p < kWnPosCount; ++p) {
        const WnPos pos = static_cast<WnPos>(p);
        if (const std::vector<std::string>* bases = m_pDb->Exceptions(pos, lower)) {
            for (const std::string& base : *bases) {
                const auto it = m_words.find(base);
                if (base != lower && it != m_words.end() && Defined(pos, base, &it->second))
                    add(it->second);
            }
            continue;
        }
        const std::vector<WnRuleResult> results = DetachmentResults(pos, lower);
        for (size_t i = 0; i < results.size(); ++i) {
            const auto it = m_words.find(results[i].base);
            if (it == m_words.end())
                continue;
            const bool plain = results[i].base == results[i].lookup;
            if (!Defined(pos, results[i].lookup, plain ? &it->second : nullptr))
                continue;
            // Only the first rule whose result is in the index gives the base form.
            bool bEarlier = false;
            for (size_t j = 0; j < i && !bEarlier; ++j)
                bEarlier = Defined(pos, results[j].lookup, nullptr);
            if (!bEarlier)
                add(it->second);
            break;
        }
    }
    relation.nClues = static_cast<int>((synonym | pointer).count());
    relation.bSynonym = synonym.any();
    return relation;
}

std::vector<CString> CClueWords::RankRelated(const std::vector<CString>& words) {
    struct Ranked {
        Relation relation;
        size_t index;
    };
    std::vector<Ranked> ranked;
    for (size_t i = 0; i < words.size(); ++i) {
        const Relation relation = Relate(words[i]);
        if (relation.nClues > 0)
            ranked.push_back({relation, i});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.relation.bSynonym != b.relation.bSynonym)
            return a.relation.bSynonym;
        return a.relation.nClues > b.relation.nClues;
    });
    std::vector<CString> result;
    result.reserve(ranked.size());
    for (const Ranked& r : ranked)
        result.push_back(words[r.index]);
    return result;
}
