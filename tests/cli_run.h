// Runs gridwell-cli in-process, capturing what it prints.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs the tool with `args` in the current directory (or in `dir` when given),
// capturing stdout and stderr; with `output` given, stdout goes there instead
// and is not captured.
CliRun RunCliCapturing(const std::vector<std::string>& args, const std::string& dir = std::string(),
                       std::FILE* output = nullptr);

// Everything written to `f` so far, from its start.
std::string ReadWholeStream(std::FILE* f);
