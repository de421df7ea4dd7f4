#include "phrases/user_phrases.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "phrases/phrase_file.h"

namespace {

constexpr int kMaxUserWords = 4;

// Words of letters separated by single spaces or hyphens (an underscore is
// WordNet's spelling, not a word list's).
bool ParseUserLine(std::string line, PhraseEntry& entry) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.find('_') != std::string::npos || !ParsePhraseText(line, entry, 2))
        return false;
    return entry.breaks.size() + 1 <= kMaxUserWords;
}

}  // namespace

long WriteUserPhrases(const CString& textPath, const CString& phrasePath, std::string& error) {
    std::ifstream in(textPath, std::ios::binary);
    if (!in) {
        error = textPath + ": " + std::strerror(errno);
        return -1;
    }
    std::vector<PhraseEntry> entries;
    std::string line;
    while (std::getline(in, line)) {
        PhraseEntry entry;
        if (ParseUserLine(line, entry))
            entries.push_back(std::move(entry));
    }
    if (in.bad()) {
        error = textPath + ": cannot be read";
        return -1;
    }
    if (entries.empty()) {
        if (std::remove(phrasePath.c_str()) != 0 && errno != ENOENT) {
            error = phrasePath + ": " + std::strerror(errno);
            return -1;
        }
        return 0;
    }
    const long count = static_cast<long>(entries.size());
    const std::string bytes = BuildPhraseFile(std::move(entries));
    const CString temp = phrasePath + ".tmp";
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = (out && std::fclose(out) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), phrasePath.c_str()) != 0) {
        error = phrasePath + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return -1;
    }
    return count;
}
