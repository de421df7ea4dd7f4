// Meanings and clues from WordNet, against the targets: a meaning within
// 20 ms of the request, the first lookup after start included; a Find ranked
// by a clue over the most populous length (by WordNet's links alone: the
// definition index is timed by gridwell_clue_bench) beside the same Find
// without it.
//
// MeaningAfterStart opens the database anew in every iteration, as a program
// that has just started does. FindLength/plain and FindLength/clue run the
// whole Find of every word of the most populous length of a dictionary built
// by our own import from /usr/share/dict/american-english-huge, without and
// with clue words (the clue's database lookups included). Skipped without
// WordNet or the word list.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "location/work_dir.h"
#include "dictionary/dictionary.h"
#include "maintenance/import_job.h"
#include "platform/message_box.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"
#include "search/find_words.h"
#include "wordnet/meaning_text.h"
#include "search/find_request.h"
#include "wordnet/clue_scorer.h"
#include "wordnet/wordnet_db.h"

namespace {

constexpr const char* kHugeList = "/usr/share/dict/american-english-huge";

bool g_bHaveDictionary = false;
int g_nPopulousLength = 0;

void MeaningAfterStart(benchmark::State& state, const char* word) {
    size_t bytes = 0;
    for (auto _ : state) {
        CWordNet db;
        if (db.Open(CWordNet::SearchDir()) != WnStatus::ok) {
            state.SkipWithError("WordNet is not installed");
            return;
        }
        CString text;
        if (MeaningText(db, word, text) != WnRead::found) {
            state.SkipWithError("no meaning found");
            return;
        }
        bytes = text.size();
    }
    state.counters["text bytes"] = static_cast<double>(bytes);
}

void FindLength(benchmark::State& state, const char* clue) {
    if (!g_bHaveDictionary) {
        state.SkipWithError("no dictionary (american-english-huge missing?)");
        return;
    }
    const CString pattern = std::to_string(g_nPopulousLength);
    int64_t listed = 0;
    for (auto _ : state) {
        CDictionary dict(GetWorkDir());
        CFindRequest request;
        request.pattern = pattern;
        request.bLimit = true;
        Status ready = dict.OpenForReading();
        if (ready)
            ready = PrepareFind(dict, request);
        if (!ready) {
            ShowStatus(ready);
            state.SkipWithError("cannot search the dictionary");
            return;
        }
        CWordNet db;
        CWordNetClueScorer scorer;
        if (*clue) {
            if (db.Open(CWordNet::SearchDir()) != WnStatus::ok || scorer.Build(db, nullptr, clue) != WnRead::found) {
                state.SkipWithError("WordNet is not installed");
                return;
            }
            request.pScorer = &scorer;
        }
        const CFoundWords found = RunFind(dict, request);
        listed = found.nTotal;
    }
    state.counters["length"] = g_nPopulousLength;
    state.counters["counted"] = static_cast<double>(listed);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SetMessageSink([](UINT, const CString& text, MsgIcon icon, MsgButtons) {
        if (icon != MsgIcon::Information)
            std::fprintf(stderr, "gridwell_wordnet_bench: %s\n", text.c_str());
        return IDCANCEL;
    });

    char dirTemplate[] = "/tmp/gridwell-wordnet-bench-XXXXXX";
    if (!::mkdtemp(dirTemplate))
        return 2;
    const std::filesystem::path dir = dirTemplate;
    SetWorkDirForTesting(dir.string());
    if (std::filesystem::exists(kHugeList)) {
        CImportJob job(kHugeList, ImportOptions());
        const auto runModal = [](CProgressDlg& dlg) { return RunProgressLoop(dlg, 5, nullptr, nullptr); };
        g_bHaveDictionary = ShowJobResult(job.Run(runModal)) == IDS_LOAD_DONE;
        CDictionary dict(GetWorkDir());
        int64_t most = -1;
        if (g_bHaveDictionary && dict.OpenForReading())
            for (int length = 2; length <= dict.GetMaxLength(); ++length) {
                int nCount = 0;
                if (dict.PrepareSearch(FALSE, std::to_string(length), CString(), FALSE, nCount) && nCount > most) {
                    most = nCount;
                    g_nPopulousLength = length;
                }
            }
    }

    for (const char* word : {"cats", "run", "geese"})
        benchmark::RegisterBenchmark((std::string("MeaningAfterStart/") + word).c_str(),
                                     [word](benchmark::State& state) { MeaningAfterStart(state, word); })
            ->Unit(benchmark::kMillisecond);
    for (const char* clue : {"", "rock", "feline", "animal person"})
        benchmark::RegisterBenchmark((std::string("FindLength/") + (*clue ? clue : "plain")).c_str(),
                                     [clue](benchmark::State& state) { FindLength(state, clue); })
            ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
