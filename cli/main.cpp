#include <cstdio>

#include "cli/cli_commands.h"

int main(int argc, char** argv) {
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    return RunCli(std::vector<std::string>(argv + 1, argv + argc), stdout);
}
