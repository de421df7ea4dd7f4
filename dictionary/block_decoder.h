// CBlockDecoder: walks one length block of dictionary.dat, a word at a time.
// It knows the block's word length and count, so a block is walked on its
// own; a search decodes through it too (the positional walk takes the
// squares' letter sets and decodes each word only as far as it fits).
//
// The decoder reads the file through a buffer of its own, from the block's
// start, and never reads past the block's end. It shows no message: a
// damaged block or a failed read comes back as the step's outcome, and the
// block counts as finished from then on.
#pragma once

#include <cstdint>

#include "dictionary/word_codec.h"
#include "platform/cstring.h"

class CFile;

// What a step of the walk found.
enum class BlockStep {
    Word,        // the next word is in the caller's string
    End,         // the block's words are all read
    Damaged,     // the codes are not a sound block (a prefix code out of place, words past the block)
    Unreadable,  // the file could not be read
};

class CBlockDecoder {
public:
    static constexpr int kBufferSize = 5000;

    // Walks the block of nCount words of nLength letters that starts at the
    // file's current position, `start`, and ends before `end`.
    void Start(CFile& file, int64_t start, int64_t end, int nCount, int nLength);
    // Leaves no block to decode: every step is End until the next Start.
    void Forget();

    int Length() const { return m_nLength; }
    int Count() const { return m_nCount; }
    int WordsRead() const { return m_nWordsRead; }
    // The index of the next code to decode, counted from `start` (8 codes a
    // group): where the next word begins, between steps.
    int64_t NextCodeIndex() const {
        return (m_nReadPos - m_nBufCount - m_nStart) / kGroupBytes * kCodesPerGroup - m_nCodes;
    }
    // Right after Start: passes over the first n (0 to 7) codes of the first
    // group, so that the walk begins at a word within it. Word when it could;
    // otherwise the block's end or failure, and the block counts as finished.
    BlockStep SkipCodes(int n);

    // The next word of the block.
    BlockStep NextWord(CString& word);
    // The next word whose letters fit the squares: letter i must be in
    // masks[i] (bit 0 for A), for Length() squares. The other words are
    // decoded only up to their first letter that does not fit.
    BlockStep NextFittingWord(const uint32_t* masks, CString& word);

private:
    bool Refill();
    // The next group of the block as a 40-bit value; kNoGroupInBlock when
    // the block has none left, kGroupUnreadable when the read failed.
    static constexpr int64_t kNoGroupInBlock = -1;
    static constexpr int64_t kGroupUnreadable = -2;
    int64_t ReadGroup();
    // After damage or a failed read: nothing more is decoded.
    BlockStep Stop(BlockStep step);

    CFile* m_pFile = nullptr;
    int m_nLength = 0;
    int m_nCount = 0;
    int m_nWordsRead = 0;
    // The codes of the current group not yet decoded, the next in bits 39-35.
    uint64_t m_nGroup = 0;
    int m_nCodes = 0;
    // The previous word's letters, which a prefix code keeps as the start of
    // the next word, and how many of them are known.
    int m_nPrevLength = 0;
    char m_prevLetters[kMaxWordLength] = {};
    // NextFittingWord: the square at which the previous word stopped fitting
    // (its letters up to there are in m_prevLetters), or its length; and the
    // prefix codes of the groups read that no word has started with yet.
    int m_nPrevFailedAt = 0;
    int64_t m_nUnsettledPrefixes = 0;
    // Past the bytes read, room for an 8-byte load of the last group.
    unsigned char m_buffer[kBufferSize + 3] = {};
    int m_nBufCount = 0;
    int m_nBufPos = 0;
    int64_t m_nReadPos = 0;   // file offset just past the bytes in m_buffer
    int64_t m_nBlockEnd = 0;  // the block's bytes end here
    int64_t m_nStart = 0;     // the walk began here
};
