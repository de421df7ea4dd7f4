// Measures how long the solutions list takes to fill and paint the words of
// the most populous length of the dictionary in the working directory, with
// the limit off, as Find does it. Run under Xvfb by bench/gui-list-bench.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/utils.h>

#include "app/main_dlg.h"
#include "app/solutions_list.h"
#include "app/work_dir.h"
#include "dictionary/dictionary.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Lets GTK lay out and draw everything that is pending.
void Settle(wxWindow* window) {
    window->Refresh();
    window->Update();
    wxTheApp->Yield(true);
    window->Update();
}

}  // namespace

int main(int argc, char** argv) {
    wxEntryStart(argc, argv);
    RecordWorkDir();
    int runs = argc > 1 ? std::atoi(argv[1]) : 5;

    CDictionary dict;
    if (!dict.OpenForReading()) {
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
    Settle(dlg);
    CSolutionsList* list = dlg->Solutions();

    std::printf("length %d: %zu words\n", bestLength, words.size());
    double bestFill = 1e9, bestFind = 1e9;
    for (int run = 0; run < runs; ++run) {
        list->SetRows({"X"}, false);
        Settle(dlg);
        // The list alone: fill and paint.
        auto start = Clock::now();
        list->SetRows(words);
        Settle(dlg);
        const double fill = Ms(Clock::now() - start);
        bestFill = std::min(bestFill, fill);

        // The whole Find: decode, fill and paint.
        list->SetRows({"X"}, false);
        Settle(dlg);
        dlg->LimitCheck()->SetValue(false);
        dlg->PatternCombo()->ChangeValue(std::to_string(bestLength));
        start = Clock::now();
        dlg->OnFind();
        Settle(dlg);
        const double find = Ms(Clock::now() - start);
        bestFind = std::min(bestFind, find);
        std::printf("run %d: list fill+paint %.1f ms, whole Find %.1f ms (%zu rows)\n", run + 1, fill, find,
                    list->GetCount());
    }
    std::printf("best: list fill+paint %.1f ms, whole Find %.1f ms\n", bestFill, bestFind);
    dlg->Destroy();
    wxTheApp->Yield(true);
    wxEntryCleanup();
    return bestFill <= 150.0 ? 0 : 2;
}
