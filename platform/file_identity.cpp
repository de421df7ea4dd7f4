#include "platform/file_identity.h"

#include <sys/stat.h>

FileIdentity IdentityOfOpenFile(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    const uint64_t modifiedNs =
        static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
    return {true,
            S_ISREG(st.st_mode),
            static_cast<uint64_t>(st.st_dev),
            static_cast<uint64_t>(st.st_ino),
            static_cast<uint64_t>(st.st_size),
            modifiedNs};
}

bool PathNames(const CString& path, const FileIdentity& id) {
    struct stat st {};
    return id.known && ::lstat(path.c_str(), &st) == 0 && static_cast<uint64_t>(st.st_dev) == id.device &&
           static_cast<uint64_t>(st.st_ino) == id.inode;
}
