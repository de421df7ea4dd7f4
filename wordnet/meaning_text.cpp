#include "wordnet/meaning_text.h"

#include <algorithm>

#include "wordnet/morphology.h"

namespace {

// The digit that a sense key gives each synset type.
char SenseKeyType(char ssType) {
    switch (ssType) {
    case 'n':
        return '1';
    case 'v':
        return '2';
    case 'a':
        return '3';
    case 'r':
        return '4';
    default:
        return '5';  // adjective satellite
    }
}

// The sense key of `lemma` in `synset` (senseidx(5WN)):
// lemma%ss_type:lex_filenum:lex_id:head_word:head_id, where an adjective
// satellite names the first word of its head synset.
bool SenseKey(const CWordNet& db, const WnSynset& synset, const std::string& lemma, std::string& key) {
    const WnSynsetWord* word = nullptr;
    for (const WnSynsetWord& w : synset.words)
        if (WnLower(w.text) == lemma) {
            word = &w;
            break;
        }
    if (!word)
        return false;
    key = FormatString("%s%%%c:%02d:%02d:", lemma.c_str(), SenseKeyType(synset.ssType), synset.nLexFile % 100,
                       word->nLexId % 100);
    if (synset.ssType == 's') {
        for (const WnPointer& pointer : synset.pointers) {
            if (pointer.symbol != "&")
                continue;
            WnSynset head;
            if (db.ReadSynset(kWnAdj, pointer.offset, head) != WnRead::found)
                return false;
            // Without the head word's marker, as WordNet's own search forms the
            // key; the few counts that cntlist.rev files under "afraid(p)" and
            // the like show as 0 there too.
            key += WnLower(head.words.front().text);
            key += FormatString(":%02d", head.words.front().nLexId % 100);
            return true;
        }
        return false;
    }
    key += ':';
    return true;
}

std::string Spaced(std::string_view text) {
    std::string spaced(text);
    for (char& c : spaced)
        if (c == '_')
            c = ' ';
    return spaced;
}

WnRead AppendOverview(const CWordNet& db, WnPos pos, const WnIndexEntry& entry, CString& text,
                      const WnSynsetRef* pFirst) {
    if (!text.empty())
        text += '\n';
    const size_t nSenses = entry.offsets.size();
    text += FormatString("Overview of %s %s\n\n", WnPosName(pos), entry.lemma.c_str());
    text += FormatString("The %s %s has %zu sense%s", WnPosName(pos), Spaced(entry.lemma).c_str(), nSenses,
                         nSenses == 1 ? "" : "s");
    if (entry.nTaggedSenses == 0)
        text += " (no senses from tagged texts)\n\n";
    else
        text += FormatString(" (first %d from tagged texts)\n\n", entry.nTaggedSenses);
    std::vector<size_t> order;
    for (size_t i = 0; i < nSenses; ++i)
        if (pFirst && pFirst->pos == pos && entry.offsets[i] == pFirst->offset)
            order.insert(order.begin(), i);
        else
            order.push_back(i);
    for (const size_t i : order) {
        WnSynset synset;
        if (db.ReadSynset(pos, entry.offsets[i], synset) != WnRead::found)
            return WnRead::damaged;
        text += FormatString("%zu. ", i + 1);
        // The senses ranked by their tagged count show the count, 0 included.
        std::string key;
        if (static_cast<int>(i) < entry.nTaggedSenses)
            text += FormatString("(%d) ", SenseKey(db, synset, entry.lemma, key) ? db.TagCount(key) : 0);
        for (size_t w = 0; w < synset.words.size(); ++w) {
            if (w)
                text += ", ";
            text += Spaced(synset.words[w].text);
        }
        text += " -- (";
        text += synset.gloss;
        text += ")\n";
    }
    return WnRead::found;
}

}  // namespace

std::string MeaningKey(std::string_view word) {
    while (!word.empty() && (word.front() == ' ' || word.front() == '\t'))
        word.remove_prefix(1);
    while (!word.empty() && (word.back() == ' ' || word.back() == '\t'))
        word.remove_suffix(1);
    std::string key = WnLower(word);
    for (char& c : key)
        if (c == ' ' || c == '\t')
            c = '_';
    return key;
}

WnRead MeaningText(const CWordNet& db, std::string_view word, CString& text, const WnSynsetRef* pFirst) {
    text.clear();
    const std::string key = MeaningKey(word);
    std::vector<WnPos> order = {kWnNoun, kWnVerb, kWnAdj, kWnAdv};
    if (pFirst) {
        order.erase(std::find(order.begin(), order.end(), pFirst->pos));
        order.insert(order.begin(), pFirst->pos);
    }
    for (const WnPos pos : order) {
        std::vector<WnIndexEntry> entries;
        if (LookupForms(db, pos, key, entries) == WnRead::damaged) {
            text.clear();
            return WnRead::damaged;
        }
        for (const WnIndexEntry& entry : entries)
            if (AppendOverview(db, pos, entry, text, pFirst) == WnRead::damaged) {
                text.clear();
                return WnRead::damaged;
            }
    }
    if (text.empty())
        return WnRead::notFound;
    return WnRead::found;
}
