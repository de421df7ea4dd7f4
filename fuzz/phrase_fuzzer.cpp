// Any bytes as a phrase file. The reader must refuse damage through its
// result, never crash or read out of bounds; every entry it hands out is
// letters A-Z with its breaks inside the entry, in order; and the entries of
// a file read to its end, written again, read back the same.
//
// With flag 2, a pattern comes first (up to a newline): it is cut at its word
// breaks and prepared as a phrase query, whose test then runs on the file's
// entries of its length; the cut must give non-empty parts with a break
// between each two, and the query's parts must add up to its length.
//
// Input: a flags byte (1: read through a file, not from memory; 2: a pattern
// line first), then the file's bytes.
#include <algorithm>
#include <tuple>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "dictionary/dictionary.h"
#include "phrases/phrase_file.h"
#include "phrases/phrase_query.h"

namespace {

using fuzz::Check;

// Every entry of every length, in walking order; false at the first damage.
bool ReadAll(CPhraseFile& file, std::vector<PhraseEntry>& entries) {
    for (int length = 2; length <= file.MaxLength(); ++length) {
        const bool ok = file.Walk(length, [&](const PhraseRecord& r) {
            PhraseEntry e;
            e.letters.assign(r.letters, static_cast<size_t>(length));
            e.breaks.assign(r.breaks, r.breaks + r.nBreaks);
            e.rank = r.rank;
            for (const char c : e.letters)
                Check(c >= 'A' && c <= 'Z', "an entry's letter is not A-Z");
            int previous = 0;
            for (const uint8_t b : e.breaks) {
                Check((b & 0x7F) > previous && (b & 0x7F) < length, "a break outside its entry or out of order");
                previous = b & 0x7F;
            }
            Check(r.rank <= kPhraseNoRank, "a rank beyond a nibble");
            entries.push_back(std::move(e));
        });
        if (!ok) {
            Check(!file.Error().empty(), "a failed walk without a reason");
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const bool throughFile = data[0] & 1;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string pattern;
    const bool withPattern = data[0] & 2;
    if (withPattern) {
        const size_t newline = bytes.find('\n');
        pattern = bytes.substr(0, newline);
        bytes = newline == std::string::npos ? std::string() : bytes.substr(newline + 1);
    }
    CPhraseFile file;
    bool opened;
    if (throughFile) {
        fuzz::Env& env = fuzz::Env::Get();
        env.Write("phrases.gwp", bytes);
        opened = file.Open(env.File("phrases.gwp"));
    } else {
        opened = file.OpenBytes(bytes);
    }
    if (!opened) {
        Check(!file.Error().empty(), "a refused file without a reason");
        return 0;
    }
    if (withPattern) {
        fuzz::Env::Get();  // its sink records the messages of a refused query
        PhrasePattern parts;
        CPhraseQuery query;
        if (SplitPhrasePattern(pattern, parts)) {
            Check(!parts.parts.empty() && parts.breaks.size() + 1 == parts.parts.size(), "a cut without its breaks");
            for (const CString& part : parts.parts)
                Check(!part.empty(), "an empty part");
            if (query.Prepare(false, parts, CString())) {
                int total = 0;
                for (const int n : query.PartLengths())
                    total += n;
                Check(query.PartLengths().empty() || total == query.Length(), "parts that do not add up");
                file.Walk(query.Length(), [&](const PhraseRecord& r) {
                    if (query.BreaksFit(r.breaks, r.nBreaks))
                        (void)query.Matches(r.letters);
                });
            }
        }
        return 0;
    }
    std::vector<PhraseEntry> entries;
    if (!ReadAll(file, entries))
        return 0;
    // Read whole: written again, the same entries come back (each once,
    // sorted, as the writer keeps them).
    CPhraseFile again;
    Check(again.OpenBytes(BuildPhraseFile(entries)), "a rewritten file is refused");
    std::vector<PhraseEntry> reread;
    Check(ReadAll(again, reread), "a rewritten file is damaged");
    // The writer sorts and keeps each entry once: the rewritten list is the
    // read one sorted, duplicates gone (the lowest rank kept).
    std::sort(entries.begin(), entries.end(), [](const PhraseEntry& a, const PhraseEntry& b) {
        const size_t na = a.letters.size();
        const size_t nb = b.letters.size();
        return std::tie(na, a.letters, a.breaks, a.rank) < std::tie(nb, b.letters, b.breaks, b.rank);
    });
    std::vector<PhraseEntry> expected;
    for (const PhraseEntry& e : entries)
        if (expected.empty() || expected.back().letters != e.letters || expected.back().breaks != e.breaks)
            expected.push_back(e);
    Check(reread == expected, "a rewritten file reads back other entries");
    return 0;
}
