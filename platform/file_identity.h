// Telling whether a path still names a file that we opened: between our open
// and a later step another process may delete the file or put another one in
// its place, and only our own file may be removed.
#pragma once

#include <cstdint>

#include "platform/cstring.h"

struct FileIdentity {
    bool known = false;
    bool regular = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    // The size and last change of the contents (nanoseconds since 1970) when
    // the identity was taken: a derived file keyed to them is stale once
    // they differ.
    uint64_t size = 0;
    uint64_t modifiedNs = 0;
};

// The identity of the file open on `fd` (not known when fd is not open).
FileIdentity IdentityOfOpenFile(int fd);
// True when `path` itself (a link is not followed) names the file `id`.
bool PathNames(const CString& path, const FileIdentity& id);
