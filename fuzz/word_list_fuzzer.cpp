// Any bytes as a text word list, through the word-list reader and the block
// encoder on the calling thread: the three reading passes, the sort and the
// writing of dictionary.$$$, with no worker thread, no progress protocol and
// no replacement of dictionary.dat, so that far more inputs an hour reach the
// reader's buffer handling (inputs longer than its 5000-byte buffer split
// lines across refills) and the encoder. Each pass must see exactly the
// accepted lines in file order (their lengths, then the words stored), its
// byte counter must end at the file length plus one, and the new file must
// hold exactly the bytes the format gives for the sorted distinct words. The
// whole job, with its thread and rename, stays with the import fuzzer.
#include "dictionary/dictionary.h"
#include "fuzz/fuzz_support.h"
#include "location/work_dir.h"
#include "maintenance/word_list_file.h"

namespace {

// Rewinds the reader for a pass; the file's length must be as measured.
void Rewind(CWordListFile& reader, int64_t nFileLength, const char* pass) {
    using fuzz::Check;
    int64_t nLength = -1;
    Check(reader.MeasureAndRewind(nLength).Succeeded(), std::string("MeasureAndRewind failed before the ") + pass);
    Check(nLength == nFileLength, std::string("the file length is wrong in the ") + pass);
}

// The end of a pass: every word seen, the byte counter at the length plus one.
void EndPass(size_t nRead, size_t nExpected, int64_t nBytes, int64_t nFileLength, const char* pass) {
    using fuzz::Check;
    Check(nRead == nExpected, std::string("words were missing in the ") + pass);
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

    // The passes as the import runs them: the lengths (the longest found),
    // then counting them, then storing the words.
    Rewind(reader, nFileLength, "first pass");
    int64_t nBytes = 0;
    size_t nRead = 0;
    int nLongest = 0;
    int nFirstLength = 0;
    while (reader.ReadWordLength(nFirstLength, nBytes)) {
        Check(nRead < expected.size() && static_cast<size_t>(nFirstLength) == expected[nRead].size(),
              "a wrong length in the first pass");
        nLongest = std::max(nLongest, nFirstLength);
        ++nRead;
    }
    EndPass(nRead, expected.size(), nBytes, nFileLength, "first pass");

    Check(reader.AllocateLengthTables(nLongest).Succeeded(), "AllocateLengthTables failed");
    Rewind(reader, nFileLength, "counting pass");
    nBytes = 0;
    nRead = 0;
    int nLength = 0;
    while (reader.ReadWordLength(nLength, nBytes)) {
        Check(nRead < expected.size() && static_cast<size_t>(nLength) == expected[nRead].size(),
              "a wrong length in the counting pass");
        reader.CountLength(nLength);
        ++nRead;
    }
    EndPass(nRead, expected.size(), nBytes, nFileLength, "counting pass");

    Check(reader.AllocateWordStore().Succeeded(), "AllocateWordStore failed");
    Rewind(reader, nFileLength, "storing pass");
    nBytes = 0;
    nRead = 0;
    while (reader.ReadAndStoreWord(nBytes))
        ++nRead;
    EndPass(nRead, expected.size(), nBytes, nFileLength, "storing pass");
    Check(!reader.InputChanged(), "the passes did not agree although the file stayed the same");
    // Before the sort each length holds its words upper-cased in file order.
    std::vector<char* const*> next(static_cast<size_t>(nLongest) + 1);
    for (int nLength = 2; nLength <= nLongest; ++nLength)
        next[nLength] = reader.WordsBegin(nLength);
    for (const std::string& word : expected) {
        const size_t nLength = word.size();
        Check(next[nLength] != reader.WordsEnd(static_cast<int>(nLength)) && word == *next[nLength]++,
              "a wrong word stored in the storing pass");
    }
    for (int nLength = 2; nLength <= nLongest; ++nLength)
        reader.SortLength(nLength);

    CDictionary dict(GetWorkDir());
    Check(dict.OpenForWriting().Succeeded(), "dictionary.$$$ did not open");
    for (int nLength = 2; nLength <= nLongest; ++nLength) {
        reader.WriteLengthBlock(nLength, &dict);
        Check(dict.LengthFitsFormat(nLength), "a small input did not fit the format");
    }
    dict.WriteTrailer();
    Check(dict.FinishWriting().Succeeded(), "writing dictionary.$$$ failed");
    // The stored words are checked through the file: sorted, distinct and
    // encoded they must give exactly the reference's bytes.
    Check(env.Read("dictionary.$$$") == fuzz::EncodeDictionary(fuzz::WordsByLength(expected)),
          "the new dictionary's bytes are wrong");
    Check(env.Messages().empty(), "a message was shown");
    return 0;
}
