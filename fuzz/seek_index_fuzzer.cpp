// Any dictionary and any pattern, searched through the seek index: the index
// that a search builds from the dictionary (damaged or not), and the same
// index read back from its file, must give exactly the words and messages of
// the same search walking whole blocks. Then any bytes as the index, with its
// key set to the dictionary's so that the reader goes past it: checksums are
// off in fuzzing builds, so such an index can be wrong in ways a real one
// cannot be unnoticed, and the search must only stay within its memory.
//
// Input: a flags byte (1: the dictionary's bytes are taken as they are, else
// they are made from words), a pattern (a length byte and that many bytes),
// the dictionary's words or bytes (likewise), then the index's bytes.
#include "dictionary/dictionary.h"
#include "dictionary/length_block_index.h"
#include "fuzz/fuzz_support.h"
#include "location/work_dir.h"
#include "res/string_table.h"

namespace {

using fuzz::Check;

struct Found {
    std::vector<std::string> words;
    std::vector<UINT> messages;
};

Found Search(const std::string& pattern) {
    fuzz::Env& env = fuzz::Env::Get();
    env.ClearMessages();
    Found found;
    CDictionary dict(GetWorkDir());
    if (Status opened = dict.OpenForReading(); !opened) {
        ShowStatus(opened);
    } else {
        dict.SetFailureReporter([](const Status& failure) { ShowStatus(failure); });
        int count = 0;
        if (Status prepared = dict.PrepareSearch(false, pattern, CString(), false, count); !prepared)
            ShowStatus(prepared);
        else
            for (CString word; dict.NextMatch(word, false);)
                found.words.push_back(word);
    }
    found.messages = env.Messages();
    return found;
}

// Words of 2 to 7 letters from a small alphabet, so that many share their
// first letters and the blocks have runs to skip.
std::string DictionaryFromText(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t length = 2 + static_cast<unsigned char>(text[at++]) % 6;
        std::string word;
        for (; word.size() < length && at < text.size(); ++at)
            word.push_back(static_cast<char>('A' + static_cast<unsigned char>(text[at]) % 6));
        if (word.size() == length)
            lines.push_back(word);
    }
    return fuzz::EncodeDictionary(fuzz::WordsByLength(lines));
}

// The key fields of `index` (bytes 5 to 32) made those of dictionary.dat as
// it is now: size, last change and inode from the file system, then the
// trailer's checksum as the reader makes it.
std::string KeyedToDictionary(std::string index) {
    CDictionary dict(GetWorkDir());
    SeekIndexKey key;
    if (index.size() < 33 || !dict.OpenForReading() || !dict.MakeSeekIndexKey(key))
        return index;
    for (int i = 0; i < 8; ++i) {
        index[5 + i] = static_cast<char>(key.size >> (56 - 8 * i));
        index[13 + i] = static_cast<char>(key.modifiedNs >> (56 - 8 * i));
        index[21 + i] = static_cast<char>(key.inode >> (56 - 8 * i));
    }
    SetBigEndian32(index, 29, key.trailerCrc);
    return index;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Env& env = fuzz::Env::Get();
    fuzz::InputReader input(data, size);
    const uint8_t flags = input.Byte();
    const std::string pattern = input.Text(40);
    const std::string text = input.Text(255);
    const std::string indexBytes = input.Rest();
    env.Write("dictionary.dat", flags & 1 ? text : DictionaryFromText(text));
    env.Remove(kSeekIndexName);

    CDictionary::SetSeekWorthWordsForTesting(CDictionary::kSeekWorthWords);
    const Found whole = Search(pattern);
    // (A file taken as it is may claim blocks of any size.)
    Check((flags & 1) || !env.Exists(kSeekIndexName), "a search of small blocks made an index");
    env.Remove(kSeekIndexName);

    CDictionary::SetSeekWorthWordsForTesting(0);
    const Found built = Search(pattern);
    Check(built.words == whole.words, "the words differ through a built index");
    Check(built.messages == whole.messages, "the messages differ through a built index");
    const Found read = Search(pattern);
    Check(read.words == whole.words, "the words differ through an index read back");
    Check(read.messages == whole.messages, "the messages differ through an index read back");

    env.Write(kSeekIndexName, KeyedToDictionary(indexBytes));
    Search(pattern);
    return 0;
}
