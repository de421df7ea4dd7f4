#include "platform/atomic_replacement.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

#include "platform/file_identity.h"

bool CAtomicReplacement::Create(CFile& file, const CString& path) {
    Discard();
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary) ||
        !file.OpenedRegularFile()) {
        file.Abort();
        return false;
    }
    // A second descriptor of the same open file keeps the lock after the
    // writer closes its own.
    m_nLockFd = ::fcntl(file.GetHandle(), F_DUPFD_CLOEXEC, 0);
    if (m_nLockFd < 0) {
        file.AbortAndRemove();
        return false;
    }
    m_strPath = path;
    return true;
}

void CAtomicReplacement::Replace(const CString& target) {
    CFile::Rename(m_strPath, target);
    std::filesystem::path dir = std::filesystem::path(target).parent_path();
    if (dir.empty())
        dir = ".";
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    Release();
}

void CAtomicReplacement::Discard() {
    if (m_nLockFd < 0)
        return;
    if (PathNames(m_strPath, IdentityOfOpenFile(m_nLockFd))) {
        try {
            CFile::Remove(m_strPath);
        } catch (const CFileException&) {
            // Nothing to report: the next run removes it as a leftover.
        }
    }
    Release();
}

void CAtomicReplacement::Release() {
    if (m_nLockFd >= 0)
        ::close(m_nLockFd);
    m_nLockFd = -1;
    m_strPath.clear();
}

void CAtomicReplacement::RemoveAbandoned(const CString& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    const FileIdentity id = IdentityOfOpenFile(fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && id.regular && PathNames(path, id)) {
        try {
            CFile::Remove(path);
        } catch (const CFileException&) {
            // Nothing to report: the file stays for a later attempt.
        }
    }
    ::close(fd);
}
