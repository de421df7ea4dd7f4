// Folders and whole files: the operations on names rather than on an open
// file's contents (those are CFile's).
#pragma once

#include "platform/cstring.h"

bool PathExists(const CString& path);
bool IsDirectory(const CString& path);
// True when this process may make files in the folder that holds `path`.
bool CanWriteBeside(const CString& path);

// The process's current directory ("" if it cannot be read).
CString CurrentDirectory();

// `path` made absolute with every link resolved, when it names a folder;
// otherwise "" with `err` set to the system's reason.
CString ResolveDirectory(const CString& path, int& err);

// Makes `dir` and any missing parents with `mode` ("mkdir -p"); true when
// `dir` is a folder afterwards.
bool MakeDirectories(const CString& dir, unsigned mode);

// Puts a copy of `source` at `target`, whole or not at all and never over an
// existing name: the copy is written and flushed under a temporary name in
// the same folder, then hard-linked to `target` (which fails if the name
// exists) and the folder flushed. True when `target` exists afterwards,
// whether this call or another process made it.
bool CopyFileNoReplace(const CString& source, const CString& target);
