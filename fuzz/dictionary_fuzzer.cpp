// Any bytes as dictionary.dat, searched with any pattern, letters and flags,
// then walked whole in list-all mode and written out by the export worker.
// Every word returned must have the pattern's length and letters A-Z only,
// damage may only show as the reader's own messages, and the export must
// write exactly the words that list-all mode yields, or, when a block is
// damaged, stop and leave no output.
//
// Input: a flags byte (1 anagram, 2 limit, 4 list-all for the search,
// 8 also walk and export), the pattern and the letters (each a length byte and
// that many bytes), then the dictionary file's bytes.
#include <algorithm>
#include <set>

#include "dictionary/dictionary.h"
#include "fuzz/fuzz_support.h"
#include "location/work_dir.h"
#include "maintenance/export_job.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace {

using fuzz::Check;

bool IsWord(const std::string& word, size_t length) {
    return word.size() == length &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

void CheckMessages(const std::vector<UINT>& ids) {
    static const std::set<UINT> allowed = {
        IDS_BAD_PATTERN,        IDS_BAD_REMAINDER,   IDS_REMAINDER_TOO_LONG, IDS_NO_LONGEST_LENGTH,
        IDS_CANNOT_READ_LENGTHS, IDS_CANNOT_READ_DICT, IDS_OUT_OF_MEMORY,     IDS_CANNOT_FIND_LENGTH,
        IDS_INVALID_CHARACTER,  IDS_PATTERN_TOO_LONG,  IDS_SET_NOT_CLOSED,    IDS_SET_EMPTY,
        IDS_SET_BAD_CHARACTER,  IDS_SET_BACKWARD_RANGE, IDS_SET_ALLOWS_NOTHING, IDS_STRAY_BRACKET,
        IDS_ANAGRAM_STAR,       IDS_LETTERS_STAR,
    };
    for (const UINT id : ids)
        Check(allowed.count(id) == 1, "unexpected message " + std::to_string(id));
}

void Search(BOOL anagram, BOOL limit, BOOL listAll, const std::string& pattern, const std::string& letters) {
    // What went wrong is shown as the front ends show it, for CheckMessages.
    CDictionary dict(GetWorkDir());
    if (Status opened = dict.OpenForReading(); !opened) {
        ShowStatus(opened);
        return;
    }
    dict.SetFailureReporter([](const Status& failure) { ShowStatus(failure); });
    int nResultCount = -1;
    if (Status prepared = dict.PrepareSearch(anagram, pattern, letters, limit, nResultCount); !prepared) {
        ShowStatus(prepared);
        return;
    }
    Check(nResultCount >= 0, "negative result count");
    const size_t length = dict.GetSearchState().Pattern().size();
    Check(length <= static_cast<size_t>(dict.GetMaxLength()), "pattern longer than the longest word was accepted");
    CString word;
    int nFound = 0;
    // A pattern with '*' lists words of every length it allows, shortest first.
    const bool open = dict.GetSearchState().IsOpenLength();
    size_t previous = 0;
    while (dict.NextMatch(word, listAll)) {
        Check(IsWord(word, open ? word.size() : length), "a returned word is not the pattern's length in A-Z");
        Check(word.size() <= static_cast<size_t>(dict.GetMaxLength()) && word.size() >= previous,
              "an open-length match out of length order");
        previous = word.size();
        ++nFound;
        Check(!limit || nFound <= CDictionary::kLimitMatches, "more than 100 matches with the limit on");
    }
    Check(!dict.NextMatch(word, listAll), "a match after the end of the block");
}

void WalkAndExport() {
    bool damaged = false;
    const std::vector<std::vector<std::string>> words = fuzz::ListAllWords(&damaged);
    std::string expected;
    for (size_t length = 0; length < words.size(); ++length)
        for (const std::string& word : words[length]) {
            Check(IsWord(word, length), "list-all returned a word of the wrong length or letters");
            expected += word + '\n';
        }

    fuzz::Env& env = fuzz::Env::Get();
    auto output = std::make_unique<CFile>();
    Check(output->Open(env.File("export.txt"), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive),
          "cannot create the export file");
    CExportJob job(std::move(output), env.File("export.txt"));
    CProgressDlg& progress = job.Progress();
    const JobEnd end = job.ExportThreadProc().end;  // the worker, run on this thread
    if (words.empty()) {
        Check(end == JobEnd::Failed && progress.m_bStopped.load(), "export of an unreadable file did not stop");
        return;
    }
    if (damaged) {
        Check(end == JobEnd::Failed && progress.m_bStopped.load(), "export of a damaged block did not stop");
        Check(!env.Exists("export.txt"), "a stopped export left its output");
        return;
    }
    Check(end == JobEnd::Done && progress.m_bComplete.load(), "export did not complete");
    Check(env.Read("export.txt") == expected, "export differs from the list-all walk");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Env& env = fuzz::Env::Get();
    fuzz::InputReader input(data, size);
    const uint8_t flags = input.Byte();
    const std::string pattern = input.Text(254);
    const std::string letters = input.Text(254);
    const std::string fileBytes = input.Rest();
    env.Write("dictionary.dat", fileBytes);
    // A seek index an earlier input's search left would carry state from
    // input to input.
    env.Remove(kSeekIndexName);
    env.ClearMessages();

    Search(flags & 1, (flags & 2) != 0, (flags & 4) != 0, pattern, letters);
    if (flags & 8)
        WalkAndExport();
    CheckMessages(env.Messages());
    Check(env.Read("dictionary.dat") == fileBytes, "reading changed the dictionary file");
    return 0;
}
