#include "app/dictionary_dir.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/work_dir.h"
#include "platform/data_dir.h"

namespace {

const char kDictionaryName[] = "dictionary.dat";

bool Exists(const CString& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// mkdir -p; new folders get mode 0700, as the XDG base directory rules ask.
bool MakeFolders(const CString& dir) {
    if (dir.empty())
        return false;
    for (size_t pos = dir.find('/', 1);; pos = dir.find('/', pos + 1)) {
        const CString part = dir.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (pos == CString::npos)
            break;
    }
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

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

// Creates a new temporary file in `dir` that no other process is using.
int CreateTemporary(const CString& dir, CString& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = FormatString("%s/.%s.%ld.%d", dir.c_str(), kDictionaryName, static_cast<long>(::getpid()), attempt);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}  // namespace

CString UserDictionaryDir() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return CString(dataHome) + "/gridwell";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    if (!home || home[0] != '/')
        return CString();
    CString dir(home);
    if (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir + "/.local/share/gridwell";
}

bool InstallDefaultDictionary(const CString& source, const CString& dir) {
    const CString target = dir + "/" + kDictionaryName;
    if (Exists(target))
        return true;
    const int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return false;
    CString temporary;
    const int to = CreateTemporary(dir, temporary);
    bool copied = false;
    if (to >= 0) {
        copied = CopyContents(from, to) && ::fsync(to) == 0;
        copied = ::close(to) == 0 && copied;
        // link() never replaces an existing name: when another process was
        // quicker, its dictionary.dat stays and ours is dropped.
        if (copied && ::link(temporary.c_str(), target.c_str()) != 0 && errno != EEXIST)
            copied = false;
        ::unlink(temporary.c_str());
    }
    ::close(from);
    if (copied) {
        const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
    }
    return Exists(target);
}

void RecordDictionaryDir() {
    RecordWorkDir();
    if (Exists(WorkDirPath(kDictionaryName)))
        return;
    const CString packaged = DataFilePath(kDictionaryName);
    const CString userDir = UserDictionaryDir();
    // Without a packaged default there is nothing to start the user's folder
    // with: the working directory stays, and a search reports message 106.
    if (userDir.empty() || !Exists(packaged))
        return;
    // A folder that cannot be made or filled is still the one used, so the
    // search reports the missing dictionary there.
    if (MakeFolders(userDir))
        InstallDefaultDictionary(packaged, userDir);
    SetWorkDir(userDir);
}
