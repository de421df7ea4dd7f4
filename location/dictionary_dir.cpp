#include "location/dictionary_dir.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <unistd.h>

#include "location/work_dir.h"
#include "platform/data_dir.h"
#include "platform/file_system.h"

namespace {

const char kDictionaryName[] = "dictionary.dat";

}  // namespace

CString UserDictionaryDir() { return UserXdgDir("XDG_DATA_HOME", ".local/share"); }

bool InstallDefaultDictionary(const CString& source, const CString& dir) {
    return CopyFileNoReplace(source, dir + "/" + kDictionaryName);
}

void RecordDictionaryDir() {
    RecordWorkDir();
    if (PathExists(WorkDirPath(kDictionaryName)))
        return;
    const CString packaged = DataFilePath(kDictionaryName);
    const CString userDir = UserDictionaryDir();
    // Without a packaged default there is nothing to start the user's folder
    // with: the working directory stays, and a search reports message 106.
    if (userDir.empty() || !PathExists(packaged))
        return;
    // A folder that cannot be made or filled is still the one used, so the
    // search reports the missing dictionary there.
    // New folders get mode 0700, as the XDG base directory rules ask.
    if (MakeDirectories(userDir, 0700))
        InstallDefaultDictionary(packaged, userDir);
    SetWorkDir(userDir);
}

bool IsDictionaryName(const CString& name) {
    if (name.empty() || name.size() > 64 || name[0] == '-')
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

CString NamedDictionaryDir(const CString& name) {
    const CString userDir = UserDictionaryDir();
    if (userDir.empty() || name == kDefaultDictionaryName)
        return userDir;
    return userDir + "/" + name;
}

std::vector<NamedDictionary> ListUserDictionaries() {
    std::vector<NamedDictionary> found;
    const CString userDir = UserDictionaryDir();
    if (userDir.empty())
        return found;
    if (PathExists(userDir + "/" + kDictionaryName))
        found.push_back({kDefaultDictionaryName, userDir});
    std::vector<NamedDictionary> named;
    if (DIR* dir = ::opendir(userDir.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const CString name = entry->d_name;
            if (IsDictionaryName(name) && name != kDefaultDictionaryName &&
                PathExists(userDir + "/" + name + "/" + kDictionaryName))
                named.push_back({name, userDir + "/" + name});
        }
        ::closedir(dir);
    }
    std::sort(named.begin(), named.end(), [](const NamedDictionary& a, const NamedDictionary& b) { return a.name < b.name; });
    found.insert(found.end(), named.begin(), named.end());
    return found;
}
