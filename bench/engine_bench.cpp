// Words per second through the dictionary engine: decoding a whole length
// block with NextWord, and searching one with NextMatch (a pattern, an
// anagram, a pattern with remaining letters).
//
// The dictionary is built by our own import, in a scratch directory, from
// /usr/share/dict/american-english-huge when it is installed and otherwise
// from a generated list of the same order of size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "maintenance/import_job.h"
#include "platform/message_box.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace {

constexpr const char* kHugeList = "/usr/share/dict/american-english-huge";

// A word list of `count` pseudo-random words, 2 to 15 letters, the letters
// drawn by rough English frequency so that prefixes repeat as in real lists.
void WriteGeneratedList(const std::filesystem::path& path, int count) {
    static const char kLetters[] = "EEEEEEEEEEEETTTTTTTTTAAAAAAAAOOOOOOOIIIIIIINNNNNNNSSSSSSHHHHHHRRRRRRDDDDLLLLUUUCCCMMMWWFFGGYYPPBVKJXQZ";
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> length(2, 15);
    std::uniform_int_distribution<int> letter(0, static_cast<int>(sizeof kLetters) - 2);
    std::ofstream out(path);
    for (int i = 0; i < count; ++i) {
        std::string word(static_cast<size_t>(length(random)), ' ');
        for (char& c : word)
            c = kLetters[letter(random)];
        out << word << '\n';
    }
}

// The scratch directory holding dictionary.dat; removed at exit.
class ScratchDictionary {
public:
    ScratchDictionary() {
        char dirTemplate[] = "/tmp/gridwell-bench-XXXXXX";
        if (!::mkdtemp(dirTemplate)) {
            std::perror("mkdtemp");
            std::exit(2);
        }
        m_dir = dirTemplate;
        SetWorkDirForTesting(m_dir.string());
    }
    ~ScratchDictionary() {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    // Imports the word list as `gridwell-cli import` does; false on failure.
    bool Build(std::string& source) {
        std::filesystem::path list = kHugeList;
        if (std::filesystem::exists(list)) {
            source = list.string();
        } else {
            list = m_dir / "generated.txt";
            WriteGeneratedList(list, 300000);
            source = "generated (300000 pseudo-random words)";
        }
        CImportJob job(list.string(), ImportOptions());
        const auto runModal = [](CProgressDlg& dlg) { return RunProgressLoop(dlg, 5, nullptr, nullptr); };
        return ShowJobResult(job.Run(runModal)) == IDS_LOAD_DONE;
    }

private:
    std::filesystem::path m_dir;
};

// Opens the dictionary once per benchmark run, saying why it cannot;
// Prepare positions it anew.
struct OpenDictionary {
    CDictionary dict{GetWorkDir()};
    Status opened = dict.OpenForReading();
    bool ok = opened.Succeeded();
};

// words/s: words of the block gone through per second; block: the block's
// word count; matches: the words that one pass returned (searches only).
void ReportRates(benchmark::State& state, int64_t wordsPerPass, int64_t matchesPerPass = -1) {
    const double passes = static_cast<double>(state.iterations());
    state.counters["words/s"] = benchmark::Counter(passes * static_cast<double>(wordsPerPass),
                                                   benchmark::Counter::kIsRate);
    state.counters["block"] = static_cast<double>(wordsPerPass);
    if (matchesPerPass >= 0)
        state.counters["matches"] = static_cast<double>(matchesPerPass);
}

// NextWord over the whole block of `length` letters.
void DecodeBlock(benchmark::State& state, int length) {
    OpenDictionary open;
    if (!open.ok) {
        ShowStatus(open.opened);
        state.SkipWithError("cannot open dictionary.dat");
        return;
    }
    const CString pattern = std::to_string(length);
    int64_t words = 0;
    for (auto _ : state) {
        int nResultCount = 0;
        if (Status prepared = open.dict.PrepareSearch(false, pattern, CString(), false, nResultCount); !prepared) {
            ShowStatus(prepared);
            state.SkipWithError("PrepareSearch refused the pattern");
            return;
        }
        CString word;
        words = 0;
        while (open.dict.NextWord(word))
            ++words;
        benchmark::DoNotOptimize(word.data());
    }
    if (words == 0)
        state.SkipWithError("the block is empty");
    ReportRates(state, words);
}

// NextMatch over the block of the pattern's length; words/s counts every word
// of the block, matches or not.
void SearchBlock(benchmark::State& state, BOOL anagram, const CString& pattern, const CString& letters) {
    OpenDictionary open;
    if (!open.ok) {
        ShowStatus(open.opened);
        state.SkipWithError("cannot open dictionary.dat");
        return;
    }
    int64_t blockWords = 0;
    int64_t matches = 0;
    for (auto _ : state) {
        int nResultCount = 0;
        if (Status prepared = open.dict.PrepareSearch(anagram, pattern, letters, false, nResultCount); !prepared) {
            ShowStatus(prepared);
            state.SkipWithError("PrepareSearch refused the query");
            return;
        }
        blockWords = nResultCount;
        CString word;
        matches = 0;
        while (open.dict.NextMatch(word, FALSE))
            ++matches;
        benchmark::DoNotOptimize(word.data());
    }
    if (matches == 0)
        state.SkipWithError("the query found nothing: the benchmark would not measure matching");
    ReportRates(state, blockWords, matches);
}

void RegisterAll() {
    for (const int length : {3, 5, 7, 9, 12})
        benchmark::RegisterBenchmark(("DecodeBlock/" + std::to_string(length)).c_str(),
                                     [length](benchmark::State& state) { DecodeBlock(state, length); });

    struct Query {
        const char* name;
        BOOL anagram;
        const char* pattern;
        const char* letters;
    };
    static const Query kQueries[] = {
        {"Pattern/c?t", FALSE, "c?t", ""},
        {"Pattern/s3e", FALSE, "s3e", ""},
        {"Pattern/9", FALSE, "9", ""},
        {"Pattern/??a??e??", FALSE, "??a??e??", ""},
        {"Anagram/crate", TRUE, "crate", ""},
        {"Anagram/retains", TRUE, "retains", ""},
        {"Anagram/cr?te", TRUE, "cr?te", ""},
        {"Letters/9+ing", FALSE, "9", "ing"},
        {"Letters/s??????+qu", FALSE, "s??????", "qu"},
    };
    for (const Query& query : kQueries) {
        const CString pattern = query.pattern;
        const CString letters = query.letters;
        const BOOL anagram = query.anagram;
        benchmark::RegisterBenchmark((std::string("Match/") + query.name).c_str(),
                                     [=](benchmark::State& state) { SearchBlock(state, anagram, pattern, letters); });
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // Only failures are worth a line among the results.
    SetMessageSink([](UINT, const CString& text, MsgIcon icon, MsgButtons) {
        if (icon != MsgIcon::Information)
            std::fprintf(stderr, "gridwell_bench: %s\n", text.c_str());
        return IDCANCEL;
    });

    ScratchDictionary scratch;
    std::string source;
    if (!scratch.Build(source)) {
        std::fprintf(stderr, "gridwell_bench: could not build the dictionary from %s\n", source.c_str());
        return 2;
    }
    benchmark::AddCustomContext("word_list", source);
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
