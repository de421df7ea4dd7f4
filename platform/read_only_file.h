// CReadOnlyFile: a regular file opened for reads at given offsets (pread).
// It keeps no file position, so one object serves any number of lookups, and
// a file that shrinks under it shows as short reads rather than as a crash
// (a memory map would fault instead). Data files such as the commonness table
// and the WordNet database are read through it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cstring.h"

class CReadOnlyFile {
public:
    CReadOnlyFile() = default;
    CReadOnlyFile(const CReadOnlyFile&) = delete;
    CReadOnlyFile& operator=(const CReadOnlyFile&) = delete;
    ~CReadOnlyFile();

    // Opens a regular file without blocking (a FIFO or device in its place
    // cannot hang the open, and is refused); false with Error() telling why.
    bool Open(const CString& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    // The file's size when it was opened.
    int64_t Size() const { return m_nSize; }

    // Reads up to `count` bytes at `offset`; `got` is short only where the
    // file ends. False on a read error, with Error() telling why.
    bool ReadAt(int64_t offset, void* buffer, size_t count, size_t& got) const;

    // Why the last Open or ReadAt failed, in the system's words.
    const CString& Error() const { return m_strError; }

private:
    int m_fd = -1;
    int64_t m_nSize = 0;
    mutable CString m_strError;
};
