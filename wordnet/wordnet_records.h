// The records of the WordNet database files as wndb(5) documents them: an
// index line (a lemma and the offsets of its synsets in one part of speech)
// and a data line (one synset: its words, pointers and gloss). The parsers
// accept exactly the documented layout and refuse anything else, so a
// damaged file is reported instead of being misread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum WnPos { kWnNoun, kWnVerb, kWnAdj, kWnAdv, kWnPosCount };

// "noun", "verb", "adj", "adv": the name in file names and in the meaning text.
const char* WnPosName(WnPos pos);
// The part of speech of a pointer's or data line's code: n, v, a, s (an
// adjective satellite) or r; false for any other character.
bool WnPosFromCode(char code, WnPos& pos);

struct WnIndexEntry {
    std::string lemma;
    int nTaggedSenses = 0;
    std::vector<uint32_t> offsets;  // the synsets of the lemma, sense 1 first
};

// Parses a line of index.POS for `pos`; false when it does not have the
// documented fields.
bool ParseIndexLine(std::string_view line, WnPos pos, WnIndexEntry& entry);

struct WnPointer {
    std::string symbol;  // "@", "~i", "%p", ...
    uint32_t offset = 0;
    WnPos pos = kWnNoun;
    int nSource = 0;  // word numbers from 1; 0 and 0 for a pointer between synsets
    int nTarget = 0;
};

struct WnSynsetWord {
    std::string text;  // as in the data file, underscores and case kept, marker removed
    int nLexId = 0;
};

struct WnSynset {
    uint32_t offset = 0;
    int nLexFile = 0;
    char ssType = 'n';
    std::vector<WnSynsetWord> words;
    std::vector<WnPointer> pointers;
    std::string gloss;
};

// Parses a line of data.POS for `pos`; false when it does not have the
// documented fields.
bool ParseDataLine(std::string_view line, WnPos pos, WnSynset& synset);

// The word in lower case ASCII, the form the index files hold.
std::string WnLower(std::string_view text);
