#include "location/installed_word_lists.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <dirent.h>
#include <map>
#include <sys/stat.h>

#include "location/dictionary_dir.h"

namespace {

struct KnownPackage {
    const char* package;
    const char* language;
    const char* name;
};

// Debian's word-list packages (the "w" lists of package dictionaries-common).
constexpr KnownPackage kKnown[] = {
    {"wfrench", "French", "french"},
    {"wngerman", "German (new spelling)", "german"},
    {"wogerman", "German (old spelling)", "german-old"},
    {"wswiss", "Swiss German", "swiss"},
    {"wspanish", "Spanish", "spanish"},
    {"witalian", "Italian", "italian"},
    {"wportuguese", "Portuguese", "portuguese"},
    {"wbrazilian", "Brazilian Portuguese", "brazilian"},
    {"wdutch", "Dutch", "dutch"},
    {"wdanish", "Danish", "danish"},
    {"wswedish", "Swedish", "swedish"},
    {"wnorwegian", "Norwegian", "norwegian"},
    {"wpolish", "Polish", "polish"},
    {"wcatalan", "Catalan", "catalan"},
    {"wgalician-minimos", "Galician", "galician"},
    {"wbulgarian", "Bulgarian", "bulgarian"},
    {"wukrainian", "Ukrainian", "ukrainian"},
    {"wfaroese", "Faroese", "faroese"},
    {"wirish", "Irish", "irish"},
    {"wmanx", "Manx", "manx"},
};

const KnownPackage* Known(const CString& package) {
    for (const KnownPackage& known : kKnown)
        if (package == known.package)
            return &known;
    return nullptr;
}

// A folder name from a file name: letters, digits, '-' and '_' kept.
CString NameFromFile(const CString& file) {
    CString name;
    for (const char c : file)
        name += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') ? c : '-';
    return name.substr(0, 64);
}

// The owning package of each path: one dpkg -S for them all.
std::map<CString, CString> OwningPackages(const std::vector<CString>& paths) {
    std::map<CString, CString> owners;
    if (paths.empty())
        return owners;
    CString command = "dpkg -S";
    for (const CString& path : paths)
        command += " '" + path + "'";  // the paths are names of our own listing, without quotes
    command += " 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return owners;
    char line[4096];
    // "wfrench: /usr/share/dict/french"; a shared path names several
    // packages, "a, b: path": the first is taken.
    while (std::fgets(line, sizeof line, pipe)) {
        CString text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        const size_t colon = text.find(": ");
        if (colon == CString::npos)
            continue;
        const CString packages = text.substr(0, colon);
        CString package = packages.substr(0, packages.find(','));
        package = package.substr(0, package.find(':'));  // an architecture qualifier
        owners[text.substr(colon + 2)] = package;
    }
    ::pclose(pipe);
    return owners;
}

}  // namespace

CString WordListLanguage(const CString& package) {
    if (const KnownPackage* known = Known(package))
        return known->language;
    if (package.rfind("wamerican", 0) == 0)
        return "American English";
    if (package.rfind("wbritish", 0) == 0)
        return "British English";
    if (package.rfind("wcanadian", 0) == 0)
        return "Canadian English";
    return package;
}

bool IsEnglishDictionary(const CString& name) {
    return name == kDefaultDictionaryName || name.find("english") != CString::npos;
}

std::vector<InstalledWordList> FindInstalledWordLists(const CString& dir) {
    std::vector<CString> paths;
    if (DIR* folder = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(folder)) {
            const CString file = entry->d_name;
            if (file.empty() || file[0] == '.' || file.rfind("README", 0) == 0 || file.find('\'') != CString::npos)
                continue;
            struct stat st {};
            const CString path = dir + "/" + file;
            if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
                paths.push_back(path);
        }
        ::closedir(folder);
    }
    const std::map<CString, CString> owners = OwningPackages(paths);
    std::vector<InstalledWordList> lists;
    for (const CString& path : paths) {
        const auto owner = owners.find(path);
        if (owner == owners.end())
            continue;
        const CString file = path.substr(path.rfind('/') + 1);
        const KnownPackage* known = Known(owner->second);
        lists.push_back({path, owner->second, WordListLanguage(owner->second), known ? CString(known->name) : NameFromFile(file)});
    }
    std::sort(lists.begin(), lists.end(), [](const InstalledWordList& a, const InstalledWordList& b) {
        return a.language != b.language ? a.language < b.language : a.path < b.path;
    });
    return lists;
}
