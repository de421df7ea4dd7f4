// A Find ranked by a clue, against the targets: over every 8-letter word of
// the default dictionary (42,204) at most 60 ms, the first one after start
// included; over a pattern with half its letters known at most 15 ms.
//
// Each iteration is a Find as a freshly started program runs it: the WordNet
// database and the definition index opened anew, the clue's evidence
// gathered, the dictionary opened and searched, every match scored and
// ordered, common words first. The dictionary is the default one that
// `make dictionary` builds (BUILD/run/dictionary.dat); the definition index
// the one built beside it. Memory is measured by bench/wordnet-timings.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "res/string_table.h"
#include "platform/data_dir.h"
#include "platform/message_box.h"
#include "search/find_request.h"
#include "wordnet/clue_scorer.h"
#include "wordnet/definition_index.h"
#include "wordnet/wordnet_db.h"

namespace {

void ClueFind(benchmark::State& state, const char* clue, const char* pattern) {
    int64_t counted = 0;
    size_t evidence = 0;
    for (auto _ : state) {
        CWordNet db;
        if (db.Open(CWordNet::SearchDir()) != WnStatus::ok) {
            state.SkipWithError("WordNet is not installed");
            return;
        }
        CDefinitionIndex index;
        if (!index.Open(DataFilePath(CDefinitionIndex::kFileName))) {
            state.SkipWithError("no definition index beside the build");
            return;
        }
        CWordNetClueScorer scorer;
        if (*clue && scorer.Build(db, &index, clue) != WnRead::found) {
            state.SkipWithError("WordNet is damaged");
            return;
        }
        CDictionary dict(GetWorkDir());
        CFindRequest request;
        request.pattern = pattern;
        request.bCommonFirst = true;
        request.pScorer = *clue ? &scorer : nullptr;
        Status ready = dict.OpenForReading();
        if (ready)
            ready = PrepareFind(dict, request);
        if (!ready) {
            ShowStatus(ready);
            state.SkipWithError("no dictionary: run make dictionary");
            return;
        }
        const CFoundWords found = RunFind(dict, request);
        counted = found.nTotal;
        evidence = scorer.EvidenceCount();
        benchmark::DoNotOptimize(found.words.data());
    }
    state.counters["counted"] = static_cast<double>(counted);
    state.counters["evidence words"] = static_cast<double>(evidence);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SetMessageSink([](UINT, const CString& text, MsgIcon, MsgButtons) {
        std::fprintf(stderr, "gridwell_clue_bench: %s\n", text.c_str());
        return IDCANCEL;
    });
    SetWorkDirForTesting(GRIDWELL_BUILD_DIR "/run");
    SetDataDirForTesting(GRIDWELL_BUILD_DIR);
    struct Case {
        const char* clue;
        const char* pattern;
    };
    for (const Case c : {Case{"", "8"}, Case{"Tusked savanna dweller", "8"}, Case{"Large feline", "8"},
                         Case{"person", "8"}, Case{"Nile, for one", "8"}, Case{"Bird of prey (5)", "8"},
                         Case{"", "s?e?c?e?"}, Case{"person", "s?e?c?e?"}, Case{"Large feline", "l?o?i?e?"}})
        benchmark::RegisterBenchmark((std::string("ClueFind/") + (*c.clue ? c.clue : "none") + "/" + c.pattern).c_str(),
                                     [c](benchmark::State& state) { ClueFind(state, c.clue, c.pattern); })
            ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
