// The plug by which a clue ranks the words of a Find: search/ asks a scorer
// how well each fitting word answers the clue, and knows nothing of where the
// evidence comes from (the WordNet scorer lives in wordnet/).
#pragma once

#include <string_view>

// What a scorer says of one word.
struct ClueVerdict {
    enum Standing {
        kEvidence,  // answers the clue with `score` > 0; `reason` says why
        kNone,      // no evidence: listed after the words with evidence
        kLast,      // the clue's own word, or a word marked offensive: listed last
    };
    Standing standing = kNone;
    double score = 0;
    // Short text such as "synonym of feline"; valid while the scorer lives.
    std::string_view reason;
};

class IClueScorer {
public:
    virtual ~IClueScorer() = default;
    // `word` is an upper-case dictionary word.
    virtual ClueVerdict Score(std::string_view word) = 0;
};
