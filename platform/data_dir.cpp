#include "platform/data_dir.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace {

CString g_strDataDirOverride;

CString ParentOf(const CString& path) {
    const size_t slash = path.rfind('/');
    if (slash == CString::npos)
        return CString();
    return slash == 0 ? CString("/") : path.substr(0, slash);
}

CString JoinPath(const CString& dir, const char* name) {
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace

CString ExecutableDir() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return CString();
    return ParentOf(CString(buffer, static_cast<size_t>(n)));
}

CString DataFilePath(const char* name) {
    if (!g_strDataDirOverride.empty())
        return JoinPath(g_strDataDirOverride, name);
    const CString exeDir = ExecutableDir();
    const size_t slash = exeDir.rfind('/');
    if (slash != CString::npos && exeDir.compare(slash + 1, CString::npos, "bin") == 0) {
        const CString shared = JoinPath(ParentOf(exeDir), "share/gridwell");
        if (IsDirectory(shared))
            return JoinPath(shared, name);
    }
    return JoinPath(exeDir, name);
}

void SetDataDirForTesting(const CString& dir) { g_strDataDirOverride = dir; }

CString UserXdgDir(const char* variable, const char* underHome) {
    const char* base = std::getenv(variable);
    if (base && base[0] == '/')
        return CString(base) + "/gridwell";
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
    return dir + "/" + underHome + "/gridwell";
}
