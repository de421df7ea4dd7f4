// Finds with phrases on the default dictionary, as gridwell-cli runs them
// (in-process): a 10-letter pattern with every other letter known and
// --phrases (at most 30 ms), every 7-letter word and phrase with the limit
// (at most 100 ms), and the enumeration 3,5 (at most 50 ms).
//
// Needs `make dictionary` (BUILD/run/dictionary.dat) and the phrase file,
// abbreviation list and commonness table the build makes in BUILD.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "platform/data_dir.h"

namespace {

const std::string kBuildDir = GRIDWELL_BUILD_DIR;

void RunFind(benchmark::State& state, std::vector<std::string> args) {
    std::FILE* sink = std::fopen("/dev/null", "w");
    args.insert(args.begin(), {"-C", kBuildDir + "/run", "find"});
    for (auto _ : state) {
        const int code = RunCli(args, sink);
        if (code != 0)
            state.SkipWithError("find failed");
    }
    std::fclose(sink);
}

void BM_PhrasesEveryOtherLetter(benchmark::State& state) { RunFind(state, {"--phrases", "i?e?r?a?e?"}); }
void BM_PhrasesEveryOtherLetterCommon(benchmark::State& state) {
    RunFind(state, {"--phrases", "--abbreviations", "--common", "s?l?t?u?h?"});
}
void BM_PhrasesSevenLimited(benchmark::State& state) { RunFind(state, {"--phrases", "--limit", "7"}); }
void BM_PhrasesSeven(benchmark::State& state) { RunFind(state, {"--phrases", "7"}); }
void BM_EnumerationThreeFive(benchmark::State& state) { RunFind(state, {"3,5"}); }
void BM_BrokenPattern(benchmark::State& state) { RunFind(state, {"i?e c?e?m"}); }

BENCHMARK(BM_PhrasesEveryOtherLetter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhrasesEveryOtherLetterCommon)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhrasesSevenLimited)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhrasesSeven)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnumerationThreeFive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrokenPattern)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::filesystem::exists(kBuildDir + "/run/dictionary.dat") ||
        !std::filesystem::exists(kBuildDir + "/phrases.gwp")) {
        std::fprintf(stderr, "phrase bench: run `make dictionary` and build the phrase file first\n");
        return 2;
    }
    // Never the real home: the search reads nothing there with -C, and
    // nothing may be made there either.
    const std::string scratch = std::filesystem::temp_directory_path() / "gridwell-phrase-bench";
    std::filesystem::create_directories(scratch + "/data");
    ::setenv("HOME", scratch.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (scratch + "/data").c_str(), 1);
    SetDataDirForTesting(kBuildDir);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
