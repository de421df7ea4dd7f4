#include "wordnet/wordnet_db.h"

#include <cstdlib>

namespace {

// The exception lists are some 40 kB each; anything far larger is not one.
constexpr size_t kMaxExceptionFile = 16u << 20;
// Lookup keys longer than any lemma of the database are never in it.
constexpr size_t kMaxKey = 512;

bool UsableKey(std::string_view key) {
    if (key.empty() || key.size() > kMaxKey)
        return false;
    for (const char c : key)
        if (static_cast<unsigned char>(c) <= ' ')
            return false;
    return true;
}

// Each line: an inflected form, then one or more base forms.
void ParseExceptions(const std::string& text, std::unordered_map<std::string, std::vector<std::string>>& map) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        std::vector<std::string> fields;
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\r'))
                ++i;
            size_t j = i;
            while (j < line.size() && line[j] != ' ' && line[j] != '\r')
                ++j;
            if (j > i)
                fields.emplace_back(line.substr(i, j - i));
            i = j;
        }
        if (fields.size() < 2)
            continue;
        std::vector<std::string>& bases = map[fields[0]];
        for (size_t k = 1; k < fields.size(); ++k)
            bases.push_back(std::move(fields[k]));
    }
}

}  // namespace

CString CWordNet::SearchDir() {
    const char* dir = std::getenv("WNSEARCHDIR");
    return (dir && *dir) ? CString(dir) : CString(kDefaultDir);
}

WnStatus CWordNet::Open(const CString& dir) {
    m_bOpen = false;
    for (int p = 0; p < kWnPosCount; ++p) {
        const std::string name = WnPosName(static_cast<WnPos>(p));
        if (!m_index[p].Open(dir + "/index." + name) || !m_data[p].Open(dir + "/data." + name))
            return WnStatus::missing;
        CLineFile exceptions;
        if (!exceptions.Open(dir + "/" + name + ".exc"))
            return WnStatus::missing;
        std::string text;
        if (!exceptions.ReadAll(text, kMaxExceptionFile))
            return WnStatus::damaged;
        m_exceptions[p].clear();
        ParseExceptions(text, m_exceptions[p]);
    }
    // The counts only add the "(18)" before a sense; the database works without.
    if (!m_counts.Open(dir + "/cntlist.rev"))
        m_counts.Close();
    m_bOpen = true;
    return WnStatus::ok;
}

WnRead CWordNet::FindIndex(WnPos pos, std::string_view lemma, WnIndexEntry& entry) const {
    if (!m_bOpen)
        return WnRead::damaged;
    if (!UsableKey(lemma))
        return WnRead::notFound;
    std::string line;
    const WnRead read = m_index[pos].FindLine(lemma, line);
    if (read != WnRead::found)
        return read;
    return ParseIndexLine(line, pos, entry) ? WnRead::found : WnRead::damaged;
}

WnRead CWordNet::IsDefined(WnPos pos, std::string_view lemma) const {
    WnIndexEntry entry;
    return FindIndex(pos, lemma, entry);
}

WnRead CWordNet::ReadSynset(WnPos pos, uint32_t offset, WnSynset& synset) const {
    if (!m_bOpen)
        return WnRead::damaged;
    std::string line;
    if (m_data[pos].LineAt(offset, line) != WnRead::found)
        return WnRead::damaged;
    if (!ParseDataLine(line, pos, synset) || synset.offset != offset)
        return WnRead::damaged;
    return WnRead::found;
}

const std::vector<std::string>* CWordNet::Exceptions(WnPos pos, std::string_view word) const {
    if (!m_bOpen)
        return nullptr;
    const auto it = m_exceptions[pos].find(std::string(word));
    return it == m_exceptions[pos].end() ? nullptr : &it->second;
}

int CWordNet::TagCount(std::string_view senseKey) const {
    if (!m_bOpen || !m_counts.IsOpen() || !UsableKey(senseKey))
        return 0;
    // sense_key sense_number tag_cnt
    std::string line;
    if (m_counts.FindLine(senseKey, line) != WnRead::found)
        return 0;
    const size_t last = line.find_last_not_of(' ');
    const size_t blank = line.find_last_of(' ', last);
    if (last == std::string::npos || blank == std::string::npos)
        return 0;
    int count = 0;
    for (size_t i = blank + 1; i <= last; ++i) {
        if (line[i] < '0' || line[i] > '9' || count > 100000000)
            return 0;
        count = count * 10 + (line[i] - '0');
    }
    return count;
}
