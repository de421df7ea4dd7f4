#include "platform/read_only_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CReadOnlyFile::~CReadOnlyFile() { Close(); }

bool CReadOnlyFile::Open(const CString& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        m_strError = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_strError = "not a regular file";
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_nSize = st.st_size;
    return true;
}

void CReadOnlyFile::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_nSize = 0;
}

bool CReadOnlyFile::ReadAt(int64_t offset, void* buffer, size_t count, size_t& got) const {
    got = 0;
    if (m_fd < 0 || offset < 0) {
        m_strError = std::strerror(EBADF);
        return false;
    }
    char* bytes = static_cast<char*>(buffer);
    while (got < count) {
        const ssize_t n = ::pread(m_fd, bytes + got, count - got, static_cast<off_t>(offset + static_cast<int64_t>(got)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_strError = std::strerror(errno);
            return false;
        }
        if (n == 0)
            break;  // the end of the file, perhaps earlier than when it was opened
        got += static_cast<size_t>(n);
    }
    return true;
}
