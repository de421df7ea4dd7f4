#include "platform/atomic_replacement.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
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

namespace {

// Six letters that differ from call to call and from process to process.
CString UniqueSuffix() {
    static std::atomic<uint64_t> counter{0};
    uint64_t x = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    x ^= static_cast<uint64_t>(::getpid()) << 32;
    x += ++counter * 0x9E3779B97F4A7C15u;
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9u;
    x ^= x >> 32;
    CString suffix;
    for (int i = 0; i < 6; ++i, x /= 36)
        suffix += "abcdefghijklmnopqrstuvwxyz0123456789"[x % 36];
    return suffix;
}

}  // namespace

bool CAtomicReplacement::CreateBeside(CFile& file, const CString& target, int& nError) {
    Discard();
    const std::filesystem::path path(target);
    const std::filesystem::path dir = path.parent_path();
    struct stat old {};
    const bool bReplacing = ::stat(target.c_str(), &old) == 0;
    const mode_t mode = bReplacing ? (old.st_mode & 0777) : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const CString name = (dir / ("." + path.filename().string() + "." + UniqueSuffix())).string();
        // The name is taken with O_EXCL, so it is nobody else's file.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            nError = errno;
            return false;
        }
        if (bReplacing) {
            // The umask may have narrowed the mode; the owner is kept where
            // the system lets us (as the file's owner, or as root).
            if (::fchown(fd, old.st_uid, old.st_gid) != 0)
                (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
            (void)::fchmod(fd, mode);
        }
        ::close(fd);
        if (!Create(file, name)) {
            nError = errno ? errno : EIO;
            ::unlink(name.c_str());
            return false;
        }
        return true;
    }
    nError = EEXIST;
    return false;
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
