// The meaning of a word as `wn WORD -over` shows it: for each part of speech
// and each form the word is found under (the word itself, then its base
// forms), an overview of the senses with their synonyms and glosses:
//
//   Overview of noun cat
//
//   The noun cat has 8 senses (first 1 from tagged texts)
//
//   1. (18) cat, true cat -- (feline mammal usually having thick soft fur ...)
#pragma once

#include <string_view>

#include "platform/cstring.h"
#include "wordnet/definition_index.h"
#include "wordnet/wordnet_db.h"

// The query as a lookup key: lower case, blanks joined by '_', surrounding
// blanks dropped.
std::string MeaningKey(std::string_view word);

// Fills `text` with the overview of `word`; notFound when WordNet does not
// know it in any part of speech (text empty), damaged when a file of the
// database cannot be read as one. With `pFirst`, the sense in that synset
// (the one a clue matched) comes first: its part of speech before the others
// and its line before the other senses, each sense keeping its number.
WnRead MeaningText(const CWordNet& db, std::string_view word, CString& text, const WnSynsetRef* pFirst = nullptr);
