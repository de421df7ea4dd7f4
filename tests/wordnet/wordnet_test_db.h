// A small hand-made WordNet database for the tests: synsets described by
// name, written as data.POS and index.POS lines with the offsets worked out,
// plus exception lists and cntlist.rev lines as given.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "wordnet/wordnet_records.h"

struct TestPointer {
    std::string symbol;
    std::string target;  // synset name
    int nSource = 0;
    int nTarget = 0;
};

struct TestSynset {
    std::string name;
    WnPos pos = kWnNoun;
    char ssType = 'n';
    int nLexFile = 0;
    std::vector<std::string> words;  // as in the data file: "true_cat", "galore(ip)"
    std::vector<TestPointer> pointers;
    std::string gloss;
};

class CTestWordNet {
public:
    void Add(TestSynset synset) { m_synsets.push_back(std::move(synset)); }
    // Number of tagged senses of a lemma (its first senses); 0 by default.
    void SetTagged(WnPos pos, const std::string& lemma, int n) { m_tagged[{pos, lemma}] = n; }
    std::string exceptions[kWnPosCount];
    std::string counts;  // cntlist.rev

    // Writes every file into `dir`; returns the data file offset of each synset.
    std::map<std::string, uint32_t> WriteTo(const std::string& dir) const;
    // The file texts, by file name.
    std::map<std::string, std::string> Files(std::map<std::string, uint32_t>* offsets = nullptr) const;

private:
    std::vector<TestSynset> m_synsets;
    std::map<std::pair<WnPos, std::string>, int> m_tagged;
};

// The small database most tests use: cats, felines, rocks and stones,
// geese, running.
CTestWordNet SampleWordNet();
