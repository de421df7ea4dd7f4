// gridwell-cli: the search, import and export of Gridwell from a shell, on
// the dictionary of -C DIR, the current directory or the user's folder.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Exit codes.
// kExitBrokenPipe: the output's reader closed the pipe (export - | head);
// the program then ends as SIGPIPE ends other tools, quietly (see main).
enum CliExit { kExitOk = 0, kExitNoMatch = 1, kExitFailure = 2, kExitInterrupted = 130, kExitBrokenPipe = 141 };

// Runs the tool with `args` (without the program name); matches and exported
// words go to `out`, everything else to stderr. Returns the exit code.
int RunCli(const std::vector<std::string>& args, std::FILE* out);

extern const char* const kCliUsage;
extern const char* const kCliHelp;
