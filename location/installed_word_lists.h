// The word lists that Debian packages have put in /usr/share/dict, each with
// its package and language, for the window's "Add from installed word
// lists...".
#pragma once

#include <vector>

#include "platform/cstring.h"

struct InstalledWordList {
    CString path;      // /usr/share/dict/french
    CString package;   // wfrench
    CString language;  // French (the package's language, or its name)
    CString name;      // the dictionary name to import it as: french
};

// The regular files of `dir` (not the alternatives' links such as "words",
// nor READMEs) that a package owns, by language. dpkg -S names the owners;
// files no package owns are left out.
std::vector<InstalledWordList> FindInstalledWordLists(const CString& dir = "/usr/share/dict");

// The language of a word-list package, from Debian's naming (wfrench:
// French, wngerman: German); the package's name for one it does not know.
CString WordListLanguage(const CString& package);

// True when a dictionary of this name holds English words: the default one,
// and those named after an English list. Meanings, the clue ranking and the
// common-words order use English data.
bool IsEnglishDictionary(const CString& name);
