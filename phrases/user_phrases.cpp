#include "phrases/user_phrases.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
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
    // A chunk of the list at a time, and only the lines with a blank or a
    // hyphen parsed: a list of single words (most lists) costs one scan for
    // each of the two. The chunk's last line, cut by its end, starts the next.
    std::vector<PhraseEntry> entries;
    const auto scan = [&entries](const char* first, const char* last) {
        const auto next = [last](const char* from, char c) {
            const void* at = from < last ? std::memchr(from, c, static_cast<size_t>(last - from)) : nullptr;
            return at ? static_cast<const char*>(at) : last;
        };
        const char* blank = next(first, ' ');
        const char* hyphen = next(first, '-');
        while (blank < last || hyphen < last) {
            const char* mark = std::min(blank, hyphen);
            const char* lineStart = mark;
            while (lineStart > first && lineStart[-1] != '\n')
                --lineStart;
            const char* lineEnd = next(mark, '\n');
            PhraseEntry entry;
            if (ParseUserLine(std::string(lineStart, lineEnd), entry))
                entries.push_back(std::move(entry));
            if (blank < lineEnd)
                blank = next(lineEnd, ' ');
            if (hyphen < lineEnd)
                hyphen = next(lineEnd, '-');
        }
    };
    constexpr size_t kChunk = 1 << 20;
    std::vector<char> buffer(kChunk);
    size_t carried = 0;  // bytes of a cut line at the buffer's start
    for (;;) {
        if (carried == buffer.size())
            buffer.resize(buffer.size() * 2);  // one line longer than a chunk
        in.read(buffer.data() + carried, static_cast<std::streamsize>(buffer.size() - carried));
        const size_t filled = carried + static_cast<size_t>(in.gcount());
        if (in.gcount() == 0) {
            scan(buffer.data(), buffer.data() + filled);  // the last line, without a break
            break;
        }
        const char* const begin = buffer.data();
        const char* end = begin + filled;
        while (end > begin && end[-1] != '\n')
            --end;
        if (end == begin) {
            carried = filled;
            continue;
        }
        scan(begin, end);
        carried = filled - static_cast<size_t>(end - begin);
        std::memmove(buffer.data(), end, carried);
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
