// WordNet's morphology (morphy(7WN)): the base forms of an inflected word in
// one part of speech. The exception list POS.exc is looked at first; a word
// that is not on it is stripped of the first documented suffix whose result
// is in the index (CATS -> cat, RAN -> run by verb.exc, GEESE -> goose by
// noun.exc). As WordNet's own morphology does, adverbs have no rules, nouns
// ending in "ss" or of two letters or fewer are left alone, and a noun ending
// in "ful" is reduced before the "ful" (BOXESFUL -> boxful).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "wordnet/wordnet_db.h"

// One result of a detachment rule: the base form it offers, and the form
// that must be in the index for the rule to apply (the two differ only for
// "ful" nouns, where the part before "ful" is looked up).
struct WnRuleResult {
    std::string base;
    std::string lookup;
};

// The results of the detachment rules that fit `word` (lower case), in rule
// order, before any index lookup.
std::vector<WnRuleResult> DetachmentResults(WnPos pos, std::string_view word);

// The forms that a detachment rule of `pos` could reduce to `base`: for
// each rule whose ending `base` has, `base` with the ending replaced by the
// rule's suffix (the inverse of DetachmentResults, before any index check).
std::vector<std::string> InflectedForms(WnPos pos, std::string_view base);

// The base forms of `word` (lower case) in `pos`, each once, the word itself
// not among them. Forms from the exception list are given whether or not the
// index has them, as WordNet does; callers look them up.
WnRead MorphBaseForms(const CWordNet& db, WnPos pos, std::string_view word, std::vector<std::string>& forms);

// The index entries a lookup of `word` shows in `pos`: the word itself when
// the index has it, then its base forms that the index has, each once.
WnRead LookupForms(const CWordNet& db, WnPos pos, std::string_view word, std::vector<WnIndexEntry>& entries);
