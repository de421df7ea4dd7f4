// CDictionary: the one object that opens, decodes, searches and writes the
// packed dictionary file. One object per use: a Find, an export, an import.
//
// File format: length blocks for L = 2..M of 5-bit codes packed 8 to a 5-byte
// group (codes 0-25 letters, 26-31 "first n = code-24 letters of the previous
// word"), then per length a 24-bit word count and 24-bit block start, then the
// longest length M as one byte.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/atomic_replacement.h"
#include "platform/cstring.h"
#include "platform/file.h"

class CDictionary : public CFile {
public:
    static constexpr int kBufferSize = 5000;
    static constexpr int kLimitMatches = 100;
    static constexpr int kMaxInt24 = 0xFFFFFF;
    static constexpr int kMaxWordLength = 255;

    // Works on dictionary.dat and dictionary.$$$ in `dir` ("%s/%s": an empty
    // `dir` puts them at the root). Each caller names its folder; the
    // program's dictionary folder is GetWorkDir().
    explicit CDictionary(const CString& dir);
    ~CDictionary() override;

    // Reading side.
    BOOL OpenForReading();
    BOOL OpenFile(BOOL bForReading);
    BOOL LoadTrailer();
    BOOL SeekToLength(int nLength);
    BOOL NextWord(CString& word);
    int GetMaxLength() const { return m_nMaxLength; }
    int64_t GetTotalWords() const;
    int ReadByte();
    int ReadInt24();

    // Writing side.
    BOOL OpenForWriting();
    // Adds one code to the block being written (-1 ends the block); returns
    // the bytes that this added to the file. The usual case, a code that
    // does not complete a group, is handled inline.
    int PutCode(int nCode) {
        if (nCode >= 0 && m_nCodes < 7) {
            m_codes[m_nCodes++] = static_cast<unsigned char>(nCode & 0x1F);
            return 0;
        }
        return PutCodeAndPack(nCode);
    }
    // The codes of n letters A-Z (letter - 'A' each), as n calls of PutCode
    // would put them; returns the bytes packed on the way. The code count is
    // held in a register meanwhile: each byte stored to m_codes could alias
    // it, and a word's letters would wait on each other through memory.
    int PutLetters(const char* letters, int n) {
        int nBytes = 0;
        int nCodes = m_nCodes;
        for (int i = 0; i < n; ++i) {
            m_codes[nCodes++] = static_cast<unsigned char>((letters[i] - 'A') & 0x1F);
            if (nCodes == 8) {
                m_nCodes = nCodes;
                PackGroup(FALSE);
                nBytes += 5;
                nCodes = 0;
            }
        }
        m_nCodes = nCodes;
        return nBytes;
    }
    void PackGroup(BOOL bForceWrite);
    void WriteByte(int nValue);
    void WriteInt24(int nValue);
    // Flushes the new file to disk and closes it; false after any write error.
    BOOL FinishWriting();
    BOOL ReplaceDictionary();
    // True once any write to the new file has failed (message 59148 shown).
    bool WriteFailed() const { return m_bWriteFailed; }

    // Search side.
    BOOL ParseQuery(CString& strOut, const CString& strText, BOOL bAllowDigits, BOOL bClearFirst) const;
    BOOL PrepareSearch(BOOL bAnagram, const CString& strPattern, const CString& strLetters, BOOL bLimit,
                       int& nResultCount);
    // The next match; a pattern with '*' goes on to the next length it allows
    // when a block ends (shortest words first).
    BOOL NextMatch(CString& word, BOOL bListAll);
    // The next match within the current length block only.
    BOOL NextMatchInBlock(CString& word, BOOL bListAll);
    // A pattern with '*': moves to the block of the next length it allows.
    // False when there is none, for a fixed length, and after a damaged block.
    BOOL NextLength();
    // The number of words in the current length block (as the file says).
    int GetBlockCount() const { return m_nBlockCount; }

    const CString& GetTempPath() const { return m_strTempPath; }
    // True once decoding has met a damaged block or a failed read (its
    // message shown): what was decoded is not the whole dictionary.
    bool DamageFound() const { return m_bDamageFound; }

    // Search state, public for the callers that read it back.
    BOOL m_bAnagram = FALSE;
    BOOL m_bLimit = FALSE;
    int m_nWild = 0;
    CString m_strPattern;
    CString m_strLetters;
    int m_nMatches = 0;
    // Beyond letters and '?' (search/query_grammar.h): the letters each
    // square may hold (bit 0 for A), the parsed pattern with its '*', and the
    // sets that some unknown squares must fill (an anagram's '@', '#' and
    // sets; remaining letters given as sets).
    std::vector<uint32_t> m_squareMasks;  // per square of m_strPattern (but with several '*')
    std::vector<uint32_t> m_patternTokens;  // 0 for '*'
    std::vector<uint32_t> m_setItems;
    bool m_bSquareSets = false;  // some square of a matching-word search holds a set
    bool m_bOpenLength = false;  // the pattern has a '*'
    bool m_bLettersPlaced = false;  // the letters to look for are the pattern's typed ones

private:
    bool RefillBuffer();
    // The next code group of the block as a 40-bit number, its first code in
    // bits 39-35; -1 (after its message) when the block has none left.
    int64_t UnpackGroup();
    // Leaves no block to decode: NextWord returns false until the next seek.
    void ForgetBlock();
    int PutCodeAndPack(int nCode);
    void FlushBuffer();
    void ReportWriteFailure();
    bool MatchesWord(const CString& word) const;
    bool MatchesLetters(const CString& word) const;
    // The next word of the block whose letters fit m_squareMasks, decoding
    // the others only up to their first letter that does not fit.
    BOOL NextFittingWord(CString& word);
    bool MatchesTokens(const CString& word) const;
    bool SetItemsFit(const char* sorted, size_t nSorted) const;
    // Makes the search state for words of nLength letters and seeks to their
    // block; the match count goes on.
    BOOL SetUpLength(int nLength);

    std::unique_ptr<int[]> m_pnWordCount;
    std::unique_ptr<int[]> m_pnBlockStart;
    int m_nMaxLength = 0;
    CString m_strDictPath;
    CString m_strTempPath;
    unsigned char m_codes[8] = {};  // writing: the group being filled
    int m_nCodes = 0;               // codes in m_codes, or left in m_nGroup
    // Reading: the codes of the current group not yet decoded, the next one
    // in bits 39-35; and the previous word's letters, which a prefix code
    // keeps as the start of the next word.
    uint64_t m_nGroup = 0;
    int m_nWordsRead = 0;
    int m_nPrevLength = 0;
    char m_prevLetters[kMaxWordLength] = {};
    // Past the bytes read, room for an 8-byte load of the last group.
    unsigned char m_buffer[kBufferSize + 3] = {};
    int m_nBufCount = 0;
    int m_nBufPos = 0;
    bool m_bDamageFound = false;

    // Bounds of the data part of the file: the trailer starts here.
    int64_t m_nTrailerStart = 0;
    // The block being decoded: its word count and the file range it may use.
    int m_nBlockCount = 0;
    int64_t m_nBlockEnd = 0;
    int64_t m_nReadPos = 0;  // file offset just past the bytes in m_buffer
    // Writing: set after a failed write; the new file, held so that other
    // instances leave it alone until it has replaced dictionary.dat.
    bool m_bWriteFailed = false;
    // An open-length search: the squares the pattern fixes around its '*'s
    // and how many of them are typed letters; several '*'s are matched by
    // walking the tokens.
    int m_nFixedSquares = 0;
    int m_nFixedLetters = 0;
    int m_nLength = 0;
    bool m_bManyStars = false;
    bool m_bBlockDamaged = false;  // a block ended early: no further length is read
    // NextFittingWord: the square at which the previous word stopped fitting
    // (its letters up to there are in m_prevLetters), or its length.
    int m_nPrevFailedAt = 0;
    // NextFittingWord: prefix codes of the groups it has read that no word
    // has started with yet (search/positional_scan.cpp).
    int64_t m_nUnsettledPrefixes = 0;
    CAtomicReplacement m_newFile;
};
