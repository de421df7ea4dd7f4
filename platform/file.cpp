#include "platform/file.h"

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_faults.h"
#include "platform/file_identity.h"

namespace {

CFileException::Cause CauseFromErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return CFileException::fileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return CFileException::accessDenied;
    case EWOULDBLOCK:
        return CFileException::sharingViolation;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return CFileException::diskFull;
    case ELOOP:
    case ENAMETOOLONG:
        return CFileException::badPath;
    case EINVAL:
    case ESPIPE:
        return CFileException::badSeek;
    case EIO:
        return CFileException::hardIO;
    default:
        return CFileException::generic;
    }
}

[[noreturn]] void ThrowErrno(int err, const std::string& path) {
    throw CFileException(CauseFromErrno(err), err, path);
}

[[noreturn]] void ThrowInjected(FileOp op, const std::string& path) {
    const int err = (op == FileOp::Write || op == FileOp::Flush) ? ENOSPC : EIO;
    ThrowErrno(err, path);
}

// Writing to a pipe whose reader has gone raises SIGPIPE, which would end the
// whole program; such a write must fail with EPIPE like any other. The guard
// blocks SIGPIPE in this thread while it lives and takes back a SIGPIPE that
// the write raised, so none is left pending when the mask is restored.
class SigpipeGuard {
public:
    SigpipeGuard() {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &m_set, &m_previous);
        sigset_t pending;
        sigpending(&pending);
        m_bWasPending = sigismember(&pending, SIGPIPE) == 1;
    }
    ~SigpipeGuard() {
        if (m_bBrokenPipe && !m_bWasPending) {
            const timespec noWait{};
            while (sigtimedwait(&m_set, nullptr, &noWait) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    void BrokenPipe() { m_bBrokenPipe = true; }

private:
    sigset_t m_set;
    sigset_t m_previous;
    bool m_bWasPending = false;
    bool m_bBrokenPipe = false;
};

bool SameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

CFileException::CFileException(Cause cause, int osError, std::string fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {
    m_strWhat = m_strFileName + ": " + std::strerror(osError);
}

CFile::CFile() = default;

CFile::CFile(int fdToAttach) : m_hFile(fdToAttach), m_bCloseOnDelete(false) {}

CFile::~CFile() {
    if (m_bCloseOnDelete)
        Abort();
}

bool CFile::Open(const CString& path, unsigned flags, CFileException* pError) {
    auto fail = [&](int err) {
        if (pError)
            *pError = CFileException(CauseFromErrno(err), err, path);
        return false;
    };
    if (IsOpen() || path.empty())
        return fail(EINVAL);
    if (ShouldFailFileOp(FileOp::Open, path))
        return fail(EACCES);

    int oflags = O_CLOEXEC;
    if (flags & modeReadWrite)
        oflags |= O_RDWR;
    else if (flags & modeWrite)
        oflags |= O_WRONLY;
    else
        oflags |= O_RDONLY;
    const bool create = (flags & modeCreate) != 0;
    const bool exclusive = (flags & shareExclusive) != 0;
    if (create)
        oflags |= O_CREAT | O_NOFOLLOW;
    // A FIFO or device must not block the open; it is used normally after.
    oflags |= O_NONBLOCK;

    // The lock is taken before any truncation, and the path is checked to
    // still name the locked file, since another process may delete or
    // replace it between our open and our lock.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(path.c_str(), oflags, 0666);
        if (fd < 0)
            return fail(errno);
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const int err = errno;
            ::close(fd);
            return fail(err);
        }
        if (S_ISDIR(st.st_mode)) {
            ::close(fd);
            return fail(EISDIR);
        }
        if (exclusive) {
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                const int err = errno;
                ::close(fd);
                return fail(err == EWOULDBLOCK ? EWOULDBLOCK : err);
            }
            struct stat now {};
            if (::lstat(path.c_str(), &now) != 0 || !SameInode(st, now)) {
                ::close(fd);
                continue;  // replaced under us: open the new file instead
            }
        }
        if (create && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) {
            const int err = errno;
            ::close(fd);
            return fail(err);
        }
        const int fl = ::fcntl(fd, F_GETFL);
        if (fl >= 0)
            ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
        m_hFile = fd;
        m_bCloseOnDelete = true;
        m_bRegularFile = S_ISREG(st.st_mode);
        m_identity = IdentityOfOpenFile(fd);
        m_strFileName = path;
        return true;
    }
    return fail(EWOULDBLOCK);
}

unsigned CFile::Read(void* buffer, unsigned count) {
    if (ShouldFailFileOp(FileOp::Read, m_strFileName))
        ThrowInjected(FileOp::Read, m_strFileName);
    for (;;) {
        const ssize_t got = ::read(m_hFile, buffer, count);
        if (got >= 0)
            return static_cast<unsigned>(got);
        if (errno != EINTR)
            ThrowErrno(errno, m_strFileName);
    }
}

void CFile::Write(const void* buffer, unsigned count) {
    if (ShouldFailFileOp(FileOp::Write, m_strFileName))
        ThrowInjected(FileOp::Write, m_strFileName);
    std::optional<SigpipeGuard> sigpipe;
    if (!m_bRegularFile)
        sigpipe.emplace();
    const char* p = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t put = ::write(m_hFile, p, count);
        if (put < 0) {
            const int err = errno;
            if (err == EINTR)
                continue;
            if (err == EPIPE && sigpipe)
                sigpipe->BrokenPipe();
            ThrowErrno(err, m_strFileName);
        }
        if (put == 0)
            ThrowErrno(ENOSPC, m_strFileName);
        p += put;
        count -= static_cast<unsigned>(put);
    }
}

int64_t CFile::Seek(int64_t offset, SeekPosition from) {
    if (ShouldFailFileOp(FileOp::Seek, m_strFileName))
        ThrowInjected(FileOp::Seek, m_strFileName);
    const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    const off_t pos = ::lseek(m_hFile, static_cast<off_t>(offset), whence);
    if (pos < 0)
        ThrowErrno(errno, m_strFileName);
    return static_cast<int64_t>(pos);
}

void CFile::Flush() {
    if (ShouldFailFileOp(FileOp::Flush, m_strFileName))
        ThrowInjected(FileOp::Flush, m_strFileName);
    if (m_bRegularFile && ::fsync(m_hFile) != 0)
        ThrowErrno(errno, m_strFileName);
}

void CFile::Close() {
    if (m_hFile < 0)
        return;
    const int fd = m_hFile;
    const bool owned = m_bCloseOnDelete;
    m_hFile = -1;
    m_bCloseOnDelete = false;
    if (ShouldFailFileOp(FileOp::Close, m_strFileName)) {
        if (owned)
            ::close(fd);
        ThrowInjected(FileOp::Close, m_strFileName);
    }
    if (owned && ::close(fd) != 0 && errno != EINTR)
        ThrowErrno(errno, m_strFileName);
}

void CFile::Abort() {
    if (m_hFile >= 0 && m_bCloseOnDelete)
        ::close(m_hFile);
    m_hFile = -1;
    m_bCloseOnDelete = false;
}

void CFile::AbortAndRemove() {
    Abort();
    if (!m_identity.regular || !PathNames(m_strFileName, m_identity))
        return;
    try {
        Remove(m_strFileName);
    } catch (const CFileException&) {
        // Nothing to report: the caller has already failed or been cancelled.
    }
}

void CFile::Remove(const CString& path) {
    if (ShouldFailFileOp(FileOp::Remove, path))
        ThrowInjected(FileOp::Remove, path);
    if (::unlink(path.c_str()) != 0)
        ThrowErrno(errno, path);
}

void CFile::Rename(const CString& oldPath, const CString& newPath) {
    if (ShouldFailFileOp(FileOp::Rename, oldPath))
        ThrowInjected(FileOp::Rename, oldPath);
    if (::rename(oldPath.c_str(), newPath.c_str()) != 0)
        ThrowErrno(errno, oldPath);
}

bool CFile::IsSameFile(const CString& first, const CString& second) {
    struct stat a {}, b {};
    const bool haveFirst = ::stat(first.c_str(), &a) == 0;
    const bool haveSecond = ::stat(second.c_str(), &b) == 0;
    if (haveFirst && haveSecond)
        return SameInode(a, b);
    if (haveFirst || haveSecond)
        return false;
    std::error_code ec1, ec2;
    const auto p1 = std::filesystem::weakly_canonical(first, ec1);
    const auto p2 = std::filesystem::weakly_canonical(second, ec2);
    return !ec1 && !ec2 && p1 == p2;
}
