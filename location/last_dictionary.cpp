#include "location/last_dictionary.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "location/dictionary_dir.h"
#include "platform/atomic_replacement.h"
#include "platform/data_dir.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace {

CString ConfigDir() { return UserXdgDir("XDG_CONFIG_HOME", ".config"); }

CString LastDictionaryPath() {
    const CString dir = ConfigDir();
    return dir.empty() ? dir : dir + "/last-dictionary";
}

}  // namespace

CString LoadLastDictionary() {
    const CString path = LastDictionaryPath();
    CFile file;
    if (path.empty() || !file.Open(path, CFile::modeRead))
        return CString();
    char buffer[80];
    unsigned n = 0;
    try {
        n = file.Read(buffer, sizeof buffer);
    } catch (const CFileException&) {
        return CString();
    }
    CString name(buffer, n);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
        name.pop_back();
    return IsDictionaryName(name) ? name : CString();
}

bool SaveLastDictionary(const CString& name) {
    const CString path = LastDictionaryPath();
    if (path.empty() || !IsDictionaryName(name) || !MakeDirectories(path.substr(0, path.rfind('/')), 0700))
        return false;
    CAtomicReplacement replacement;
    CFile file;
    int nError = 0;
    if (!replacement.CreateBeside(file, path, nError))
        return false;
    try {
        const CString line = name + "\n";
        file.Write(line.data(), static_cast<unsigned>(line.size()));
        file.Flush();
        file.Close();
        replacement.Replace(path);
    } catch (const CFileException&) {
        return false;
    }
    return true;
}
