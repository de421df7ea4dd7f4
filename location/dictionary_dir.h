// Where a program started anywhere keeps its dictionary files.
//
// The user's folder may hold further dictionaries side by side, each in a
// subfolder named after it (french, german) with its own dictionary.dat and
// dictionary.$$$; the folder's own dictionary.dat is the one named "default".
//
// The working directory the program started in, when it holds a
// dictionary.dat; otherwise the user's Gridwell folder, created on first use
// with the packaged default dictionary copied into it. A program without a
// packaged default (run from its build tree) keeps the working directory.
#pragma once

#include <vector>

#include "platform/cstring.h"

// The user's Gridwell folder: $XDG_DATA_HOME/gridwell, or
// ~/.local/share/gridwell when the variable is unset, empty or relative.
// Empty when neither it nor a home folder is known.
CString UserDictionaryDir();

// Copies the file `source` to `dir`/dictionary.dat through a temporary file
// and a hard link, so dictionary.dat appears whole or not at all and an
// existing one is never replaced. True when dictionary.dat exists afterwards.
bool InstallDefaultDictionary(const CString& source, const CString& dir);

// Records the dictionary folder by the rule above, for the rest of the
// process (see work_dir.h). Creates the user's folder when it is chosen.
void RecordDictionaryDir();

// The name that stands for the user's folder itself.
inline constexpr char kDefaultDictionaryName[] = "default";

// True when `name` may name a dictionary: 1 to 64 ASCII letters, digits,
// '-' and '_', not starting with '-' (so that it is a folder name and never
// a path or an option).
bool IsDictionaryName(const CString& name);

// The folder of the dictionary `name` in the user's folder (the folder
// itself for "default"); empty when the user's folder is unknown.
CString NamedDictionaryDir(const CString& name);

struct NamedDictionary {
    CString name;
    CString dir;
};
// The dictionaries of the user's folder that hold a dictionary.dat: the
// default first, then the named ones by name.
std::vector<NamedDictionary> ListUserDictionaries();
