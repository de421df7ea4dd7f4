// A deliberate seam for tests: a hook that can make any file operation fail,
// so that every failure path of the program can be reached without a broken
// disk. Production code never installs a hook; the check is then one relaxed
// atomic load.
#pragma once

#include <functional>
#include <string>

// Allocate stands for the program's large allocations (the dictionary's
// length tables, the word list's tables and word store); `path` then names
// the table.
enum class FileOp { Open, Read, Write, Seek, Close, Flush, Remove, Rename, Allocate };

// Returns true when the call on `path` should fail.
using FileFaultHook = std::function<bool(FileOp op, const std::string& path)>;

void SetFileFaultHook(FileFaultHook hook);
void ClearFileFaultHook();

// True when the installed hook asks for this call to fail.
bool ShouldFailFileOp(FileOp op, const std::string& path);
