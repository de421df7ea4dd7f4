#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <unistd.h>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "platform/message_box.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace fuzz {

namespace {

std::mutex g_messageMutex;
std::vector<UINT> g_messages;

void RemoveScratch() {
    std::error_code ec;
    std::filesystem::remove_all(Env::Get().Dir(), ec);
}

}  // namespace

Env& Env::Get() {
    // Never destroyed, so the exit handler that removes the directory can use it.
    static Env* env = new Env;
    return *env;
}

Env::Env() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/gridwell-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    m_dir = pattern;
    SetWorkDirForTesting(m_dir);
    SetMessageSink([](UINT nID, const CString&, MsgIcon, MsgButtons buttons) {
        std::lock_guard<std::mutex> lock(g_messageMutex);
        g_messages.push_back(nID);
        return buttons == MsgButtons::RetryCancel ? IDCANCEL : IDOK;
    });
    std::atexit(RemoveScratch);
}

void Env::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check(static_cast<bool>(out), "cannot write a scratch file");
}

std::string Env::Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool Env::Exists(const std::string& name) const { return ::access(File(name).c_str(), F_OK) == 0; }

void Env::Remove(const std::string& name) const { ::unlink(File(name).c_str()); }

std::vector<UINT> Env::Messages() const {
    std::lock_guard<std::mutex> lock(g_messageMutex);
    return g_messages;
}

void Env::ClearMessages() {
    std::lock_guard<std::mutex> lock(g_messageMutex);
    g_messages.clear();
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

void Check(bool ok, const std::string& what) { Check(ok, what.c_str()); }

std::string InputReader::Text(size_t maxLength) {
    const size_t wanted = Byte() % (maxLength + 1);
    const size_t n = std::min(wanted, m_size - m_pos);
    std::string text(reinterpret_cast<const char*>(m_data + m_pos), n);
    m_pos += n;
    return text;
}

std::string InputReader::Rest() {
    std::string rest(reinterpret_cast<const char*>(m_data + m_pos), m_size - m_pos);
    m_pos = m_size;
    return rest;
}

int RunWithoutDisplay(CProgressDlg& dlg) { return RunProgressLoop(dlg, 0, nullptr, nullptr); }

std::vector<std::vector<std::string>> ListAllWords(bool* pDamaged) {
    std::vector<std::vector<std::string>> words;
    bool damaged = false;
    // What went wrong is shown as the front ends show it.
    CDictionary dict(GetWorkDir());
    if (Status opened = dict.OpenForReading(); !opened) {
        ShowStatus(opened);
        return words;
    }
    dict.SetFailureReporter([](const Status& failure) { ShowStatus(failure); });
    words.resize(static_cast<size_t>(dict.GetMaxLength()) + 1);
    for (int length = 2; length <= dict.GetMaxLength(); ++length) {
        int count = 0;
        if (Status prepared = dict.PrepareSearch(false, std::to_string(length), CString(), false, count);
            !prepared) {
            ShowStatus(prepared);
            damaged = true;
            continue;
        }
        CString word;
        while (dict.NextMatch(word, true))
            words[static_cast<size_t>(length)].push_back(word);
    }
    if (pDamaged)
        *pDamaged = damaged || dict.DamageFound();
    return words;
}

std::vector<std::string> AcceptedLines(const std::string& text) {
    // Built without a string per rejected line: each allocation is costly
    // under AddressSanitizer, and most of a fuzzed list is rejected lines.
    std::vector<std::string> lines;
    // A UTF-8 byte-order mark at the start is skipped like a line break.
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const size_t length = end - start;
        bool accepted = length >= 2 && length <= 255;
        for (size_t i = start; accepted && i < end; ++i) {
            const char c = text[i];
            accepted = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        }
        if (accepted) {
            std::string& upper = lines.emplace_back(text, start, length);
            for (char& c : upper)
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 'a' + 'A');
        }
        start = end + 1;
    }
    return lines;
}

std::vector<std::vector<std::string>> AcceptedWords(const std::string& text) { return WordsByLength(AcceptedLines(text)); }

std::vector<std::vector<std::string>> WordsByLength(std::vector<std::string> lines) {
    // Compared by a loop of our own: the sanitizer intercepts memcmp and
    // hands every call to the fuzzer's comparison tracing, which made this
    // sort a tenth of each run.
    const auto less = [](const std::string& a, const std::string& b) {
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            if (a[i] != b[i])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
        return a.size() < b.size();
    };
    std::vector<std::vector<std::string>> words(256);
    for (std::string& line : lines)
        words[line.size()].push_back(std::move(line));
    size_t longest = 0;
    for (size_t length = 0; length < words.size(); ++length) {
        std::sort(words[length].begin(), words[length].end(), less);
        const auto same = [&less](const std::string& a, const std::string& b) { return !less(a, b) && !less(b, a); };
        words[length].erase(std::unique(words[length].begin(), words[length].end(), same), words[length].end());
        if (!words[length].empty())
            longest = length;
    }
    words.resize(longest + 1);
    return words;
}

std::string EncodeDictionary(const std::vector<std::vector<std::string>>& wordsByLength) {
    const size_t longest = wordsByLength.empty() ? 0 : wordsByLength.size() - 1;
    std::string file;
    std::string trailer;
    auto put24 = [&trailer](size_t value) {
        trailer += static_cast<char>((value >> 16) & 0xFF);
        trailer += static_cast<char>((value >> 8) & 0xFF);
        trailer += static_cast<char>(value & 0xFF);
    };
    for (size_t length = 2; length <= longest; ++length) {
        const size_t start = file.size();
        std::vector<int> codes;
        std::string previous(length, ' ');
        for (const std::string& word : wordsByLength[length]) {
            size_t shared = 0;
            while (shared < length && word[shared] == previous[shared])
                ++shared;
            if (shared > 7)
                shared = 7;
            if (shared < 2)
                shared = 0;
            if (shared > 0)
                codes.push_back(static_cast<int>(shared + 24));
            for (size_t i = shared; i < length; ++i)
                codes.push_back(word[i] - 'A');
            previous = word;
        }
        while (codes.size() % 8 != 0)
            codes.push_back(0);
        for (size_t g = 0; g < codes.size(); g += 8) {
            uint64_t value = 0;
            for (size_t i = 0; i < 8; ++i)
                value = (value << 5) | static_cast<uint64_t>(codes[g + i]);
            for (int shift = 32; shift >= 0; shift -= 8)
                file += static_cast<char>((value >> shift) & 0xFF);
        }
        put24(wordsByLength[length].size());
        put24(start);
    }
    return file + trailer + static_cast<char>(longest);
}

}  // namespace fuzz
