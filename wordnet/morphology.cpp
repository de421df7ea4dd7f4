#include "wordnet/morphology.h"

#include <algorithm>

namespace {

struct Rule {
    const char* suffix;
    const char* ending;
};

// The rules of detachment of morphy(7WN), in its order.
constexpr Rule kNounRules[] = {{"s", ""},    {"ses", "s"}, {"xes", "x"}, {"zes", "z"},
                               {"ches", "ch"}, {"shes", "sh"}, {"men", "man"}, {"ies", "y"}};
constexpr Rule kVerbRules[] = {{"s", ""},   {"ies", "y"}, {"es", "e"},  {"es", ""},
                               {"ed", "e"}, {"ed", ""},   {"ing", "e"}, {"ing", ""}};
constexpr Rule kAdjRules[] = {{"er", ""}, {"est", ""}, {"er", "e"}, {"est", "e"}};

bool EndsWith(std::string_view word, std::string_view suffix) {
    return word.size() >= suffix.size() && word.substr(word.size() - suffix.size()) == suffix;
}

template <size_t N>
void ApplyRules(const Rule (&rules)[N], std::string_view stem, std::string_view tail,
                std::vector<WnRuleResult>& results) {
    for (const Rule& rule : rules) {
        const std::string_view suffix = rule.suffix;
        if (!EndsWith(stem, suffix))
            continue;
        std::string lookup(stem.substr(0, stem.size() - suffix.size()));
        lookup += rule.ending;
        // A rule that leaves the word as it was offers nothing.
        if (lookup == stem)
            continue;
        results.push_back({lookup + std::string(tail), lookup});
    }
}

template <size_t N>
void InvertRules(const Rule (&rules)[N], std::string_view base, std::string_view tail, std::vector<std::string>& forms) {
    for (const Rule& rule : rules) {
        const std::string_view ending = rule.ending;
        if (!EndsWith(base, ending))
            continue;
        std::string form(base.substr(0, base.size() - ending.size()));
        form += rule.suffix;
        form += tail;
        forms.push_back(std::move(form));
    }
}

}  // namespace

std::vector<std::string> InflectedForms(WnPos pos, std::string_view base) {
    std::vector<std::string> forms;
    switch (pos) {
    case kWnNoun:
        InvertRules(kNounRules, base, "", forms);
        if (EndsWith(base, "ful"))
            InvertRules(kNounRules, base.substr(0, base.size() - 3), "ful", forms);
        break;
    case kWnVerb:
        InvertRules(kVerbRules, base, "", forms);
        break;
    case kWnAdj:
        InvertRules(kAdjRules, base, "", forms);
        break;
    default:
        break;
    }
    return forms;
}

std::vector<WnRuleResult> DetachmentResults(WnPos pos, std::string_view word) {
    std::vector<WnRuleResult> results;
    switch (pos) {
    case kWnNoun:
        if (EndsWith(word, "ful")) {
            const std::string_view stem = word.substr(0, word.size() - 3);
            ApplyRules(kNounRules, stem, "ful", results);
        } else if (!EndsWith(word, "ss") && word.size() > 2) {
            ApplyRules(kNounRules, word, "", results);
        }
        break;
    case kWnVerb:
        ApplyRules(kVerbRules, word, "", results);
        break;
    case kWnAdj:
        ApplyRules(kAdjRules, word, "", results);
        break;
    default:
        break;
    }
    return results;
}

WnRead MorphBaseForms(const CWordNet& db, WnPos pos, std::string_view word, std::vector<std::string>& forms) {
    forms.clear();
    if (const std::vector<std::string>* bases = db.Exceptions(pos, word)) {
        for (const std::string& base : *bases)
            if (base != word && std::find(forms.begin(), forms.end(), base) == forms.end())
                forms.push_back(base);
        return WnRead::found;
    }
    for (const WnRuleResult& result : DetachmentResults(pos, word)) {
        const WnRead defined = db.IsDefined(pos, result.lookup);
        if (defined == WnRead::damaged)
            return WnRead::damaged;
        if (defined == WnRead::found) {
            if (result.base != word)
                forms.push_back(result.base);
            break;
        }
    }
    return WnRead::found;
}

WnRead LookupForms(const CWordNet& db, WnPos pos, std::string_view word, std::vector<WnIndexEntry>& entries) {
    entries.clear();
    std::vector<std::string> forms;
    if (MorphBaseForms(db, pos, word, forms) == WnRead::damaged)
        return WnRead::damaged;
    forms.insert(forms.begin(), std::string(word));
    for (const std::string& form : forms) {
        WnIndexEntry entry;
        const WnRead read = db.FindIndex(pos, form, entry);
        if (read == WnRead::damaged)
            return WnRead::damaged;
        if (read == WnRead::found &&
            std::none_of(entries.begin(), entries.end(), [&](const WnIndexEntry& e) { return e.lemma == entry.lemma; }))
            entries.push_back(std::move(entry));
    }
    return WnRead::found;
}
