#include "phrases/phrase_search.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_set>

#include "platform/data_dir.h"
#include <sys/stat.h>

#include "search/commonness_table.h"
#include "search/find_words.h"

namespace {

constexpr size_t kRanks = CCommonnessTable::kUnknown + 1;
// What each word of a composition beyond two adds to its order.
constexpr size_t kExtraWordRanks = 2;

// The dictionary words that may stand for one word of a phrase, in
// dictionary order, bucketed by how common they are.
struct PartWords {
    int length = 0;
    std::string flat;  // the words back to back
    std::array<std::vector<uint32_t>, kRanks> byRank;
    const char* Word(uint32_t i) const { return flat.data() + static_cast<size_t>(i) * length; }
};

// Where the words of a phrase may come from: one list per word, and the
// separator shown between them.
struct Shape {
    std::vector<const PartWords*> parts;
    std::vector<char> breaks;
};

// What the letters a word brings to a phrase may be: each letter of `pool`
// once, and at most `spare` others. In an anagram every letter of the word
// counts and the pool is the pattern's letters; in a matching-word search
// only the letters at the part's unknown positions count, and the pool is the
// remaining letters.
struct LetterPool {
    std::array<int, 26> pool{};
    int spare = 0;
    bool Fits(const char* word, const CString& pattern) const {
        std::array<int, 26> used{};
        int left = spare;
        for (size_t i = 0; i < pattern.size(); ++i) {
            if (pattern[i] != '?')
                continue;
            const auto letter = static_cast<size_t>(word[i] - 'A');
            if (++used[letter] > pool[letter] && --left < 0)
                return false;
        }
        return true;
    }
};

LetterPool PoolOf(const CPhraseQuery& query) {
    LetterPool p;
    for (const char c : query.TargetLetters())
        ++p.pool[static_cast<size_t>(c - 'A')];
    int remaining = static_cast<int>(query.TargetLetters().size());
    if (!query.IsAnagram()) {
        for (const char c : query.Pattern())
            if (c != '?') {
                --p.pool[static_cast<size_t>(c - 'A')];
                --remaining;
            }
    }
    p.spare = query.IsAnagram() ? query.Wild() : query.Wild() - remaining;
    return p;
}

// Collects the words of `length` letters that fit `text` as a pattern (or,
// in an anagram, any word) and whose letters the pool can give, ranked by
// the commonness table.
bool CollectPart(CDictionary& dict, CCommonnessTable* table, const CString& text, int length,
                 const CPhraseQuery& query, PartWords& part) {
    part.length = length;
    if (length < 2 || length > dict.GetMaxLength())
        return true;
    int nCount = 0;
    // The part was read as a pattern already: only a block that cannot be
    // sought stops it here, and that is the dictionary's failure.
    if (Status prepared = dict.PrepareSearch(false, text, CString(), false, nCount); !prepared) {
        dict.ReportFailure(prepared);
        return false;
    }
    // The part's own known letters as the dictionary parsed them.
    const CString pattern = dict.GetSearchState().Pattern();
    const LetterPool pool = PoolOf(query);
    const bool bFilter = query.IsAnagram() || !query.AnyLettersFit();
    CString word;
    size_t n = 0;
    while (dict.NextMatch(word, false)) {
        if (bFilter && !pool.Fits(word.data(), pattern))
            continue;
        part.flat += word;
        ++n;
    }
    std::vector<uint8_t> ranks(n, CCommonnessTable::kUnknown);
    if (table && n && !table->RankWords(static_cast<size_t>(length), part.flat.data(), n, ranks.data()))
        std::fill(ranks.begin(), ranks.end(), CCommonnessTable::kUnknown);
    for (size_t i = 0; i < n; ++i)
        part.byRank[ranks[i]].push_back(static_cast<uint32_t>(i));
    return true;
}

// Every word of one length with its rank, decoded once for all the parts
// of that length that a pattern without breaks is cut into.
struct LengthBlock {
    std::string flat;
    std::vector<uint8_t> ranks;
};

class BlockCache {
public:
    BlockCache(CDictionary& dict, CCommonnessTable* table) : m_dict(dict), m_pTable(table) {}

    // The block of `length` letters; null when the search could not start.
    const LengthBlock* Get(int length) {
        auto found = m_blocks.find(length);
        if (found != m_blocks.end())
            return &found->second;
        int nCount = 0;
        if (Status prepared = m_dict.PrepareSearch(false, std::to_string(length), CString(), false, nCount);
            !prepared) {
            m_dict.ReportFailure(prepared);
            return nullptr;
        }
        LengthBlock& block = m_blocks[length];
        block.flat.reserve(static_cast<size_t>(std::max(nCount, 0)) * static_cast<size_t>(length));
        CString word;
        size_t n = 0;
        while (m_dict.NextMatch(word, true)) {
            block.flat += word;
            ++n;
        }
        block.ranks.assign(n, CCommonnessTable::kUnknown);
        if (m_pTable && n &&
            !m_pTable->RankWords(static_cast<size_t>(length), block.flat.data(), n, block.ranks.data()))
            std::fill(block.ranks.begin(), block.ranks.end(), CCommonnessTable::kUnknown);
        return &block;
    }

private:
    CDictionary& m_dict;
    CCommonnessTable* m_pTable;
    std::map<int, LengthBlock> m_blocks;
};

// The words of a cached block that fit `pattern` (capitals and '?', the
// phrase's letters from `at` on, whose squares' sets they must fit too) and
// the pool: a part of a pattern without breaks.
bool CollectPartFromBlock(BlockCache& cache, const CString& pattern, size_t at, const CPhraseQuery& query,
                          PartWords& part) {
    const int length = static_cast<int>(pattern.size());
    part.length = length;
    const LengthBlock* block = cache.Get(length);
    if (!block)
        return false;
    const LetterPool pool = PoolOf(query);
    const bool bFilter = query.IsAnagram() || !query.AnyLettersFit();
    const bool bPositions = !query.IsAnagram();
    const size_t n = block->ranks.size();
    const auto len = static_cast<size_t>(length);
    for (size_t i = 0; i < n; ++i) {
        const char* word = block->flat.data() + i * len;
        bool fits = true;
        if (bPositions)
            for (size_t k = 0; k < len && fits; ++k)
                fits = ((query.SquareMask(at + k) >> (word[k] - 'A')) & 1) != 0;
        if (!fits || (bFilter && !pool.Fits(word, pattern)))
            continue;
        part.flat.append(word, len);
        part.byRank[block->ranks[i]].push_back(static_cast<uint32_t>(part.flat.size() / len - 1));
    }
    return true;
}

// A phrase as its words, whatever separates them: SELF-TAUGHT is listed once,
// not again as SELF TAUGHT.
std::string SameWords(std::string text) {
    std::replace(text.begin(), text.end(), '-', ' ');
    return text;
}

// Walks the combinations of one word from each part, in order of the sum of
// their ranks, testing each against the query.
class Composer {
public:
    Composer(const CPhraseQuery& query, const std::unordered_set<std::string>& listed, size_t cap,
             CFoundPhrases& found)
        : m_query(query), m_listed(listed), m_cap(cap), m_found(found), m_letters(query.Length(), '\0') {}

    // False once the cap or the tries ended the walk.
    bool Walk(const Shape& shape, size_t rankSum) {
        m_shape = &shape;
        m_ranks.assign(shape.parts.size(), 0);
        return ChooseRanks(0, rankSum);
    }

private:
    bool ChooseRanks(size_t part, size_t left) {
        const size_t nParts = m_shape->parts.size();
        if (part + 1 == nParts) {
            if (left >= kRanks)
                return true;
            m_ranks[part] = left;
            return ChooseWords(0, 0);
        }
        for (size_t r = 0; r < kRanks && r <= left; ++r) {
            // The parts after this one can reach at most their top rank each.
            if (left - r > (kRanks - 1) * (nParts - part - 1))
                continue;
            m_ranks[part] = r;
            if (!ChooseRanks(part + 1, left - r))
                return false;
        }
        return true;
    }

    bool ChooseWords(size_t part, size_t at) {
        const PartWords& words = *m_shape->parts[part];
        const std::vector<uint32_t>& bucket = words.byRank[m_ranks[part]];
        const bool last = part + 1 == m_shape->parts.size();
        for (const uint32_t i : bucket) {
            std::copy_n(words.Word(i), words.length, m_letters.begin() + static_cast<ptrdiff_t>(at));
            if (!last) {
                if (!ChooseWords(part + 1, at + static_cast<size_t>(words.length)))
                    return false;
                continue;
            }
            if (++m_nTries > kMaxCompositionTries) {
                m_found.bCut = true;
                return false;
            }
            if (!m_query.AnyLettersFit() && !m_query.Matches(m_letters.data()))
                continue;
            std::string text;
            size_t from = 0;
            for (size_t p = 0; p < m_shape->parts.size(); ++p) {
                if (p)
                    text.push_back(m_shape->breaks[p - 1]);
                const size_t n = static_cast<size_t>(m_shape->parts[p]->length);
                text.append(m_letters, from, n);
                from += n;
            }
            if (m_listed.count(SameWords(text)))
                continue;
            if (m_nFound == m_cap) {
                // One more fits than may be listed.
                m_found.bCut = true;
                return false;
            }
            m_found.phrases.push_back(std::move(text));
            ++m_nFound;
        }
        return true;
    }

    const CPhraseQuery& m_query;
    const std::unordered_set<std::string>& m_listed;
    const size_t m_cap;
    CFoundPhrases& m_found;
    std::string m_letters;
    const Shape* m_shape = nullptr;
    std::vector<size_t> m_ranks;
    size_t m_nTries = 0;
    size_t m_nFound = 0;
};

// The ways to cut `length` letters into `nWords` words of 2 letters or more.
void Splits(int length, int nWords, std::vector<int>& prefix, std::vector<std::vector<int>>& out) {
    if (nWords == 1) {
        if (length >= 2) {
            prefix.push_back(length);
            out.push_back(prefix);
            prefix.pop_back();
        }
        return;
    }
    for (int first = 2; first <= length - 2 * (nWords - 1); ++first) {
        prefix.push_back(first);
        Splits(length - first, nWords - 1, prefix, out);
        prefix.pop_back();
    }
}

void ListEntries(CPhraseFile& file, const CPhraseQuery& query, size_t nMaxListed,
                 std::unordered_set<std::string>& listed, CFoundPhrases& found) {
    const int length = query.Length();
    const bool ok = file.Walk(length, [&](const PhraseRecord& r) {
        if (r.nBreaks == 0 || !query.BreaksFit(r.breaks, r.nBreaks) || !query.Matches(r.letters))
            return;
        PhraseEntry entry;
        entry.letters.assign(r.letters, static_cast<size_t>(length));
        entry.breaks.assign(r.breaks, r.breaks + r.nBreaks);
        std::string text = entry.Text();
        if (!listed.insert(SameWords(text)).second)
            return;
        ++found.nTotal;
        if (found.phrases.size() < nMaxListed) {
            found.phrases.push_back(std::move(text));
            ++found.nEntries;
        }
    });
    if (!ok && found.strError.empty())
        found.strError = file.Error();
}

}  // namespace

void CPhraseSources::Add(const CString& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    auto file = std::make_unique<CPhraseFile>();
    if (file->Open(path))
        m_files.push_back(std::move(file));
    else if (m_strError.empty())
        m_strError = file->Error();
}

std::vector<CPhraseFile*> CPhraseSources::Files() {
    std::vector<CPhraseFile*> files;
    for (const auto& file : m_files)
        files.push_back(file.get());
    return files;
}

CFoundPhrases FindPhrases(CDictionary& dict, const std::vector<CPhraseFile*>& files, const CPhraseQuery& query,
                          const CPhraseSearchOptions& options) {
    CFoundPhrases found;
    std::unordered_set<std::string> listed;
    for (CPhraseFile* file : files)
        ListEntries(*file, query, options.nMaxListed, listed, found);
    if (found.phrases.size() >= options.nMaxListed) {
        found.bCut = true;  // compositions are not even looked for
        return found;
    }

    // The word lengths of each shape: the parts', or every cut of the
    // letters into two words (three when asked).
    std::vector<std::vector<int>> splits;
    const PhrasePattern& parts = query.Parts();
    if (!query.PartLengths().empty()) {
        splits.push_back(query.PartLengths());
    } else {
        std::vector<int> prefix;
        for (int nWords = 2; nWords <= options.nMaxWords; ++nWords)
            Splits(query.Length(), nWords, prefix, splits);
    }
    if (splits.empty())
        return found;

    CCommonnessTable table;
    CCommonnessTable* pTable = table.Open(DataFilePath(kCommonnessTableName)) ? &table : nullptr;
    BlockCache cache(dict, pTable);
    std::vector<std::unique_ptr<PartWords>> lists;
    std::vector<Shape> shapes;
    size_t maxParts = 0;
    for (const std::vector<int>& split : splits) {
        Shape shape;
        int at = 0;
        for (size_t p = 0; p < split.size(); ++p) {
            // In an anagram every letter is pooled: a word's place holds any.
            CString text;
            if (query.IsAnagram())
                text = std::to_string(split[p]);
            else if (!query.PartLengths().empty())
                text = parts.parts[p];
            else
                text = query.Pattern().substr(static_cast<size_t>(at), static_cast<size_t>(split[p]));
            auto words = std::make_unique<PartWords>();
            // Typed parts go to the dictionary's own search as typed; cuts of
            // a pattern without breaks are its known letters and '?'.
            const bool ok = !query.PartLengths().empty()
                                ? CollectPart(dict, pTable, text, split[p], query, *words)
                                : split[p] > dict.GetMaxLength() ||
                                      CollectPartFromBlock(cache, query.IsAnagram() ? CString(split[p], '?') : text,
                                                           static_cast<size_t>(at), query, *words);
            if (!ok)
                return found;
            shape.parts.push_back(words.get());
            lists.push_back(std::move(words));
            if (p)
                shape.breaks.push_back(parts.breaks.empty() ? ' ' : parts.breaks[p - 1]);
            at += split[p];
        }
        maxParts = std::max(maxParts, shape.parts.size());
        shapes.push_back(std::move(shape));
    }

    const size_t cap = std::min(kMaxCompositions, options.nMaxListed - found.phrases.size());
    const size_t before = found.phrases.size();
    Composer composer(query, listed, cap, found);
    // In order of the sum of their words' ranks; a third word counts as two
    // ranks more, so that three very common words do not come before two
    // common ones.
    bool more = true;
    for (size_t order = 0; more && order <= (kRanks - 1 + kExtraWordRanks) * maxParts; ++order)
        for (const Shape& shape : shapes) {
            const size_t extra = kExtraWordRanks * (shape.parts.size() - std::min<size_t>(shape.parts.size(), 2));
            if (order >= extra && !(more = composer.Walk(shape, order - extra)))
                break;
        }
    found.nTotal += static_cast<int64_t>(found.phrases.size() - before);
    return found;
}

CFoundPhrases FindAbbreviations(CPhraseFile& file, const CPhraseQuery& query, bool bCommonFirst, size_t nMaxListed) {
    CFoundPhrases found;
    if (!query.PartLengths().empty())
        return found;
    const int length = query.Length();
    std::vector<std::pair<uint8_t, std::string>> fit;
    const bool ok = file.Walk(length, [&](const PhraseRecord& r) {
        if (r.nBreaks == 0 && query.Matches(r.letters))
            fit.emplace_back(r.rank, std::string(r.letters, static_cast<size_t>(length)));
    });
    if (!ok)
        found.strError = file.Error();
    if (bCommonFirst)
        std::stable_sort(fit.begin(), fit.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    found.nTotal = static_cast<int64_t>(fit.size());
    for (size_t i = 0; i < fit.size() && i < nMaxListed; ++i)
        found.phrases.push_back(std::move(fit[i].second));
    found.nEntries = found.phrases.size();
    return found;
}

CString FormatPhraseCount(const CFoundPhrases& found) {
    if (found.nTotal <= 0)
        return CString();
    CString text = FormatThousands(found.nTotal) + (found.nTotal == 1 ? " phrase" : " phrases");
    if (static_cast<int64_t>(found.phrases.size()) < found.nTotal)
        text = FormatThousands(static_cast<int64_t>(found.phrases.size())) + " of " + text;
    if (found.bCut)
        text += " (more compositions of words fit)";
    return text;
}
