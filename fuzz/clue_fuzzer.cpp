// Any bytes as a clue as printed, and as a definition index: the clue's
// words are lower-case letters only, no more than the limit, with the blank
// and the example inside them; the index opens or is refused, and every
// lookup ends with a result, its postings and words well-formed.
//
// Input: the clue, then a line "%%" and the index file's text (may be absent).
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "wordnet/clue_text.h"
#include "wordnet/definition_index.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find("\n%%\n");
    const std::string text = input.substr(0, split);

    const ClueText clue = ParseClue(text);
    Check(clue.words.size() <= ClueText::kMaxWords, "more words than the limit");
    for (const ClueWord& word : clue.words)
        Check(!word.text.empty() && std::all_of(word.text.begin(), word.text.end(),
                                               [](char c) { return c >= 'a' && c <= 'z'; }),
              "a clue word that is not lower-case letters");
    Check(clue.nBlank >= -1 && clue.nBlank <= static_cast<int>(clue.words.size()), "a blank outside the clue");
    Check(clue.nExampleFirst <= clue.nExampleEnd && clue.nExampleEnd <= clue.words.size(),
          "an example outside the clue");
    Check(clue.nEnumeration >= 0 && clue.nEnumeration <= 1000, "an enumeration out of range");
    for (const std::string& word : clue.foreign)
        Check(std::any_of(word.begin(), word.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }),
              "a foreign word with no letter beyond ASCII");

    if (split == std::string::npos)
        return 0;
    fuzz::Env& env = fuzz::Env::Get();
    env.Write("definitions.idx", input.substr(split + 4));
    CDefinitionIndex index;
    if (!index.Open(env.File("definitions.idx")))
        return 0;
    Check(index.SynsetCount() > 0, "an index of no synsets opened");
    std::vector<WnSynsetRef> refs;
    std::vector<std::string> words;
    for (const ClueWord& word : clue.words) {
        const WnRead read = index.Postings(word.text, refs);
        Check(read != WnRead::notFound || refs.empty(), "postings of a word that is not there");
        for (const WnSynsetRef& ref : refs)
            Check(ref.pos >= kWnNoun && ref.pos < kWnPosCount && ref.offset <= 99999999, "a posting out of range");
        if (index.Completions(word.text + "_?", words) == WnRead::found)
            for (const std::string& w : words)
                Check(!w.empty() && w.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos,
                      "a completion that is not a word");
    }
    return 0;
}
