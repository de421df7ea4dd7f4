#include "platform/file_system.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

bool CopyContents(int from, int to) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!WriteAll(to, buffer, n))
            return false;
    }
}

// A new file beside `target` that no other process is using.
int CreateTemporaryBeside(const CString& target, CString& path) {
    const size_t slash = target.rfind('/');
    const CString dir = slash == CString::npos ? CString(".") : target.substr(0, slash);
    const CString name = slash == CString::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = FormatString("%s/.%s.%ld.%d", dir.c_str(), name.c_str(), static_cast<long>(::getpid()), attempt);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void SyncFolderOf(const CString& path) {
    const size_t slash = path.rfind('/');
    const CString dir = slash == CString::npos ? CString(".") : slash == 0 ? CString("/") : path.substr(0, slash);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool PathExists(const CString& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const CString& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CanWriteBeside(const CString& path) {
    const size_t slash = path.rfind('/');
    const CString dir = slash == CString::npos ? CString(".") : slash == 0 ? CString("/") : path.substr(0, slash);
    return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

CString CurrentDirectory() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? CString(buffer) : CString();
}

CString ResolveDirectory(const CString& path, int& err) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) {
        err = errno;
        return CString();
    }
    if (!IsDirectory(resolved)) {
        err = ENOTDIR;
        return CString();
    }
    return CString(resolved);
}

bool MakeDirectories(const CString& dir, unsigned mode) {
    if (dir.empty())
        return false;
    for (size_t pos = dir.find('/', 1);; pos = dir.find('/', pos + 1)) {
        const CString part = dir.substr(0, pos);
        if (::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST)
            return false;
        if (pos == CString::npos)
            break;
    }
    return IsDirectory(dir);
}

bool CopyFileNoReplace(const CString& source, const CString& target) {
    if (PathExists(target))
        return true;
    const int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return false;
    CString temporary;
    const int to = CreateTemporaryBeside(target, temporary);
    bool copied = false;
    if (to >= 0) {
        copied = CopyContents(from, to) && ::fsync(to) == 0;
        copied = ::close(to) == 0 && copied;
        // link() never replaces an existing name: when another process was
        // quicker, its file stays and ours is dropped.
        if (copied && ::link(temporary.c_str(), target.c_str()) != 0 && errno != EEXIST)
            copied = false;
        ::unlink(temporary.c_str());
    }
    ::close(from);
    if (copied)
        SyncFolderOf(target);
    return PathExists(target);
}
