#include "wordnet/clue_scorer.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "wordnet/morphology.h"

namespace {

// Synset reads a clue may spend on its neighbourhood: a general word such as
// "person" has tens of thousands of kinds; the nearer ones come first.
constexpr size_t kMaxReads = 3000;
// Synsets read for definition evidence, best matches first.
constexpr size_t kMaxDefinitionSynsets = 400;
// Senses of a clue word whose neighbourhood is gathered.
constexpr size_t kMaxSenses = 12;
constexpr int kMaxKindDepth = 8;

// Evidence strengths.
constexpr float kWholeClueSynonym = 95, kPhraseSynonym = 75, kSynonym = 62;
constexpr float kKindOf = 48, kSimilar = 45, kRelated = 36, kClassOf = 30, kPartOf = 30, kTwoSteps = 18;
constexpr float kInDefinitionOf = 24, kDefinitionScore = 100;
// An example's classes up its hypernyms: robin -> thrush -> ... -> bird.
constexpr float kExampleClass[] = {90, 76, 64, 55, 48, 42};
constexpr float kBlankLong = 200, kBlankShort = 90;
constexpr float kHiddenScore = 16, kAnagramScore = 22, kCrypticFactor = 1.6f;
// A form that does not agree with the clue's keeps this much of its score.
constexpr float kDisagree = 0.55f;
// The weight of a clue word's links by its part in the clue.
constexpr float kHeadWeight = 1.25f, kModifierWeight = 0.75f, kExampleWordWeight = 0.6f;

// A dictionary word, or a phrase as WordNet writes it (ice_cream,
// self-taught): the phrases of a Find are scored as well.
bool IsWord(std::string_view word) {
    return word.size() >= 2 && word.front() >= 'a' && word.front() <= 'z' && word.back() >= 'a' &&
           word.back() <= 'z' &&
           std::all_of(word.begin(), word.end(), [](char c) { return (c >= 'a' && c <= 'z') || c == '_' || c == '-'; });
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// The reason a pointer gives, and its strength, for a target one step away;
// 0 for pointers that relate nothing here.
float PointerScore(const std::string& symbol, const char*& what) {
    if (symbol == "~" || symbol == "~i") {
        what = "a kind of %s";
        return kKindOf;
    }
    if (symbol == "@" || symbol == "@i") {
        what = "%s is one";
        return kClassOf;
    }
    if (symbol == "&") {
        what = "similar to %s";
        return kSimilar;
    }
    if (symbol == "^" || symbol == "+" || symbol == "\\" || symbol == "=" || symbol == "*" || symbol == ">" ||
        symbol == "$" || symbol == "<") {
        what = "related to %s";
        return kRelated;
    }
    if (symbol.size() == 2 && (symbol[0] == '#' || symbol[0] == '%') &&
        (symbol[1] == 'm' || symbol[1] == 'p' || symbol[1] == 's')) {
        what = "related to %s";
        return kPartOf;
    }
    return 0;
}

WnPos SynsetPos(const WnSynset& synset) {
    WnPos pos = kWnNoun;
    WnPosFromCode(synset.ssType, pos);
    return pos;
}

// The sense order counts: WordNet lists the most used senses first.
float SenseFactor(size_t nSense) {
    return std::max(0.6f, 1.0f - 0.07f * static_cast<float>(nSense));
}

bool EndsWith(std::string_view word, std::string_view suffix) {
    return word.size() >= suffix.size() && word.substr(word.size() - suffix.size()) == suffix;
}

// The form a detachment rule of `pos` that strips `suffix` tells.
WnForm RuleForm(WnPos pos, std::string_view word) {
    if (pos == kWnNoun)
        return WnForm::kS;
    if (pos == kWnAdj)
        return WnForm::kEr;
    if (EndsWith(word, "ing"))
        return WnForm::kIng;
    if (EndsWith(word, "ed"))
        return WnForm::kPast;
    if (EndsWith(word, "s"))
        return WnForm::kS;
    return WnForm::kPast;
}

// The form an exception list's entry tells (verb.exc holds past forms,
// participles and some -ing forms).
WnForm ExceptionForm(WnPos pos, std::string_view word) {
    if (pos == kWnVerb && !EndsWith(word, "ing") && !(EndsWith(word, "s") && !EndsWith(word, "ss")))
        return WnForm::kPast;
    return RuleForm(pos, word);
}

}  // namespace

uint32_t CWordNetClueScorer::Reason(const std::string& text) {
    const auto [it, added] = m_reasonIds.try_emplace(text, static_cast<uint32_t>(m_reasons.size()));
    if (added)
        m_reasons.push_back(text);
    return it->second;
}

void CWordNetClueScorer::Add(std::string_view word, uint8_t source, WnForm form, float score, uint32_t reason,
                             const WnSynset* pSense, WnPos sensePos) {
    if (!IsWord(word))
        return;
    Item add{source, form, score, reason};
    if (pSense) {
        add.sensePos = static_cast<int8_t>(sensePos);
        add.senseOffset = pSense->offset;
    }
    auto it = m_evidence.find(word);
    if (it == m_evidence.end())
        it = m_evidence.emplace(std::string(word), Entry()).first;
    Entry& entry = it->second;
    for (uint8_t i = 0; i < entry.nItems; ++i)
        if (entry.items[i].source == source) {
            if (score > entry.items[i].score)
                entry.items[i] = add;
            return;
        }
    if (entry.nItems < Entry::kMaxItems) {
        entry.items[entry.nItems++] = add;
        return;
    }
    // Full: the new item takes the place of the weakest when it is stronger.
    Item* weakest = std::min_element(entry.items, entry.items + Entry::kMaxItems,
                                     [](const Item& a, const Item& b) { return a.score < b.score; });
    if (score > weakest->score)
        *weakest = add;
}

bool CWordNetClueScorer::Offensive(const WnSynset& synset) const {
    return IsOffensiveSynset(synset, m_offensiveDomains);
}

void CWordNetClueScorer::AddSynset(const WnSynset& synset, uint8_t source, WnForm form, float score,
                                   uint32_t reason) {
    const bool bOffensive = Offensive(synset);
    for (const WnSynsetWord& w : synset.words) {
        const std::string lower = WnLower(w.text);
        if (bOffensive) {
            if (IsWord(lower))
                m_evidence[lower].bOffensive = true;
        } else {
            Add(lower, source, form, score, reason, &synset, SynsetPos(synset));
        }
    }
}

bool CWordNetClueScorer::Read(WnPos pos, uint32_t offset, WnSynset& synset) {
    ++m_nReads;
    if (m_pDb->ReadSynset(pos, offset, synset) != WnRead::found) {
        m_bDamaged = true;
        return false;
    }
    return true;
}

WnForm CWordNetClueScorer::ClueWordForm(const CWordNet& db, std::string_view word) {
    // A plural noun that is an entry of its own ("glasses", "arms") may be
    // meant either way.
    if (EndsWith(word, "s") && db.IsDefined(kWnNoun, word) == WnRead::found)
        return WnForm::kAny;
    for (const WnPos pos : {kWnVerb, kWnNoun, kWnAdj}) {
        if (const std::vector<std::string>* bases = db.Exceptions(pos, word)) {
            for (const std::string& base : *bases)
                if (base != word && db.IsDefined(pos, base) == WnRead::found)
                    return ExceptionForm(pos, word);
            continue;
        }
        for (const WnRuleResult& result : DetachmentResults(pos, word))
            if (db.IsDefined(pos, result.lookup) == WnRead::found)
                return RuleForm(pos, word);
    }
    return WnForm::kBase;
}

bool CWordNetClueScorer::GatherTerm(const std::string& term, const std::string& shown, uint8_t source, WnForm form,
                                    float boost, bool& bKnown) {
    const float synonymScore = std::max(kSynonym, boost) * m_termWeight;
    const uint32_t synonymReason = Reason("synonym of " + shown);
    std::vector<std::pair<WnPos, uint32_t>> senses;  // in sense order, parts of speech taken in turn
    std::vector<std::vector<uint32_t>> byPos(kWnPosCount);
    for (int p = 0; p < kWnPosCount; ++p) {
        std::vector<WnIndexEntry> entries;
        if (LookupForms(*m_pDb, static_cast<WnPos>(p), term, entries) == WnRead::damaged)
            return false;
        for (const WnIndexEntry& entry : entries) {
            bKnown = true;
            m_self.insert(entry.lemma);
            for (const uint32_t offset : entry.offsets)
                if (std::find(byPos[p].begin(), byPos[p].end(), offset) == byPos[p].end())
                    byPos[p].push_back(offset);
        }
    }
    for (size_t rank = 0;; ++rank) {
        bool bAny = false;
        for (int p = 0; p < kWnPosCount; ++p)
            if (rank < byPos[p].size()) {
                senses.emplace_back(static_cast<WnPos>(p), byPos[p][rank]);
                bAny = true;
            }
        if (!bAny)
            break;
    }

    std::vector<std::pair<WnPos, uint32_t>> kindsFrontier;
    std::vector<std::pair<WnPos, uint32_t>> secondStep;
    const uint32_t kindReason = Reason("a kind of " + shown);
    const uint32_t definitionReason = Reason("in the definition of " + shown);
    for (size_t n = 0; n < senses.size() && n < kMaxSenses; ++n) {
        const float factor = SenseFactor(n / 2);
        WnSynset synset;
        if (!Read(senses[n].first, senses[n].second, synset))
            return false;
        AddSynset(synset, source, form, synonymScore * factor, synonymReason);
        if (Offensive(synset))
            continue;
        if (n < 6)
            for (const std::string& word : GlossWords(synset.gloss.substr(0, synset.gloss.find(';'))))
                Add(word, source, WnForm::kAny, kInDefinitionOf * factor * m_termWeight, definitionReason);
        for (const WnPointer& pointer : synset.pointers) {
            const char* what = nullptr;
            const float score = PointerScore(pointer.symbol, what);
            if (score == 0 || m_nReads > kMaxReads)
                continue;
            WnSynset target;
            if (!Read(pointer.pos, pointer.offset, target))
                return false;
            const uint32_t reason = Reason(FormatString(what, shown.c_str()));
            AddSynset(target, source, form, score * factor * m_termWeight, reason);
            if (pointer.symbol == "~" || pointer.symbol == "~i")
                kindsFrontier.emplace_back(pointer.pos, pointer.offset);
            else if (n < 4)
                secondStep.emplace_back(pointer.pos, pointer.offset);
        }
    }
    // The kinds of the clue word at any depth, deeper ones weaker; each kind
    // is read once, and its own kinds are the next depth's.
    for (int depth = 2; depth <= kMaxKindDepth && !kindsFrontier.empty() && m_nReads < kMaxReads; ++depth) {
        std::vector<std::pair<WnPos, uint32_t>> next;
        const float score = std::max(14.0f, kKindOf - 6.0f * static_cast<float>(depth - 1));
        for (const auto& [pos, offset] : kindsFrontier) {
            if (m_nReads >= kMaxReads)
                break;
            WnSynset kind;
            if (!Read(pos, offset, kind))
                return false;
            if (depth > 2)
                AddSynset(kind, source, form, (score + 6.0f) * m_termWeight, kindReason);
            for (const WnPointer& pointer : kind.pointers)
                if (pointer.symbol == "~" || pointer.symbol == "~i")
                    next.emplace_back(pointer.pos, pointer.offset);
        }
        kindsFrontier.swap(next);
    }
    // Two steps away through any relation.
    const uint32_t twoStepReason = Reason("related to " + shown);
    for (const auto& [pos, offset] : secondStep) {
        if (m_nReads >= kMaxReads / 2)
            break;
        WnSynset synset;
        if (!Read(pos, offset, synset))
            return false;
        for (const WnPointer& pointer : synset.pointers) {
            const char* what = nullptr;
            if (PointerScore(pointer.symbol, what) == 0 || m_nReads >= kMaxReads / 2)
                continue;
            WnSynset target;
            if (!Read(pointer.pos, pointer.offset, target))
                return false;
            AddSynset(target, source, form, kTwoSteps * m_termWeight, twoStepReason);
        }
    }
    return true;
}

bool CWordNetClueScorer::GatherDefinitions(WnForm form) {
    if (!m_pIndex || !m_pIndex->IsOpen())
        return true;
    const double nSynsets = m_pIndex->SynsetCount();
    std::unordered_map<uint64_t, double> weights;
    double total = 0;
    std::vector<WnSynsetRef> refs, all;
    for (const size_t i : m_clue.ContentWords()) {
        const std::string& word = m_clue.words[i].text;
        std::vector<std::string> keys = {word};
        for (int p = 0; p < kWnPosCount; ++p) {
            std::vector<std::string> bases;
            if (MorphBaseForms(*m_pDb, static_cast<WnPos>(p), word, bases) == WnRead::damaged)
                return false;
            for (std::string& base : bases)
                if (std::find(keys.begin(), keys.end(), base) == keys.end())
                    keys.push_back(std::move(base));
        }
        all.clear();
        for (const std::string& key : keys) {
            const WnRead read = m_pIndex->Postings(key, refs);
            if (read == WnRead::damaged)
                return false;
            all.insert(all.end(), refs.begin(), refs.end());
        }
        if (all.empty())
            continue;
        std::sort(all.begin(), all.end(), [](const WnSynsetRef& a, const WnSynsetRef& b) {
            return a.pos != b.pos ? a.pos < b.pos : a.offset < b.offset;
        });
        all.erase(std::unique(all.begin(), all.end()), all.end());
        // Rare words say more: weighed by how few glosses hold them.
        const double weight = std::log((nSynsets + 1) / (static_cast<double>(all.size()) + 1));
        if (weight <= 0)
            continue;
        total += weight;
        for (const WnSynsetRef& ref : all)
            weights[(static_cast<uint64_t>(ref.pos) << 32) | ref.offset] += weight;
    }
    if (weights.empty() || total <= 0)
        return true;
    std::vector<std::pair<double, uint64_t>> best;
    best.reserve(weights.size());
    for (const auto& [key, weight] : weights)
        best.emplace_back(weight, key);
    const size_t nKeep = std::min(best.size(), kMaxDefinitionSynsets);
    std::partial_sort(best.begin(), best.begin() + static_cast<std::ptrdiff_t>(nKeep), best.end(),
                      [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
    for (size_t k = 0; k < nKeep; ++k) {
        const double share = best[k].first / total;
        if (share < 0.1)
            break;
        WnSynset synset;
        if (!Read(static_cast<WnPos>(best[k].second >> 32), static_cast<uint32_t>(best[k].second), synset))
            return false;
        std::string gloss = synset.gloss.substr(0, synset.gloss.find(';'));
        if (gloss.size() > 60)
            gloss = gloss.substr(0, gloss.rfind(' ', 57)) + "...";
        // An example clue asks for a class: the definitions that mention the
        // example say less than its hypernyms do.
        const float weight = m_clue.HasExample() ? kExampleWordWeight : 1.0f;
        AddSynset(synset, kDefinition, form, static_cast<float>(kDefinitionScore * share) * weight,
                  Reason("definition: " + gloss));
    }
    return true;
}

bool CWordNetClueScorer::GatherExample(WnForm form) {
    if (!m_clue.HasExample())
        return true;
    const std::string shown = m_clue.Phrase(m_clue.nExampleFirst, m_clue.nExampleEnd);
    std::string term = shown;
    std::replace(term.begin(), term.end(), ' ', '_');
    std::vector<WnIndexEntry> entries;
    if (LookupForms(*m_pDb, kWnNoun, term, entries) == WnRead::damaged)
        return false;
    if (entries.empty() && m_clue.nExampleEnd - m_clue.nExampleFirst > 1 &&
        LookupForms(*m_pDb, kWnNoun, m_clue.words[m_clue.nExampleEnd - 1].text, entries) == WnRead::damaged)
        return false;
    const uint32_t reason = Reason(shown + " is one");
    std::vector<std::pair<uint32_t, size_t>> frontier;  // offset, sense
    for (const WnIndexEntry& entry : entries)
        for (size_t n = 0; n < entry.offsets.size() && n < 4; ++n)
            frontier.emplace_back(entry.offsets[n], n);
    for (size_t depth = 0; depth < std::size(kExampleClass) && !frontier.empty(); ++depth) {
        std::vector<std::pair<uint32_t, size_t>> next;
        for (const auto& [offset, sense] : frontier) {
            WnSynset synset;
            if (!Read(kWnNoun, offset, synset))
                return false;
            for (const WnPointer& pointer : synset.pointers) {
                if ((pointer.symbol != "@" && pointer.symbol != "@i") || pointer.pos != kWnNoun)
                    continue;
                WnSynset parent;
                if (!Read(kWnNoun, pointer.offset, parent))
                    return false;
                AddSynset(parent, kExample, form, kExampleClass[depth] * SenseFactor(sense), reason);
                next.emplace_back(pointer.offset, sense);
            }
        }
        frontier.swap(next);
    }
    return true;
}

bool CWordNetClueScorer::GatherBlank() {
    if (m_clue.nBlank < 0 || !m_pIndex || !m_pIndex->IsOpen())
        return true;
    const size_t b = static_cast<size_t>(m_clue.nBlank);
    std::vector<std::string> completions;
    for (size_t before = 0; before <= 3 && before <= b; ++before)
        for (size_t after = 0; after <= 3 && b + after <= m_clue.words.size(); ++after) {
            if (before + after == 0)
                continue;
            // A phrase does not run on across punctuation.
            bool bBroken = false;
            for (size_t i = b - before + 1; i < b + after; ++i)
                bBroken |= i != b && m_clue.words[i].bBreakBefore;
            if (bBroken)
                continue;
            std::string key, shown;
            for (size_t i = b - before; i < b + after; ++i) {
                if (i == b) {
                    key += key.empty() ? "?" : "_?";
                    shown += shown.empty() ? "___" : " ___";
                }
                key += (key.empty() ? "" : "_") + m_clue.words[i].text;
                shown += (shown.empty() ? "" : " ") + m_clue.words[i].text;
            }
            if (b + after == b || after == 0) {
                key += "_?";
                shown += " ___";
            }
            const WnRead read = m_pIndex->Completions(key, completions);
            if (read == WnRead::damaged)
                return false;
            const uint32_t reason = Reason("completes '" + shown + "'");
            for (const std::string& word : completions)
                Add(word, kBlank, WnForm::kAny, before + after >= 2 ? kBlankLong : kBlankShort, reason);
        }
    return true;
}

void CWordNetClueScorer::GatherWordplay(size_t length) {
    m_nWordplayLength = length;
    m_hidden.clear();
    m_anagrams.clear();
    const size_t nWords = m_clue.words.size();
    if (length < 3 || nWords == 0)
        return;
    // Where each word's letters start in the clue's letters.
    std::vector<size_t> starts;
    std::string letters;
    for (const ClueWord& word : m_clue.words) {
        starts.push_back(letters.size());
        letters += word.text;
    }
    starts.push_back(letters.size());
    const auto wordAt = [&](size_t pos) {
        return static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), pos) - starts.begin()) - 1;
    };
    // A cryptic clue (one that gives its enumeration) may reverse a word
    // within one of its words ("up in reeds": DEER).
    const bool bCryptic = m_clue.nEnumeration > 0;
    for (size_t at = 0; at + length <= letters.size(); ++at) {
        const size_t first = wordAt(at), last = wordAt(at + length - 1);
        const bool bWithin = first == last;
        if (bWithin && (!bCryptic || m_clue.words[first].text.size() == length))
            continue;  // a part of one word is no hiding, forwards
        const std::string shown = m_clue.Phrase(first, last + 1);
        std::string forwards = letters.substr(at, length);
        std::string backwards(forwards.rbegin(), forwards.rend());
        if (!bWithin)
            m_hidden.try_emplace(forwards, Reason("hidden in '" + shown + "'"));
        m_hidden.try_emplace(backwards, Reason("hidden backwards in '" + shown + "'"));
    }
    for (size_t first = 0; first < nWords; ++first) {
        std::string fodder;
        for (size_t end = first + 1; end <= nWords && end <= first + 4; ++end) {
            fodder += m_clue.words[end - 1].text;
            if (fodder.size() > length)
                break;
            if (fodder.size() == length) {
                std::string key = fodder;
                std::sort(key.begin(), key.end());
                m_anagrams.try_emplace(key, Reason("anagram of '" + m_clue.Phrase(first, end) + "'"));
            }
        }
    }
}

WnRead CWordNetClueScorer::Build(const CWordNet& db, const CDefinitionIndex* pIndex, std::string_view clue) {
    m_pDb = &db;
    m_pIndex = pIndex;
    m_clue = ParseClue(clue);
    m_evidence.clear();
    m_reasons.clear();
    m_reasonIds.clear();
    m_self.clear();
    m_unknown.clear();
    m_nReads = 0;
    m_bDamaged = false;
    m_nWordplayLength = 0;
    m_reach.clear();
    m_bReady = false;
    if (OffensiveDomains(db, m_offensiveDomains) == WnRead::damaged)
        return WnRead::damaged;

    const std::vector<size_t> content = m_clue.ContentWords();
    std::vector<WnForm> forms(m_clue.words.size(), WnForm::kBase);
    for (const ClueWord& word : m_clue.words)
        m_self.insert(word.text);
    for (const size_t i : content)
        forms[i] = ClueWordForm(db, m_clue.words[i].text);

    // The clue's head: its last content word that is a noun or a verb (or the
    // last content word), whose form a definition's answer should share.
    WnForm head = WnForm::kAny;
    for (auto it = content.rbegin(); it != content.rend(); ++it) {
        if (m_clue.HasExample() && *it >= m_clue.nExampleFirst && *it < m_clue.nExampleEnd)
            continue;
        std::vector<WnIndexEntry> entries;
        bool bNounOrVerb = false;
        for (const WnPos pos : {kWnNoun, kWnVerb}) {
            if (LookupForms(db, pos, m_clue.words[*it].text, entries) == WnRead::damaged)
                return WnRead::damaged;
            bNounOrVerb |= !entries.empty();
        }
        if (bNounOrVerb || head == WnForm::kAny) {
            head = forms[*it];
            if (bNounOrVerb)
                break;
        }
    }

    // The head of the definition names what the answer is: its links count
    // for more than a modifier's ("woolly pullover": a kind of pullover, not
    // a synonym of woolly); the example of "X, e.g." asks for X's class, not
    // for X's neighbours. A clue that opens with a verb in the past or -ing
    // ("Told a fib", "Taking a seat") is a verb phrase headed by that verb.
    int nHead = content.size() >= 2 ? m_clue.Head() : -1;
    if (content.size() >= 2 && content.front() == 0 &&
        (forms[0] == WnForm::kPast || forms[0] == WnForm::kIng ||
         (forms[0] == WnForm::kS && m_clue.words.size() > 1 && m_clue.words[1].bStop))) {
        nHead = 0;
    }
    // A definition's answer takes the form of the head.
    if (nHead >= 0)
        head = forms[static_cast<size_t>(nHead)];
    const auto termWeight = [&](size_t first, size_t last) {
        if (m_clue.HasExample() && first >= m_clue.nExampleFirst && last < m_clue.nExampleEnd)
            return kExampleWordWeight;
        // A cryptic clue (one that gives its enumeration) defines its answer
        // at one end; the rest is wordplay.
        if (m_clue.nEnumeration > 0 && content.size() >= 2)
            return first <= content.front() || last >= content.back() ? kHeadWeight : kModifierWeight;
        if (nHead < 0)
            return 1.0f;
        return static_cast<int>(first) <= nHead && nHead <= static_cast<int>(last) ? kHeadWeight : kModifierWeight;
    };

    // Phrases of adjacent words that WordNet holds as one entry (sea_eagle,
    // big_cat, rank_and_file), the whole clue first.
    std::vector<bool> known(m_clue.words.size(), false);
    const size_t nWords = m_clue.words.size();
    for (size_t len = std::min<size_t>(nWords, 5); len >= 2; --len)
        for (size_t first = 0; first + len <= nWords; ++first) {
            const size_t last = first + len - 1;
            if (m_clue.words[first].bStop || m_clue.words[last].bStop)
                continue;
            bool bBroken = m_clue.nBlank > static_cast<int>(first) && m_clue.nBlank <= static_cast<int>(last);
            for (size_t i = first + 1; i <= last; ++i)
                bBroken |= m_clue.words[i].bBreakBefore;
            if (bBroken)
                continue;
            const std::string shown = m_clue.Phrase(first, last + 1);
            std::string term = shown;
            std::replace(term.begin(), term.end(), ' ', '_');
            bool bKnown = false;
            const float boost = len == nWords ? kWholeClueSynonym : kPhraseSynonym;
            m_termWeight = std::max(1.0f, termWeight(first, last));
            if (!GatherTerm(term, shown, static_cast<uint8_t>(first), forms[last], boost, bKnown))
                return WnRead::damaged;
            if (bKnown)
                std::fill(known.begin() + static_cast<std::ptrdiff_t>(first),
                          known.begin() + static_cast<std::ptrdiff_t>(last + 1), true);
        }
    for (const size_t i : content) {
        bool bKnown = false;
        const std::string& word = m_clue.words[i].text;
        m_termWeight = termWeight(i, i);
        if (!GatherTerm(word, word, static_cast<uint8_t>(i), forms[i], content.size() == 1 ? kWholeClueSynonym : 0,
                        bKnown))
            return WnRead::damaged;
        if (!bKnown && !known[i]) {
            const std::string upper = Upper(word);
            if (std::find(m_unknown.begin(), m_unknown.end(), upper) == m_unknown.end())
                m_unknown.push_back(upper);
        }
    }
    for (const std::string& word : m_clue.foreign) {
        const std::string upper = Upper(word);
        if (std::find(m_unknown.begin(), m_unknown.end(), upper) == m_unknown.end())
            m_unknown.push_back(upper);
    }
    m_termWeight = 1.0f;
    if (!GatherDefinitions(head) || !GatherExample(head) || !GatherBlank())
        return WnRead::damaged;
    if (m_bDamaged)
        return WnRead::damaged;
    CollectReach();
    m_bReady = true;
    return WnRead::found;
}

namespace {

constexpr unsigned kReachBits = 20;
constexpr uint64_t kReachMask = (uint64_t{1} << kReachBits) - 1;

}  // namespace

void CWordNetClueScorer::Reach(std::string_view form) {
    const uint64_t hash = std::hash<std::string_view>()(form);
    for (const uint64_t bit : {hash & kReachMask, (hash >> kReachBits) & kReachMask})
        m_reach[bit / 64] |= uint64_t{1} << (bit % 64);
}

bool CWordNetClueScorer::MayReach(std::string_view form) const {
    if (m_reach.empty())
        return false;  // no Build, or one that failed: nothing is reached
    const uint64_t hash = std::hash<std::string_view>()(form);
    for (const uint64_t bit : {hash & kReachMask, (hash >> kReachBits) & kReachMask})
        if (!(m_reach[bit / 64] & (uint64_t{1} << (bit % 64))))
            return false;
    return true;
}

void CWordNetClueScorer::CollectReach() {
    m_reach.assign((kReachMask + 1) / 64, 0);
    std::string doubled;
    const auto reach = [&](const std::string& word) {
        Reach(word);
        for (int p = 0; p < kWnPosCount; ++p)
            for (const std::string& form : InflectedForms(static_cast<WnPos>(p), word))
                Reach(form);
        if (word.size() >= 2) {
            doubled.assign(word).push_back(word.back());
            const size_t n = doubled.size();
            Reach(doubled.append("ed"));
            doubled.resize(n);
            Reach(doubled.append("ing"));
        }
    };
    for (const auto& [word, entry] : m_evidence)
        reach(word);
    for (const std::string& word : m_self)
        reach(word);
    for (int p = 0; p < kWnPosCount; ++p)
        for (const auto& [inflected, bases] : m_pDb->ExceptionList(static_cast<WnPos>(p)))
            for (const std::string& base : bases)
                if (m_evidence.count(base) || m_self.count(base)) {
                    Reach(inflected);
                    break;
                }
}

ClueVerdict CWordNetClueScorer::Score(std::string_view word) {
    ClueVerdict verdict;
    m_pBest = nullptr;
    if (!m_bReady)
        return verdict;
    m_lower.assign(word);
    // A phrase ("ICE CREAM") is looked up as WordNet writes it: ice_cream.
    for (char& c : m_lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (c == ' ')
            c = '_';
    // Most candidates can reduce to no word of the clue's: only wordplay is
    // left to look at for them.
    const bool bReached = MayReach(m_lower);

    // Each reading of the word: a base form and the form the word has.
    struct Reading {
        std::string base;
        WnForm form;
    };
    Reading readings[24];
    size_t nReadings = 0;
    const auto addReading = [&](std::string_view base, WnForm form) {
        if (nReadings < std::size(readings))
            readings[nReadings++] = {std::string(base), form};
    };
    if (bReached)
        addReading(m_lower, WnForm::kBase);
    for (const WnPos pos : {kWnNoun, kWnVerb, kWnAdj}) {
        if (!bReached)
            break;
        if (const std::vector<std::string>* bases = m_pDb->Exceptions(pos, m_lower)) {
            for (const std::string& base : *bases)
                addReading(base, ExceptionForm(pos, m_lower));
            continue;
        }
        for (const WnRuleResult& result : DetachmentResults(pos, m_lower))
            addReading(result.base, RuleForm(pos, m_lower));
        // A doubled last letter: STOPPED, RUNNING.
        if (pos == kWnVerb) {
            for (const std::string_view suffix : {"ed", "ing"}) {
                const size_t n = m_lower.size();
                if (EndsWith(m_lower, suffix) && n >= suffix.size() + 3 &&
                    m_lower[n - suffix.size() - 1] == m_lower[n - suffix.size() - 2])
                    addReading(std::string_view(m_lower).substr(0, n - suffix.size() - 1),
                               suffix == "ed" ? WnForm::kPast : WnForm::kIng);
            }
        }
    }

    // The clue's own words rank last.
    for (size_t r = 0; r < nReadings; ++r)
        if (m_self.count(readings[r].base) && (r == 0 || readings[r].form != WnForm::kEr)) {
            verdict.standing = ClueVerdict::kLast;
            return verdict;
        }

    // The best evidence of each source, the form weighed in.
    struct Best {
        uint8_t source;
        float score;
        uint32_t reason;
        const Item* pItem;
    };
    Best best[16];
    size_t nBest = 0;
    const auto take = [&](uint8_t source, float score, uint32_t reason, const Item* pItem) {
        for (size_t b = 0; b < nBest; ++b)
            if (best[b].source == source) {
                if (score > best[b].score)
                    best[b] = {source, score, reason, pItem};
                return;
            }
        if (nBest < std::size(best))
            best[nBest++] = {source, score, reason, pItem};
    };
    bool bOffensive = false;
    for (size_t r = 0; r < nReadings; ++r) {
        const auto it = m_evidence.find(readings[r].base);
        if (it == m_evidence.end())
            continue;
        bOffensive |= it->second.bOffensive;
        for (uint8_t i = 0; i < it->second.nItems; ++i) {
            const Item& item = it->second.items[i];
            const bool bAgrees = item.form == WnForm::kAny || item.form == readings[r].form;
            take(item.source, bAgrees ? item.score : item.score * kDisagree, item.reason, &item);
        }
    }
    if (m_pIndex && m_pIndex->IsOpen() && nBest == 0) {
        bOffensive = bOffensive || m_pIndex->IsOffensive(m_lower);
        for (size_t r = 0; r < nReadings && !bOffensive; ++r)
            bOffensive = m_pIndex->IsOffensive(readings[r].base);
    }

    if (m_lower.size() != m_nWordplayLength)
        GatherWordplay(m_lower.size());
    // Wordplay counts for more in a clue that gives its enumeration: the
    // sign of a cryptic clue, whose answer is defined at one end and
    // spelled out by the rest.
    const float wordplay = m_clue.nEnumeration > 0 ? kCrypticFactor : 1.0f;
    if (const auto it = m_hidden.find(m_lower); it != m_hidden.end())
        take(kHidden, kHiddenScore * wordplay, it->second, nullptr);
    if (!m_anagrams.empty()) {
        m_sorted = m_lower;
        std::sort(m_sorted.begin(), m_sorted.end());
        if (const auto it = m_anagrams.find(m_sorted); it != m_anagrams.end())
            take(kAnagram, kAnagramScore * wordplay, it->second, nullptr);
    }

    if (nBest == 0) {
        verdict.standing = bOffensive ? ClueVerdict::kLast : ClueVerdict::kNone;
        return verdict;
    }
    double total = 0;
    size_t nTop = 0;
    for (size_t b = 0; b < nBest; ++b) {
        total += best[b].score;
        if (best[b].score > best[nTop].score)
            nTop = b;
    }
    verdict.standing = ClueVerdict::kEvidence;
    verdict.score = total;
    m_pBest = best[nTop].pItem;
    verdict.reason = m_reasons[best[nTop].reason];
    return verdict;
}

bool CWordNetClueScorer::EvidenceSense(std::string_view word, WnSynsetRef& sense) {
    if (Score(word).standing != ClueVerdict::kEvidence || !m_pBest || m_pBest->sensePos < 0)
        return false;
    sense.pos = static_cast<WnPos>(m_pBest->sensePos);
    sense.offset = m_pBest->senseOffset;
    return true;
}
