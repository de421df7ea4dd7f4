#include <csignal>
#include <cstdio>

#include "cli/cli_commands.h"

int main(int argc, char** argv) {
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    const int code = RunCli(std::vector<std::string>(argv + 1, argv + argc), stdout);
    // The output's reader went away: end by SIGPIPE, quietly, as other tools
    // in a pipeline do (the shell reports no error for it).
    if (code == kExitBrokenPipe) {
        std::signal(SIGPIPE, SIG_DFL);
        std::raise(SIGPIPE);
    }
    return code;
}
