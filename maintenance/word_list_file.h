// CWordListFile: reads a plain text word list (one word per line), measures
// it, stores every accepted word in one block sized exactly from a counting
// pass, sorts each length, and encodes each length into a new dictionary.
//
// A line is a word when it has 2 to 255 characters, all ASCII letters; it is
// stored upper-cased. CR and LF both end lines; runs of them are one break.
// A UTF-8 byte-order mark at the very start of the file is skipped.
//
// With accent folding on, the file is read as UTF-8 and its Latin letters
// are folded to A-Z (text/letter_folding.h) as each buffer is filled; the
// lines are then found as without it. A line with bytes that are not UTF-8
// (a Latin-1 list) is skipped, and counted.
#pragma once

#include <cstdint>
#include <memory>

#include "dictionary/word_codec.h"
#include "maintenance/buffer_lines.h"
#include "platform/cstring.h"
#include "platform/file.h"
#include "platform/status.h"
#include "text/letter_folding.h"

class CDictionary;

class CWordListFile : public CFile {
public:
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Fuzzing: a buffer of a few bytes, a prime number of them and fewer
    // than the longest word, so that small inputs split lines across
    // refills at every offset, and one word across several.
    static constexpr int kBufferSize = 127;
#else
    static constexpr int kBufferSize = 5000;
#endif

    CWordListFile();
    ~CWordListFile() override;

    // Reads the file as UTF-8 with accented letters folded, from the next
    // MeasureAndRewind on.
    void SetFoldAccents(bool bFold);
    bool FoldsAccents() const { return m_pRaw != nullptr; }
    // With folding: the lines of the last complete pass that were not UTF-8.
    int64_t InvalidUtf8Lines() const { return m_fold.nInvalidLines; }

    // Opens the word list at `path` for reading; only a plain file can be
    // measured and read three times alike. Fails with 59153 and the reason.
    Status OpenList(const CString& path);
    // The file's length, then back to its start (59154 when it cannot seek).
    Status MeasureAndRewind(int64_t& nLength);
    // The length of the next word; false at the end. Every byte taken from
    // the file is added to nByteCounter, and one more at the end.
    bool ReadWordLength(int& nLength, int64_t& nByteCounter);
    // The same, storing the next word upper-cased with the others of its
    // length (in the order read) without making a string of it.
    bool ReadAndStoreWord(int64_t& nByteCounter);
    // Fails with 111 when there is no memory for them.
    Status AllocateLengthTables(int nLongest);
    void CountLength(int nLength);
    // Fails with 59160 when there is no memory for the words.
    Status AllocateWordStore();
    int64_t SortLength(int nLength);
    // Encodes the sorted words of one length as the dictionary's block of
    // that length; returns the words written (repeats once).
    int WriteLengthBlock(int nLength, CDictionary* pDict);

    // True when the passes did not see the same words (the file changed while
    // it was read): a word longer than the longest measured, or a different
    // number of words of some length. Such input is never written.
    bool InputChanged() const;
    // True once a read of the file has failed: the pass ended early, so its
    // words are not the whole list. ReadError says so (110, and the reason).
    bool ReadFailed() const { return !m_readError.Succeeded(); }
    const Status& ReadError() const { return m_readError; }

    // The stored words of one length, after SortLength: [first, last).
    char* const* WordsBegin(int nLength) const { return m_ppWords.get() + m_pnLengthTable[nLength - 1]; }
    char* const* WordsEnd(int nLength) const { return m_ppWords.get() + m_pnLengthTable[nLength]; }

    bool m_bEndOfInput = false;

private:
    // The next line that is a word: its letters as read (not upper-cased),
    // in the buffer or in m_line, until the next call.
    bool NextWord(const unsigned char*& letters, size_t& nLetters, int64_t& nByteCounter);
    // Stores a word of nLetters ASCII letters, upper-casing it on the way.
    void StoreLetters(const unsigned char* letters, size_t nLetters);
    // Fills the buffer from the start and finds its lines; false (with
    // m_bEndOfInput set) when nothing is left.
    bool Refill();
    // The same with folding: reads the file into m_pRaw and folds it into
    // the buffer.
    bool RefillFolded();
    // Keeps the first read failure of the file as the read error.
    void NoteReadFailure(const CFileException& e);
    // Appends the next nRun bytes of the buffer to the line in m_line.
    void GatherLine(int nRun, size_t& nLength);
    // Takes the next n bytes of the buffer, counting each.
    void Consume(int n, int64_t& nByteCounter) {
        m_nBufPos += n;
        m_nBufCount -= n;
        nByteCounter += n;
    }

    std::unique_ptr<int64_t[]> m_pnLengthTable;
    std::unique_ptr<char*[]> m_ppWords;
    std::unique_ptr<char[]> m_pArena;
    // One past the last index that each length may fill in the storing pass.
    std::unique_ptr<int64_t[]> m_pnLengthLimit;
    // The buffer, with room for what finding its lines reads past the end.
    unsigned char m_buffer[kBufferSize + CBufferLines<kBufferSize, kMaxWordLength>::kReadPast] = {};
    // The buffer's lines, found when it is filled; the next word to take.
    CBufferLines<kBufferSize, kMaxWordLength> m_lines;
    int m_nNextWord = 0;
    // A line that a refill splits; its last byte takes what lies past the
    // longest word.
    unsigned char m_line[kMaxWordLength + 1] = {};
    int m_nBufCount = 0;
    int m_nBufPos = 0;
    int64_t m_nWordCount = 0;
    int m_nMaxLength = 0;
    bool m_bInputChanged = false;
    Status m_readError;
    // The next refill reads the start of the file (after MeasureAndRewind).
    bool m_bAtStart = false;
    // With folding: the file's bytes before folding, of which the first
    // m_nRawKept are a UTF-8 sequence the last read cut; the lines' state.
    std::unique_ptr<unsigned char[]> m_pRaw;
    size_t m_nRawKept = 0;
    LetterFoldState m_fold;
};
