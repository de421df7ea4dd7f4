// The commonness table: how common each word of the SCOWL lists is, for
// "Common words first". Built at build time from tools/default-word-list
// --levels, installed beside the help book (commonness.tbl), read at each
// common-first Find.
//
// A word's level is the lowest SCOWL level that lists it (10 = the most
// common); the table ranks the levels it holds 0, 1, ... in ascending order,
// and a word it does not hold ranks after all of them.
//
// File layout, all numbers unsigned big-endian:
//   0   4  magic "GWCT"
//   4   1  format version (1)
//   5   1  number of levels N (1..15)
//   6  15  the SCOWL level of ranks 0..N-1, ascending; the rest 0
//  21   1  longest word length M (0 or 2..255)
//  22      for each length L = 2..M, 16 bytes: word count, block offset,
//          block size, CRC-32 of the block (4 bytes each;
//          dictionary/length_block_index.h)
//  then    CRC-32 of everything before it (4 bytes)
//  then    the blocks. Block L: the words' ranks, one 4-bit nibble each (high
//          nibble first, ceil(count / 2) bytes, a last odd nibble 0), then the
//          words in ascending order, packed exactly as a length block of
//          dictionary.dat: 5-bit codes 8 to a 5-byte group, 26-31 repeating
//          the first 2-7 letters of the word before.
// So a Find reads only the header and the one block of its length, and the
// ranks of its matches, which come in the same ascending order, follow from
// one walk through that block.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dictionary/length_block_index.h"
#include "platform/cstring.h"
#include "platform/read_only_file.h"

inline constexpr const char* kCommonnessTableName = "commonness.tbl";

// Builds the table's bytes from (word, SCOWL level) pairs in any order. Words
// must be 2 to 255 letters A-Z; a word listed twice keeps its lowest level.
// At most 15 distinct levels. Throws std::invalid_argument otherwise.
std::string BuildCommonnessTable(std::vector<std::pair<std::string, int>> words);

class CCommonnessTable {
    friend class CCommonnessWalk;

public:
    // The rank of a word the table does not hold.
    static constexpr uint8_t kUnknown = 15;

    CCommonnessTable() = default;
    CCommonnessTable(const CCommonnessTable&) = delete;
    CCommonnessTable& operator=(const CCommonnessTable&) = delete;
    ~CCommonnessTable();

    // Opens the table at `path` and checks its header. False when it is
    // missing, unreadable or damaged; Error() then says why.
    bool Open(const CString& path);
    // The same, from the table's bytes in memory.
    bool OpenBytes(std::string bytes);

    // The ranks of `nWords` words of `length` letters each, stored back to
    // back at `words`, into ranks[0..nWords): 0 for the most common level,
    // kUnknown for words not in the table. The words are expected in
    // ascending order, as a dictionary block gives them; out of order they
    // still get a rank, though maybe kUnknown. False when the length's block
    // is damaged (Error() says how). One CCommonnessWalk over all of them.
    bool RankWords(size_t length, const char* words, size_t nWords, uint8_t* ranks);

    // The SCOWL level of each rank, and the longest word length held.
    const std::vector<int>& Levels() const { return m_levels; }
    int MaxLength() const { return m_nMaxLength; }
    size_t WordCount(size_t length) const;
    // The bytes a walk of the block of `length` letters reads it into.
    size_t BlockBytes(size_t length) const;
    const std::string& Error() const { return m_strError; }

private:
    bool Fail(std::string why);
    bool ParseHeader(const unsigned char* data, size_t size, uint64_t fileSize);
    // Reads the block of `entry` into block[0..BlockBytes) and checks it.
    bool ReadBlock(const LengthBlock& entry, char* block);

    CReadOnlyFile m_file;
    bool m_bInMemory = false;
    std::string m_bytes;
    std::vector<int> m_levels;
    int m_nMaxLength = 0;
    std::vector<LengthBlock> m_entries;  // index L - 2
    std::string m_strError;
};

// One ordered walk through the table's block of one length: the ranks of
// words asked in ascending order, in as many calls as the caller likes (a
// Find asks each match as the search finds it). The block is read and its
// checksum checked at Start; its words are decoded a batch at a time, only
// as far as the words asked reach.
class CCommonnessWalk {
public:
    CCommonnessWalk();
    ~CCommonnessWalk();
    CCommonnessWalk(const CCommonnessWalk&) = delete;
    CCommonnessWalk& operator=(const CCommonnessWalk&) = delete;

    // Reads the block of `length` letters. False when it is unreadable or
    // damaged (Error() says why); a table with no words of that length
    // ranks every word kUnknown.
    // With `room`, the block is read into room[0..table.BlockBytes(length)),
    // which the caller keeps while the walk is used; without, into memory of
    // the walk's own.
    bool Start(CCommonnessTable& table, size_t length, char* room = nullptr);
    // How many of the block's words have each rank (all 0 without a block).
    std::array<size_t, CCommonnessTable::kUnknown + 1> RankCounts() const;
    // The ranks of the next nWords words (each `length` letters, back to
    // back), as CCommonnessTable::RankWords gives them, the walk going on
    // from where the last call left it. False on damage, and from then on.
    bool RankNext(const char* words, size_t nWords, uint8_t* ranks);
    const std::string& Error() const { return m_strError; }

private:
    struct State;
    std::unique_ptr<State> m_pState;
    std::string m_strError;
};
