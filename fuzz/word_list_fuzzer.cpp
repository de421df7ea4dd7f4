// Any bytes as a text word list, through the word-list reader and the block
// encoder on the calling thread: the three reading passes, the sort and the
// writing of dictionary.$$$, with no worker thread, no progress protocol and
// no replacement of dictionary.dat, so that far more inputs an hour reach the
// reader's buffer handling (inputs longer than its 5000-byte buffer split
// lines across refills) and the encoder. Each pass must see exactly the
// accepted lines in file order, its byte counter must end at the file length
// plus one, and the new file must hold exactly the bytes the format gives for
// the sorted distinct words. The whole job, with its thread and rename, stays
// with the import fuzzer.
#include "dictionary/dictionary.h"
#include "fuzz/fuzz_support.h"
#include "maintenance/word_list_file.h"

namespace {

// One reading pass, which must give exactly `expected`, in order; `onWord`
// takes each word as the import would.
template <class OnWord>
void ReadPass(CWordListFile& reader, int64_t nFileLength, const std::vector<std::string>& expected, const char* pass,
              OnWord onWord) {
    using fuzz::Check;
    int64_t nLength = -1;
    Check(reader.MeasureAndRewind(nLength), std::string("MeasureAndRewind failed before the ") + pass);
    Check(nLength == nFileLength, std::string("the file length is wrong in the ") + pass);
    CString word;
    int64_t nBytes = 0;
    size_t nRead = 0;
    while (reader.ReadWord(word, nBytes)) {
        Check(nRead < expected.size() && word == expected[nRead], std::string("a wrong word in the ") + pass);
        ++nRead;
        onWord(word);
    }
    Check(nRead == expected.size(), std::string("words were missing in the ") + pass);
    Check(word.empty(), std::string("ReadWord left a word behind at the end of the ") + pass);
    Check(nBytes == nFileLength + 1, std::string("the byte counter is wrong after the ") + pass);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using fuzz::Check;
    fuzz::Env& env = fuzz::Env::Get();
    const std::string text(reinterpret_cast<const char*>(data), size);
    env.Write("words.txt", text);
    env.ClearMessages();
    const std::vector<std::string> expected = fuzz::AcceptedLines(text);
    const int64_t nFileLength = static_cast<int64_t>(size);

    CWordListFile reader;
    Check(reader.Open(env.File("words.txt"), CFile::modeRead | CFile::shareDenyNone), "the word list did not open");
    int nLongest = 0;
    ReadPass(reader, nFileLength, expected, "first pass",
             [&](const CString& word) { nLongest = std::max(nLongest, static_cast<int>(word.size())); });
    Check(reader.AllocateLengthTables(nLongest), "AllocateLengthTables failed");
    ReadPass(reader, nFileLength, expected, "counting pass", [&](const CString& word) { reader.CountWord(word); });
    Check(reader.AllocateWordStore(), "AllocateWordStore failed");
    ReadPass(reader, nFileLength, expected, "storing pass", [&](const CString& word) { reader.StoreWord(word); });
    Check(!reader.InputChanged(), "the passes did not agree although the file stayed the same");
    for (int nLength = 2; nLength <= nLongest; ++nLength)
        reader.SortLength(nLength);

    CDictionary dict;
    Check(dict.OpenForWriting(), "dictionary.$$$ did not open");
    for (int nLength = 2; nLength <= nLongest; ++nLength) {
        reader.WriteLengthBlock(nLength, &dict);
        Check(reader.LengthFitsFormat(nLength), "a small input did not fit the format");
    }
    reader.WriteLengthBlock(-1, &dict);
    Check(dict.FinishWriting(), "writing dictionary.$$$ failed");
    Check(env.Read("dictionary.$$$") == fuzz::EncodeDictionary(fuzz::AcceptedWords(text)),
          "the new dictionary's bytes are wrong");
    Check(env.Messages().empty(), "a message was shown");
    return 0;
}
