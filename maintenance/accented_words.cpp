#include "maintenance/accented_words.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dictionary/word_codec.h"
#include "platform/file.h"
#include "text/letter_folding.h"

namespace {

// The words a dictionary holds (after folding).
constexpr size_t kMinLetters = kMinWordLength;
constexpr size_t kMaxLetters = kMaxWordLength;

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsWord(const unsigned char* text, size_t n) {
    return n >= kMinLetters && n <= kMaxLetters && std::all_of(text, text + n, IsLetter);
}

// Whether a line (without its line break) is a word only once folded.
bool OnlyFoldingKeeps(std::string_view line, std::vector<unsigned char>& folded) {
    if (line.size() > 4 * kMaxLetters)
        return false;  // too long to fold into a word: a UTF-8 letter is at most 4 bytes
    const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
    if (std::none_of(bytes, bytes + line.size(), [](unsigned char c) { return c >= 0x80; }))
        return false;  // plain ASCII: a word or not as it stands
    folded.resize(line.size());
    size_t nOut = 0;
    LetterFoldState state;
    FoldWordListText(bytes, line.size(), true, folded.data(), nOut, state);
    return IsWord(folded.data(), nOut);
}

}  // namespace

int64_t CountWordsOnlyFoldingKeeps(const CString& path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return 0;
    int64_t nCount = 0;
    std::string line;
    std::vector<unsigned char> folded;
    std::vector<char> buffer(1 << 16);
    bool bFirst = true;
    const auto endLine = [&]() {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (bFirst && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);  // a byte-order mark
        bFirst = false;
        nCount += OnlyFoldingKeeps(line, folded);
        line.clear();
    };
    try {
        for (unsigned n; (n = file.Read(buffer.data(), static_cast<unsigned>(buffer.size()))) > 0;) {
            for (unsigned i = 0; i < n; ++i) {
                if (buffer[i] == '\n')
                    endLine();
                else if (line.size() <= 4 * kMaxLetters)
                    line += buffer[i];
            }
        }
    } catch (const CFileException&) {
        // What was read counts; the import will say what is wrong with the file.
    }
    if (!line.empty())
        endLine();
    file.Abort();
    return nCount;
}
