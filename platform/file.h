// CFile and CFileException over POSIX files, with the open and share modes the
// program uses. Failures of Read, Write, Seek, Close, Remove and Rename arrive
// as CFileException; Open reports through its result.
//
// shareExclusive is emulated with an advisory flock taken before anything is
// truncated, so a second writer in another process is refused and a file that
// is being written is never emptied under its writer. Files opened with
// modeCreate are never opened through a symbolic link.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/cstring.h"
#include "platform/file_identity.h"

class CFileException : public std::exception {
public:
    enum Cause { none, generic, fileNotFound, badPath, accessDenied, sharingViolation, diskFull, badSeek, hardIO };

    CFileException(Cause cause, int osError, std::string fileName);
    const char* what() const noexcept override { return m_strWhat.c_str(); }

    Cause m_cause;
    int m_lOsError;
    std::string m_strFileName;

private:
    std::string m_strWhat;
};

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile();
    // Wraps a descriptor that the caller keeps owning (for example stdout).
    explicit CFile(int fdToAttach);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();

    // Opens `path`; on failure fills *pError (when given) and returns false.
    bool Open(const CString& path, unsigned flags, CFileException* pError = nullptr);
    // Reads up to `count` bytes; returns the number read, 0 at the end.
    unsigned Read(void* buffer, unsigned count);
    // Writes all `count` bytes or throws (diskFull when the disk is full).
    void Write(const void* buffer, unsigned count);
    // Moves the file position; returns the new position from the start.
    int64_t Seek(int64_t offset, SeekPosition from);
    // Forces written data to the disk.
    void Flush();
    // Closes the file, throwing when the close reports an error.
    void Close();
    // Closes the file and ignores any error.
    void Abort();
    // Closes the file and removes it from its path, ignoring any error: our
    // own output that is not wanted after all. Only a regular file that this
    // object opened by its path is removed, and only while the path still
    // names it: never a device or pipe, nor a file put in its place since.
    void AbortAndRemove();

    bool IsOpen() const { return m_hFile >= 0; }
    int GetHandle() const { return m_hFile; }
    // True when this object opened (or created) a regular file by its path.
    bool OpenedRegularFile() const { return m_bRegularFile; }

    // True when the two paths name one file: the same file when both exist,
    // or the same place when one does not exist yet.
    static bool IsSameFile(const CString& first, const CString& second);

    static void Remove(const CString& path);
    static void Rename(const CString& oldPath, const CString& newPath);

protected:
    int m_hFile = -1;
    bool m_bCloseOnDelete = false;
    bool m_bRegularFile = false;
    FileIdentity m_identity;  // of the file opened by path
    CString m_strFileName;
};
