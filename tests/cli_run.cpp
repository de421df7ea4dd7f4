#include "tests/cli_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "cli/cli_commands.h"

std::string ReadWholeStream(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, got);
    return text;
}

CliRun RunCliCapturing(const std::vector<std::string>& args, const std::string& dir, std::FILE* output) {
    char cwd[4096];
    EXPECT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    if (!dir.empty()) {
        EXPECT_EQ(::chdir(dir.c_str()), 0);
    }
    std::FILE* out = output ? output : std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::fflush(stderr);
    const int savedErr = ::dup(STDERR_FILENO);
    ::dup2(::fileno(err), STDERR_FILENO);
    const int code = RunCli(args, out);
    std::fflush(stderr);
    ::dup2(savedErr, STDERR_FILENO);
    ::close(savedErr);
    if (!dir.empty()) {
        EXPECT_EQ(::chdir(cwd), 0);
    }
    CliRun run{code, output ? std::string() : ReadWholeStream(out), ReadWholeStream(err)};
    if (!output)
        std::fclose(out);
    std::fclose(err);
    return run;
}
