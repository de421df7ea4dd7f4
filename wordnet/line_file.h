// CLineFile: one read-only text file of the WordNet database, read with
// pread so that one object can serve any number of lookups without a file
// position, and so that a file that is damaged or shrinks under us shows up
// as short reads rather than as a crash (a memory map would fault instead).
//
// The index files, the exception lists and cntlist.rev are sorted by their
// first field in byte order; FindLine does a binary search over their lines.
// The data files are read by byte offset with LineAt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/read_only_file.h"

// The outcome of a read: a line was found, there is no such line, or the file
// cannot be read or is not what it should be.
enum class WnRead { found, notFound, damaged };

class CLineFile {
public:
    // No line of the database comes near this; a longer one means damage.
    static constexpr size_t kMaxLine = 1 << 18;

    CLineFile() = default;
    CLineFile(const CLineFile&) = delete;
    CLineFile& operator=(const CLineFile&) = delete;
    ~CLineFile();

    // Opens a regular file for reading; false when it is missing, unreadable,
    // not a regular file or larger than any offset of the format can reach.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_file.IsOpen(); }
    int64_t Size() const { return m_nSize; }

    // The line whose first field (the text up to the first blank) is `key`,
    // found by binary search; without its line end.
    WnRead FindLine(std::string_view key, std::string& line) const;
    // The line that starts at byte `offset`, without its line end.
    WnRead LineAt(int64_t offset, std::string& line) const;
    // The whole file; false when it cannot be read or is larger than maxBytes.
    bool ReadAll(std::string& contents, size_t maxBytes) const;

private:
    // Reads up to `count` bytes at `offset` (short at the end of the file).
    bool ReadAt(int64_t offset, char* buffer, size_t count, size_t& got) const;
    // The start of the first line that begins at or after `pos`.
    WnRead LineStartFrom(int64_t pos, int64_t& start) const;
    // The line at `start` and the start of the line after it.
    WnRead ReadLine(int64_t start, std::string& line, int64_t& next) const;

    CReadOnlyFile m_file;
    int64_t m_nSize = 0;
};
