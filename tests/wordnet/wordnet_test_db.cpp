#include "tests/wordnet/wordnet_test_db.h"

#include <fstream>

namespace {

constexpr const char* kHeader = "  1 A test database in the layout of WordNet 3.0.  \n  2   \n";

std::string Lemma(const std::string& word) {
    std::string lemma = WnLower(word);
    const size_t paren = lemma.find('(');
    return paren == std::string::npos ? lemma : lemma.substr(0, paren);
}

}  // namespace

std::map<std::string, std::string> CTestWordNet::Files(std::map<std::string, uint32_t>* pOffsets) const {
    std::map<std::string, uint32_t> offsets;
    std::string data[kWnPosCount];
    // Lines have the same length whatever the offsets are (eight digits each),
    // so one pass with zeros gives the offsets and a second writes them.
    for (int pass = 0; pass < 2; ++pass) {
        for (auto& text : data)
            text = kHeader;
        for (const TestSynset& s : m_synsets) {
            std::string& text = data[s.pos];
            if (pass == 0)
                offsets[s.name] = static_cast<uint32_t>(text.size());
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%08u %02d %c %02zx ", offsets[s.name], s.nLexFile, s.ssType,
                          s.words.size());
            std::string line = buffer;
            for (const std::string& w : s.words)
                line += w + " 0 ";
            std::snprintf(buffer, sizeof buffer, "%03zu", s.pointers.size());
            line += buffer;
            for (const TestPointer& p : s.pointers) {
                char code = 'n';
                for (const TestSynset& t : m_synsets)
                    if (t.name == p.target)
                        code = t.ssType == 's' ? 'a' : t.ssType;
                std::snprintf(buffer, sizeof buffer, " %s %08u %c %02x%02x", p.symbol.c_str(),
                              pass ? offsets.at(p.target) : 0u, code, p.nSource, p.nTarget);
                line += buffer;
            }
            if (s.pos == kWnVerb)
                line += " 01 + 02 00";
            line += " | " + s.gloss + "  \n";
            text += line;
        }
    }
    std::map<std::string, std::string> files;
    for (int p = 0; p < kWnPosCount; ++p) {
        const WnPos pos = static_cast<WnPos>(p);
        std::map<std::string, std::vector<std::string>> senses;
        for (const TestSynset& s : m_synsets)
            if (s.pos == pos)
                for (const std::string& w : s.words)
                    senses[Lemma(w)].push_back(s.name);
        std::string index = kHeader;
        const char posCode = "nvar"[p];
        for (const auto& [lemma, names] : senses) {
            const auto tagged = m_tagged.find({pos, lemma});
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%s %c %zu 1 @ %zu %d", lemma.c_str(), posCode, names.size(),
                          names.size(), tagged == m_tagged.end() ? 0 : tagged->second);
            index += buffer;
            for (const std::string& name : names) {
                std::snprintf(buffer, sizeof buffer, " %08u", offsets.at(name));
                index += buffer;
            }
            index += "  \n";
        }
        const std::string name = WnPosName(pos);
        files["index." + name] = index;
        files["data." + name] = data[p];
        files[name + ".exc"] = exceptions[p];
    }
    files["cntlist.rev"] = counts;
    if (pOffsets)
        *pOffsets = offsets;
    return files;
}

std::map<std::string, uint32_t> CTestWordNet::WriteTo(const std::string& dir) const {
    std::map<std::string, uint32_t> offsets;
    for (const auto& [name, text] : Files(&offsets)) {
        std::ofstream out(dir + "/" + name, std::ios::binary);
        out << text;
    }
    return offsets;
}

CTestWordNet SampleWordNet() {
    CTestWordNet db;
    db.Add({"cat", kWnNoun, 'n', 5, {"cat", "true_cat"}, {{"@", "feline"}}, "feline mammal; \"cats purr\""});
    db.Add({"guy", kWnNoun, 'n', 18, {"guy", "cat", "hombre"}, {}, "an informal term for a youth or man"});
    db.Add({"feline", kWnNoun, 'n', 5, {"feline", "felid"}, {{"~", "cat"}, {"~", "bigcat"}}, "any of various lithe-bodied carnivores"});
    db.Add({"bigcat", kWnNoun, 'n', 5, {"big_cat", "cat"}, {{"@", "feline"}}, "any of several large cats"});
    db.Add({"rock", kWnNoun, 'n', 17, {"rock", "stone"}, {{"~", "pebble"}, {"+", "stonev", 2, 1}}, "a lump of hard matter"});
    db.Add({"pebble", kWnNoun, 'n', 17, {"pebble"}, {{"@", "rock"}}, "a small smooth rounded rock"});
    db.Add({"goose", kWnNoun, 'n', 5, {"goose"}, {}, "web-footed bird"});
    db.Add({"glass", kWnNoun, 'n', 6, {"glass", "drinking_glass"}, {}, "a container for drinking"});
    db.Add({"boss", kWnNoun, 'n', 18, {"boss", "foreman"}, {}, "a person who exercises control"});
    db.Add({"bos", kWnNoun, 'n', 5, {"Bos", "genus_Bos"}, {}, "wild and domestic cattle"});
    db.Add({"handful", kWnNoun, 'n', 23, {"handful", "fistful"}, {}, "the quantity a hand can hold"});
    db.Add({"hand", kWnNoun, 'n', 8, {"hand", "manus"}, {}, "the end of the arm"});
    db.Add({"run", kWnVerb, 'v', 38, {"run"}, {}, "move fast by using one's feet"});
    db.Add({"stonev", kWnVerb, 'v', 35, {"stone", "lapidate"}, {{"+", "rock", 1, 2}}, "kill by throwing stones at"});
    db.Add({"rockv", kWnVerb, 'v', 38, {"rock", "sway", "shake"}, {}, "move back and forth"});
    db.Add({"fine", kWnVerb, 'v', 40, {"fine"}, {}, "issue a fine"});
    db.Add({"fin", kWnVerb, 'v', 38, {"fin"}, {}, "propel oneself through the water"});
    db.Add({"felinea", kWnAdj, 'a', 0, {"feline", "catlike"}, {}, "of or relating to cats"});
    db.Add({"afraid", kWnAdj, 'a', 0, {"afraid(p)"}, {}, "filled with fear"});
    db.Add({"scared", kWnAdj, 's', 0, {"scared", "frightened"}, {{"&", "afraid"}}, "made afraid"});
    db.Add({"galore", kWnAdj, 's', 0, {"galore(ip)"}, {{"&", "afraid"}}, "in great numbers"});
    db.SetTagged(kWnNoun, "cat", 1);
    db.SetTagged(kWnAdj, "scared", 1);
    db.exceptions[kWnNoun] = "geese goose\nmice mouse\n";
    db.exceptions[kWnVerb] = "ran run\nstoning stone\n";
    db.exceptions[kWnAdj] = "";
    db.exceptions[kWnAdv] = "";
    db.counts = "cat%1:05:00:: 1 18\nscared%5:00:00:afraid:00 1 7\n";
    return db;
}
