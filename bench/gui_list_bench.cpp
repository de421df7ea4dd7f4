// Measures how long the solutions list takes to fill and paint the words of
// the most populous length of the dictionary in the working directory, with
// the limit off, as Find does it, and the whole Find of those words with
// "Common words first" on (its ordering from the commonness table in the
// folder given as the second argument). Run under Xvfb by
// bench/gui-list-bench.
#include <array>
#include <chrono>
#include <cstdlib>
#include <thread>

#include <dlfcn.h>
#include <cstdio>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/utils.h>

#include "app/main_dlg.h"
#include "app/solutions_list.h"
#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "res/string_table.h"
#include "platform/data_dir.h"
#include "search/common_first.h"
#include "search/commonness_table.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Set when GTK has finished drawing the list's tree view. GTK draws on its
// frame clock, so the time to paint is the time until this "draw" signal has
// run; it is hooked through GObject's own call, looked up in the process.
bool g_drawn = false;

int OnDrawn(void*, void*, void*) {
    g_drawn = true;
    return 0;
}

void HookDrawSignal(GtkWidget* widget) {
    using Connect = unsigned long (*)(void*, const char*, void*, void*, void*, int);
    auto connect = reinterpret_cast<Connect>(::dlsym(RTLD_DEFAULT, "g_signal_connect_data"));
    if (!connect) {
        std::fprintf(stderr, "g_signal_connect_data not found\n");
        std::exit(1);
    }
    connect(widget, "draw", reinterpret_cast<void*>(&OnDrawn), nullptr, nullptr, 1 /* G_CONNECT_AFTER */);
}

// Processes events until the list has been drawn (or two seconds pass).
void WaitForPaint(wxWindow* window) {
    g_drawn = false;
    window->Refresh();
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (!g_drawn && Clock::now() < deadline) {
        if (!wxTheApp->Yield(true))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

void Settle(wxWindow* window) {
    WaitForPaint(window);
    const auto until = Clock::now() + std::chrono::milliseconds(100);
    while (Clock::now() < until)
        wxTheApp->Yield(true);
}

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    RecordWorkDir();
    int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    if (argc > 2)
        SetDataDirForTesting(argv[2]);
    {
        CCommonnessTable table;
        if (!table.Open(DataFilePath(kCommonnessTableName))) {
            std::fprintf(stderr, "no commonness table: %s\n", table.Error().c_str());
            return 1;
        }
    }

    CDictionary dict(GetWorkDir());
    if (Status opened = dict.OpenForReading(); !opened) {
        ShowStatus(opened);
        std::fprintf(stderr, "no dictionary.dat in the working directory\n");
        return 1;
    }
    int bestLength = 2, bestCount = -1;
    for (int length = 2; length <= dict.GetMaxLength(); ++length) {
        int count = 0;
        if (dict.PrepareSearch(FALSE, std::to_string(length), "", FALSE, count) && count > bestCount) {
            bestCount = count;
            bestLength = length;
        }
    }
    std::vector<std::string> words;
    {
        int count = 0;
        dict.PrepareSearch(FALSE, std::to_string(bestLength), "", FALSE, count);
        CString word;
        while (dict.NextMatch(word, FALSE))
            words.push_back(word);
    }

    auto* dlg = new CMainDlg();
    dlg->Show();
    CSolutionsList* list = dlg->Solutions();
    HookDrawSignal(list->GtkGetTreeView());
    Settle(list);

    std::printf("length %d: %zu words\n", bestLength, words.size());
    double bestFill = 1e9, bestFind = 1e9, bestCommon = 1e9, bestOrdered = 1e9;
    for (int run = 0; run < runs; ++run) {
        list->SetRows({"X"}, false);
        Settle(list);
        // The list alone: fill and paint.
        auto start = Clock::now();
        list->SetRows(words);
        WaitForPaint(list);
        const double fill = Ms(Clock::now() - start);
        bestFill = std::min(bestFill, fill);

        // The whole Find: decode, fill and paint.
        list->SetRows({"X"}, false);
        Settle(list);
        dlg->LimitCheck()->SetValue(false);
        dlg->PatternCombo()->ChangeValue(std::to_string(bestLength));
        start = Clock::now();
        dlg->OnFind();
        WaitForPaint(list);
        const double find = Ms(Clock::now() - start);
        bestFind = std::min(bestFind, find);
        const bool paintedFind = g_drawn;

        // Common words first on the decoded words: rank, order, fill and
        // paint.
        list->SetRows({"X"}, false);
        Settle(list);
        start = Clock::now();
        CCommonnessTable table;
        CCommonnessWalk walk;
        const bool bRanked =
            table.Open(DataFilePath(kCommonnessTableName)) && walk.Start(table, static_cast<size_t>(bestLength));
        std::array<std::vector<std::string>, CCommonFirstMatches::kRanks> byRank;
        for (const std::string& w : words) {
            uint8_t rank = 0;
            if (bRanked && !walk.RankNext(w.data(), 1, &rank))
                rank = 0;
            byRank[rank].push_back(w);
        }
        std::vector<std::string> ordered;
        ordered.reserve(words.size());
        for (std::vector<std::string>& rank : byRank)
            for (std::string& w : rank)
                ordered.push_back(std::move(w));
        const double order = Ms(Clock::now() - start);
        list->SetRows(std::move(ordered));
        WaitForPaint(list);
        const double orderedMs = Ms(Clock::now() - start);
        bestOrdered = std::min(bestOrdered, orderedMs);

        // The whole Find with common words first: decode, rank, order, fill
        // and paint.
        list->SetRows({"X"}, false);
        Settle(list);
        dlg->CommonCheck()->SetValue(true);
        start = Clock::now();
        dlg->OnFind();
        WaitForPaint(list);
        const double common = Ms(Clock::now() - start);
        dlg->CommonCheck()->SetValue(false);
        bestCommon = std::min(bestCommon, common);
        std::printf("run %d: list fill+paint %.1f ms, whole Find %.1f ms; common first: order %.1f ms, "
                    "order+fill+paint %.1f ms, whole Find %.1f ms (%zu rows, first %s)%s\n",
                    run + 1, fill, find, order, orderedMs, common, list->GetCount(),
                    list->GetCount() ? list->GetRow(0).c_str() : "-", paintedFind && g_drawn ? "" : " [no paint seen]");
    }
    std::printf("best: list fill+paint %.1f ms, whole Find %.1f ms; common first: order+fill+paint %.1f ms "
                "(target 50), whole Find %.1f ms\n",
                bestFill, bestFind, bestOrdered, bestCommon);
    dlg->Destroy();
    wxTheApp->Yield(true);
    wxEntryCleanup();
    return bestFill <= 150.0 && bestOrdered <= 50.0 ? 0 : 2;
}
