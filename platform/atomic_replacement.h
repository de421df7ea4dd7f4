// A new file that takes the place of another in one step, and that no other
// process removes or empties while it is being made.
//
//  - Create opens the new file through CFile's exclusive mode: the lock is
//    taken before the file is truncated, so a second writer is refused and a
//    file that is being written is never emptied under its writer. Only a
//    regular file is accepted (a FIFO or device would swallow the data and
//    then be renamed over the target), and never through a symbolic link.
//  - From then on the lock is held by this object, after the writer has
//    closed the file too, until the file has replaced its target or has been
//    discarded: others see it held and leave it alone.
//  - Replace renames it over the target and syncs the directory: the target
//    is always either the old or the new complete file, and after Replace
//    the new one survives a crash (the writer syncs the file's data first).
//  - CreateBeside makes the new file under a name of its own in the target's
//    folder (so that Replace is one rename), with the target's permissions.
//  - Discard (and the destructor) removes the new file, but only while its
//    name still refers to it; RemoveAbandoned removes a leftover of an
//    earlier run only when nobody holds it and it is still the same file.
#pragma once

#include "platform/cstring.h"
#include "platform/file.h"

class CAtomicReplacement {
public:
    CAtomicReplacement() = default;
    CAtomicReplacement(const CAtomicReplacement&) = delete;
    CAtomicReplacement& operator=(const CAtomicReplacement&) = delete;
    ~CAtomicReplacement() { Discard(); }

    // Opens `file` for writing on `path` as a new, empty regular file and
    // holds it. False (with `file` closed) when that cannot be done.
    bool Create(CFile& file, const CString& path);
    // The same under a new name of its own beside `target`: hidden, unique,
    // with the permissions (and, where allowed, the owner) of an existing
    // target, else those a new file gets. False with the system's reason in
    // nError when no such file can be made.
    bool CreateBeside(CFile& file, const CString& target, int& nError);
    // True from a successful Create until Replace or Discard.
    bool IsHeld() const { return m_nLockFd >= 0; }
    // Renames the held file over `target` and syncs the directory; the hold
    // ends. Throws CFileException when the rename fails (still held then).
    void Replace(const CString& target);
    // Removes the held file while its name still refers to it; the hold ends.
    void Discard();

    // Removes the file at `path` when it is a regular file that nobody holds.
    static void RemoveAbandoned(const CString& path);

private:
    void Release();

    int m_nLockFd = -1;
    CString m_strPath;
};
