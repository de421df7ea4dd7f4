// Any bytes as the files of a WordNet database, looked up with the words of
// the input: meanings, clue words and the relatedness of candidate words.
// Damage may only show as a "damaged" result; a meaning that is found is an
// overview, one that is not found has no text, and the related words are
// always words of the candidates given.
//
// Input: sections separated by a line "%%": first the query words (the first
// is looked up for its meaning, all of them are the clue words), then
// index.noun, data.noun, noun.exc, index.verb, data.verb, verb.exc,
// index.adj, data.adj, adj.exc, index.adv, data.adv, adv.exc, cntlist.rev.
// Missing sections are empty files.
#include <algorithm>
#include <filesystem>
#include <set>

#include "fuzz/fuzz_support.h"
#include "wordnet/clue_scorer.h"
#include "wordnet/clue_words.h"
#include "wordnet/meaning_text.h"
#include "wordnet/wordnet_db.h"

namespace {

using fuzz::Check;

const char* const kFiles[] = {"index.noun", "data.noun", "noun.exc", "index.verb", "data.verb",
                              "verb.exc",   "index.adj", "data.adj", "adj.exc",    "index.adv",
                              "data.adv",   "adv.exc",   "cntlist.rev"};

std::vector<std::string> Sections(const std::string& input) {
    std::vector<std::string> sections;
    size_t pos = 0;
    for (;;) {
        const size_t end = input.find("\n%%\n", pos);
        if (end == std::string::npos) {
            sections.push_back(input.substr(pos));
            return sections;
        }
        sections.push_back(input.substr(pos, end - pos));
        pos = end + 4;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Env& env = fuzz::Env::Get();
    static const std::string dir = [&] {
        const std::string d = env.File("wordnet");
        std::filesystem::create_directories(d);
        return d;
    }();
    const std::vector<std::string> sections = Sections(std::string(reinterpret_cast<const char*>(data), size));
    for (size_t i = 0; i < std::size(kFiles); ++i)
        env.Write(std::string("wordnet/") + kFiles[i], i + 1 < sections.size() ? sections[i + 1] : std::string());

    CWordNet db;
    const WnStatus status = db.Open(dir);
    Check(status == WnStatus::ok, "a database of regular files did not open");

    const std::string& query = sections[0];
    const std::vector<std::string> words = CClueWords::Split(query);
    CString text;
    const WnRead read = MeaningText(db, words.empty() ? query : words.front(), text);
    Check(read == WnRead::found ? text.rfind("Overview of ", 0) == 0 : text.empty(),
          "a meaning's text does not fit its result");

    // The query as a clue: Build ends with a result; every verdict with
    // evidence has a score and a reason; the clue's own words come last.
    CWordNetClueScorer scorer;
    if (scorer.Build(db, nullptr, query) == WnRead::found) {
        for (const CString& candidate : {CString("CAT"), CString("CATS"), CString("RAN"), CString("GEESE")}) {
            const ClueVerdict verdict = scorer.Score(candidate);
            Check(verdict.standing != ClueVerdict::kEvidence || (verdict.score > 0 && !verdict.reason.empty()),
                  "evidence without a score or a reason");
        }
        const ClueText clue = ParseClue(query);
        for (const ClueWord& word : clue.words) {
            std::string upper;
            for (const char c : word.text)
                upper += static_cast<char>(c - 'a' + 'A');
            Check(scorer.Score(upper).standing == ClueVerdict::kLast, "a clue word that does not come last");
        }
    }

    CClueWords clues;
    if (clues.Build(db, query) != WnRead::found)
        return 0;
    std::vector<CString> candidates = {"CAT", "CATS", "STONE", "GEESE", "RAN", "BOXESFUL", "BOSS", "AS"};
    for (const std::string& word : words) {
        std::string upper;
        for (const char c : word)
            upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        candidates.push_back(upper);
        candidates.push_back(upper + "S");
        candidates.push_back(upper + "ED");
    }
    const std::vector<CString> related = clues.RankRelated(candidates);
    Check(related.size() <= candidates.size(), "more related words than candidates");
    std::multiset<CString> pool(candidates.begin(), candidates.end());
    for (const CString& word : related) {
        const auto it = pool.find(word);
        Check(it != pool.end(), "a related word that was no candidate");
        pool.erase(it);
    }
    return 0;
}
