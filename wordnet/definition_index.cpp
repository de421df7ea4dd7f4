#include "wordnet/definition_index.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "wordnet/clue_text.h"
#include "wordnet/morphology.h"

namespace {

constexpr std::string_view kHeader = "!gridwell-definitions";
constexpr std::string_view kOffensiveKey = "!offensive";
// The data files are some 15 MB at most; anything far larger is not one.
constexpr size_t kMaxDataFile = 64u << 20;

bool IsWord(std::string_view word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The fields after the key of a line.
std::string_view AfterKey(std::string_view line) {
    const size_t blank = line.find(' ');
    return blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
}

template <typename F>
bool ForEachField(std::string_view fields, F&& f) {
    size_t i = 0;
    while (i < fields.size()) {
        if (fields[i] == ' ') {
            ++i;
            continue;
        }
        const size_t end = std::min(fields.find(' ', i), fields.size());
        if (!f(fields.substr(i, end - i)))
            return false;
        i = end;
    }
    return true;
}

}  // namespace

bool ParsePostings(std::string_view fields, std::vector<WnSynsetRef>& refs) {
    refs.clear();
    return ForEachField(fields, [&](std::string_view field) {
        WnSynsetRef ref;
        if (field.size() != 9 || field[0] == 's' || !WnPosFromCode(field[0], ref.pos) || refs.size() >= CDefinitionIndex::kMaxPostings)
            return false;
        uint32_t offset = 0;
        for (size_t i = 1; i < 9; ++i) {
            if (field[i] < '0' || field[i] > '9')
                return false;
            offset = offset * 10 + static_cast<uint32_t>(field[i] - '0');
        }
        ref.offset = offset;
        refs.push_back(ref);
        return true;
    });
}

bool ParseWordList(std::string_view fields, std::vector<std::string>& words) {
    words.clear();
    return ForEachField(fields, [&](std::string_view field) {
        if (!IsWord(field) || field.size() > 255)
            return false;
        words.emplace_back(field);
        return true;
    });
}

bool CDefinitionIndex::Open(const std::string& path) {
    m_nSynsets = 0;
    m_offensive.clear();
    if (!m_file.Open(path))
        return false;
    std::string line;
    uint32_t nSynsets = 0;
    bool bGood = m_file.FindLine(kHeader, line) == WnRead::found;
    if (bGood) {
        // "1 SYNSETS"
        const std::string_view fields = AfterKey(line);
        bGood = fields.substr(0, 2) == "1 " && fields.size() > 2 && fields.size() < 12;
        for (size_t i = 2; bGood && i < fields.size(); ++i) {
            bGood = fields[i] >= '0' && fields[i] <= '9';
            nSynsets = nSynsets * 10 + static_cast<uint32_t>(fields[i] - '0');
        }
    }
    std::vector<std::string> offensive;
    if (bGood) {
        const WnRead read = m_file.FindLine(kOffensiveKey, line);
        bGood = read == WnRead::notFound || (read == WnRead::found && ParseWordList(AfterKey(line), offensive));
    }
    if (!bGood || nSynsets == 0) {
        m_file.Close();
        return false;
    }
    m_nSynsets = nSynsets;
    m_offensive.insert(offensive.begin(), offensive.end());
    return true;
}

WnRead CDefinitionIndex::Postings(std::string_view word, std::vector<WnSynsetRef>& refs) const {
    refs.clear();
    if (!IsOpen())
        return WnRead::damaged;
    if (!IsWord(word) || word.size() > 255)
        return WnRead::notFound;
    std::string line;
    const WnRead read = m_file.FindLine(word, line);
    if (read != WnRead::found)
        return read;
    return ParsePostings(AfterKey(line), refs) ? WnRead::found : WnRead::damaged;
}

WnRead CDefinitionIndex::Completions(std::string_view phrase, std::vector<std::string>& words) const {
    words.clear();
    if (!IsOpen())
        return WnRead::damaged;
    if (phrase.empty() || phrase.size() > 512 || phrase.find(' ') != std::string_view::npos)
        return WnRead::notFound;
    std::string line;
    const WnRead read = m_file.FindLine("=" + std::string(phrase), line);
    if (read != WnRead::found)
        return read;
    return ParseWordList(AfterKey(line), words) ? WnRead::found : WnRead::damaged;
}

bool IsOffensiveSynset(const WnSynset& synset, const std::vector<uint32_t>& offensiveDomains) {
    for (const char* marker : {"ethnic slur", "offensive term", "offensive name", "offensive word", "obscene term",
                               "obscene word", "(obscene", "vulgar term", "(vulgar", "derogatory term",
                               "disparaging term"})
        if (synset.gloss.find(marker) != std::string::npos)
            return true;
    for (const WnPointer& pointer : synset.pointers)
        if (pointer.symbol == ";u" && pointer.pos == kWnNoun &&
            std::find(offensiveDomains.begin(), offensiveDomains.end(), pointer.offset) != offensiveDomains.end())
            return true;
    return false;
}

WnRead OffensiveDomains(const CWordNet& db, std::vector<uint32_t>& offsets) {
    offsets.clear();
    for (const char* lemma : {"ethnic_slur", "obscenity", "vulgarism", "disparagement", "dirty_word"}) {
        WnIndexEntry entry;
        const WnRead read = db.FindIndex(kWnNoun, lemma, entry);
        if (read == WnRead::damaged)
            return read;
        if (read == WnRead::found)
            offsets.insert(offsets.end(), entry.offsets.begin(), entry.offsets.end());
    }
    return WnRead::found;
}

std::vector<std::string> GlossWords(std::string_view gloss) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < gloss.size()) {
        const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
        if (!letter(gloss[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        std::string word;
        while (j < gloss.size() && letter(gloss[j]))
            word += static_cast<char>(gloss[j] >= 'a' ? gloss[j] : gloss[j] - 'A' + 'a'), ++j;
        i = j;
        if (word.size() >= 2 && !IsFunctionWord(word))
            words.push_back(std::move(word));
    }
    return words;
}

namespace {

// Reads the whole WordNet file `name` of `dir` and hands on each line but
// the licence text at the top (whose lines start with blanks); false when
// the file cannot be read or `f` refuses a line.
template <typename F>
bool ForEachLine(const std::string& dir, const std::string& name, F&& f) {
    CLineFile file;
    std::string text;
    if (!file.Open(dir + "/" + name) || !file.ReadAll(text, kMaxDataFile))
        return false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (!line.empty() && line[0] != ' ' && !f(line))
            return false;
    }
    return true;
}

// Reads every line of a data file and hands on each synset.
template <typename F>
bool ForEachSynset(const std::string& dir, WnPos pos, F&& f) {
    WnSynset synset;
    return ForEachLine(dir, std::string("data.") + WnPosName(pos), [&](std::string_view line) {
        if (!ParseDataLine(line, pos, synset))
            return false;
        f(synset);
        return true;
    });
}

// The lemmas of each part of speech, read from the index files.
bool ReadLemmas(const std::string& dir, WnPos pos, std::unordered_set<std::string>& lemmas) {
    return ForEachLine(dir, std::string("index.") + WnPosName(pos), [&](std::string_view line) {
        lemmas.emplace(line.substr(0, line.find(' ')));
        return true;
    });
}

}  // namespace

bool WriteDefinitionIndex(const std::string& dir, const std::string& path, std::string& error) {
    CWordNet db;
    if (db.Open(dir) != WnStatus::ok) {
        error = "cannot open the WordNet database in " + dir;
        return false;
    }
    std::unordered_set<std::string> lemmas[kWnPosCount];
    for (int p = 0; p < kWnPosCount; ++p)
        if (!ReadLemmas(dir, static_cast<WnPos>(p), lemmas[p])) {
            error = "cannot read the index files in " + dir;
            return false;
        }
    std::vector<uint32_t> domains;
    if (OffensiveDomains(db, domains) != WnRead::found) {
        error = "cannot read the index files in " + dir;
        return false;
    }
    // A gloss word's keys: the word and its base form in each part of speech,
    // found as WordNet's morphology finds them.
    std::unordered_map<std::string, std::vector<std::string>> keysOf;
    const auto keys = [&](const std::string& word) -> const std::vector<std::string>& {
        auto [it, added] = keysOf.try_emplace(word);
        if (added) {
            it->second.push_back(word);
            for (int p = 0; p < kWnPosCount; ++p) {
                const WnPos pos = static_cast<WnPos>(p);
                std::vector<std::string> bases;
                if (const std::vector<std::string>* exceptions = db.Exceptions(pos, word))
                    bases = *exceptions;
                else
                    for (const WnRuleResult& result : DetachmentResults(pos, word))
                        if (lemmas[p].count(result.lookup)) {
                            bases.push_back(result.base);
                            break;
                        }
                for (std::string& base : bases)
                    if (IsWord(base) && std::find(it->second.begin(), it->second.end(), base) == it->second.end())
                        it->second.push_back(std::move(base));
            }
        }
        return it->second;
    };

    std::map<std::string, std::vector<WnSynsetRef>> postings;
    // Per word: its senses, and how many of them are marked offensive.
    std::map<std::string, std::pair<int, int>> senses;
    uint32_t nSynsets = 0;
    for (int p = 0; p < kWnPosCount; ++p) {
        const WnPos pos = static_cast<WnPos>(p);
        const bool read = ForEachSynset(dir, pos, [&](const WnSynset& synset) {
            const bool bOffensive = IsOffensiveSynset(synset, domains);
            for (const WnSynsetWord& word : synset.words)
                if (const std::string lower = WnLower(word.text); IsWord(lower)) {
                    ++senses[lower].first;
                    senses[lower].second += bOffensive;
                }
            if (bOffensive)
                return;
            if (std::none_of(synset.words.begin(), synset.words.end(),
                             [](const WnSynsetWord& w) { return IsWord(WnLower(w.text)); }))
                return;
            ++nSynsets;
            for (const std::string& word : GlossWords(synset.gloss))
                for (const std::string& key : keys(word)) {
                    std::vector<WnSynsetRef>& refs = postings[key];
                    if (refs.empty() || !(refs.back() == WnSynsetRef{pos, synset.offset}))
                        refs.push_back({pos, synset.offset});
                }
        });
        if (!read) {
            error = std::string("cannot read data.") + WnPosName(pos) + " in " + dir;
            return false;
        }
    }
    // Entries of several words with one word left out.
    std::map<std::string, std::set<std::string>> blanks;
    for (int p = 0; p < kWnPosCount; ++p)
        for (const std::string& lemma : lemmas[p]) {
            std::vector<std::string> parts;
            size_t at = 0;
            for (;;) {
                const size_t end = lemma.find_first_of("_-", at);
                parts.push_back(lemma.substr(at, end == std::string::npos ? std::string::npos : end - at));
                if (end == std::string::npos)
                    break;
                at = end + 1;
            }
            if (parts.size() < 2 || parts.size() > 5 || !std::all_of(parts.begin(), parts.end(), IsWord))
                continue;
            for (size_t k = 0; k < parts.size(); ++k) {
                if (parts[k].size() < 2)
                    continue;
                std::string key = "=";
                for (size_t m = 0; m < parts.size(); ++m)
                    key += (m ? "_" : "") + (m == k ? std::string("?") : parts[m]);
                blanks[key].insert(parts[k]);
            }
        }

    std::map<std::string, std::string> lines;
    lines[std::string(kHeader)] = "1 " + std::to_string(nSynsets);
    {
        std::string words;
        // Only words that WordNet knows in no other sense: "chink" (a narrow
        // opening) stays an ordinary word; the scorer still puts it last when
        // only its offensive sense relates it to the clue.
        for (const auto& [word, counts] : senses)
            if (counts.second == counts.first)
                words += (words.empty() ? "" : " ") + word;
        if (!words.empty())
            lines[std::string(kOffensiveKey)] = words;
    }
    for (const auto& [key, refs] : postings) {
        if (refs.size() > CDefinitionIndex::kMaxPostings)
            continue;
        std::string fields;
        fields.reserve(refs.size() * 10);
        for (const WnSynsetRef& ref : refs) {
            char field[16];
            std::snprintf(field, sizeof field, "%s%c%08u", fields.empty() ? "" : " ", "nvar"[ref.pos], ref.offset);
            fields += field;
        }
        lines[key] = std::move(fields);
    }
    for (const auto& [key, words] : blanks) {
        std::string fields;
        for (const std::string& word : words)
            fields += (fields.empty() ? "" : " ") + word;
        lines[key] = std::move(fields);
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!out) {
        error = "cannot create " + path;
        return false;
    }
    for (const auto& [key, fields] : lines)
        std::fprintf(out.get(), "%s %s\n", key.c_str(), fields.c_str());
    if (std::fflush(out.get()) != 0 || std::ferror(out.get())) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
