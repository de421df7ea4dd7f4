#include "wordnet/line_file.h"

#include <algorithm>
#include <cstring>

namespace {

// Synset offsets have eight digits; a larger file is not a WordNet file.
constexpr int64_t kMaxFileSize = int64_t{1} << 30;
constexpr size_t kChunk = 1024;

}  // namespace

CLineFile::~CLineFile() {
    Close();
}

bool CLineFile::Open(const std::string& path) {
    Close();
    if (!m_file.Open(path))
        return false;
    if (m_file.Size() > kMaxFileSize) {
        m_file.Close();
        return false;
    }
    m_nSize = m_file.Size();
    return true;
}

void CLineFile::Close() {
    m_file.Close();
    m_nSize = 0;
}

bool CLineFile::ReadAt(int64_t offset, char* buffer, size_t count, size_t& got) const {
    got = 0;
    if (!m_file.IsOpen() || offset < 0)
        return false;
    // Nothing past the size seen at open: the binary search's bounds hold
    // even if the file grows meanwhile.
    if (offset >= m_nSize)
        return true;
    count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), m_nSize - offset));
    // A file that shrank gives a short read: its end comes early.
    return m_file.ReadAt(offset, buffer, count, got);
}

WnRead CLineFile::LineStartFrom(int64_t pos, int64_t& start) const {
    if (pos <= 0) {
        start = 0;
        return WnRead::found;
    }
    // The line that holds byte pos - 1 ends at the first line end from there.
    char buffer[kChunk];
    int64_t at = pos - 1;
    size_t scanned = 0;
    for (;;) {
        size_t got = 0;
        if (!ReadAt(at, buffer, sizeof buffer, got))
            return WnRead::damaged;
        if (got == 0) {
            start = m_nSize;
            return WnRead::found;
        }
        if (const void* nl = std::memchr(buffer, '\n', got)) {
            start = at + (static_cast<const char*>(nl) - buffer) + 1;
            return WnRead::found;
        }
        at += static_cast<int64_t>(got);
        scanned += got;
        if (scanned > kMaxLine)
            return WnRead::damaged;
    }
}

WnRead CLineFile::ReadLine(int64_t start, std::string& line, int64_t& next) const {
    line.clear();
    // Most lines (some 200 bytes in the data files) fit the first read; long
    // synsets (a few kB of pointers) take a read or two of growing size.
    std::string buffer(kChunk / 2, '\0');
    int64_t at = start;
    for (;;) {
        size_t got = 0;
        if (!ReadAt(at, buffer.data(), buffer.size(), got))
            return WnRead::damaged;
        if (got == 0) {
            next = at;  // the last line has no line end
            return WnRead::found;
        }
        const void* nl = std::memchr(buffer.data(), '\n', got);
        const size_t used = nl ? static_cast<size_t>(static_cast<const char*>(nl) - buffer.data()) : got;
        if (line.size() + used > kMaxLine)
            return WnRead::damaged;
        line.append(buffer.data(), used);
        if (nl) {
            next = at + static_cast<int64_t>(used) + 1;
            return WnRead::found;
        }
        at += static_cast<int64_t>(got);
        if (buffer.size() < kMaxLine)
            buffer.resize(buffer.size() * 2);
    }
}

WnRead CLineFile::FindLine(std::string_view key, std::string& line) const {
    if (!m_file.IsOpen())
        return WnRead::damaged;
    // Invariant: every line that starts before lo has a smaller first field,
    // every line that starts at or after hi a larger one; lo is a line start.
    // Each round moves lo up or hi down by at least half the distance, so the
    // search ends whatever order the file's lines are in.
    int64_t lo = 0;
    int64_t hi = m_nSize;
    std::string candidate;
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        int64_t start = 0;
        if (LineStartFrom(mid, start) == WnRead::damaged)
            return WnRead::damaged;
        if (start >= hi) {
            hi = mid;
            continue;
        }
        int64_t next = 0;
        if (ReadLine(start, candidate, next) == WnRead::damaged)
            return WnRead::damaged;
        const std::string_view field = std::string_view(candidate).substr(0, candidate.find(' '));
        const int order = field.compare(key);
        if (order == 0) {
            line.swap(candidate);
            return WnRead::found;
        }
        if (order < 0)
            lo = next;
        else
            hi = start;
    }
    return WnRead::notFound;
}

WnRead CLineFile::LineAt(int64_t offset, std::string& line) const {
    if (!m_file.IsOpen() || offset < 0 || offset >= m_nSize)
        return WnRead::damaged;
    int64_t next = 0;
    return ReadLine(offset, line, next);
}

bool CLineFile::ReadAll(std::string& contents, size_t maxBytes) const {
    contents.clear();
    if (!m_file.IsOpen() || static_cast<uint64_t>(m_nSize) > maxBytes)
        return false;
    contents.resize(static_cast<size_t>(m_nSize));
    size_t got = 0;
    if (!ReadAt(0, contents.data(), contents.size(), got))
        return false;
    contents.resize(got);
    return true;
}
