// The seek index (dictionary.idx beside dictionary.dat): where in each length
// block the words of each two-letter start begin. A Find whose first squares
// allow only some letters (`un*ing`, `c?t`, `[sz]????`) decodes just the runs
// of words that begin with letters it allows, instead of the whole block.
//
// Within a block the words of one start follow one another (the words are
// sorted), and the first word of a run is spelt out in full: a prefix code
// repeats at least two letters, so a word whose first two letters differ from
// the word before it starts with letter codes. Decoding can begin there with
// nothing known of the words before.
//
// The index is derived from dictionary.dat alone and keyed to that file's
// inode, size, time of last change and trailer; a Find that finds it missing,
// damaged or keyed to another file builds it afresh from the file it has
// open. A
// block that is not sound (damaged, or a start that comes back after another)
// is left out, and is then walked whole, so its damage is found as before.
//
// File layout (doc/seek_index_format.md), all numbers unsigned big-endian:
//   0   4  magic "GWSI"
//   4   1  format version (1)
//   5   8  dictionary.dat's size
//  13   8  its last change, nanoseconds since 1970
//  21   8  its inode number
//  29   4  CRC-32 of its word counts and block starts (SeekIndexKey)
//  33   1  M, dictionary.dat's longest word length (0 or 2..255)
//  34      for each length L = 2..M, 16 bytes: entry count, block offset,
//          block size, CRC-32 of the block (dictionary/length_block_index.h);
//          a count of 0 for a length that has words means "not indexed"
//  then    CRC-32 of everything before it
//  then    the blocks: per entry 10 bytes, the two letters 'A'-'Z', the index
//          of the run's first code in the length block (8 codes a group), and
//          the index of its first word.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dictionary/length_block_index.h"
#include "platform/cstring.h"
#include "platform/read_only_file.h"

inline constexpr const char* kSeekIndexName = "dictionary.idx";

// What an index is made for: dictionary.dat as the file system knows it
// (FileIdentity's inode, size and time of last change), and the CRC-32 of its
// trailer's word counts and block starts, 3 bytes each, lengths 2..M in order.
struct SeekIndexKey {
    uint64_t size = 0;
    uint64_t modifiedNs = 0;
    uint64_t inode = 0;
    uint32_t trailerCrc = 0;
    bool operator==(const SeekIndexKey&) const = default;
};

// The start of a run of words sharing their first two letters.
struct SeekEntry {
    char first = 'A';
    char second = 'A';
    uint32_t code = 0;  // the index of the run's first code in its block
    uint32_t word = 0;  // the index of its first word in its block
};

// Words [firstWord, firstWord + count) of a block, whose first code is
// firstCode; the first word begins with `first`, `second`.
struct WordRange {
    uint32_t firstCode = 0;
    uint32_t firstWord = 0;
    uint32_t count = 0;
    char first = 'A';
    char second = 'A';
};

// The index's bytes for the dictionary file `dictionary`, whose longest word
// length is maxLength: entries[L] for L = 2..maxLength lists the runs of
// block L in order (empty: not indexed); shorter vectors leave the rest out.
std::string BuildSeekIndex(const SeekIndexKey& dictionary, int maxLength,
                           const std::vector<std::vector<SeekEntry>>& entries);

// Writes the index through a temporary file in the same folder, renamed into
// place, so a reader sees the old index or the new one whole. False when it
// could not be written (the index is then only missing, never half there).
bool WriteSeekIndexFile(const CString& path, const std::string& bytes);

class CSeekIndex {
public:
    // Opens the index at `path` and checks its header against `dictionary`.
    // False when it is missing, damaged or made for another file.
    bool Open(const CString& path, const SeekIndexKey& dictionary);
    // The same, from the index's bytes in memory.
    bool OpenBytes(std::string bytes, const SeekIndexKey& dictionary);
    bool IsOpen() const { return m_bOpen; }
    int MaxLength() const { return m_nMaxLength; }

    // The runs of block `length` (wordCount words in blockBytes bytes) whose
    // first letter is in mask0 and second in mask1 (bit 0 for A), adjacent
    // runs joined, in block order. False when the index does not cover the
    // block (not indexed, or its entries are damaged): walk it whole.
    bool FittingRanges(int length, uint32_t wordCount, uint64_t blockBytes, uint32_t mask0, uint32_t mask1,
                       std::vector<WordRange>& ranges) const;

private:
    bool ParseHeader(const unsigned char* data, size_t size, uint64_t fileSize, const SeekIndexKey& dictionary);
    bool ReadBlock(const LengthBlock& block, std::string& out) const;

    bool m_bOpen = false;
    int m_nMaxLength = 0;
    std::vector<LengthBlock> m_blocks;  // by length - 2
    CReadOnlyFile m_file;
    std::string m_bytes;  // the whole index, when opened from memory
    bool m_bFromMemory = false;
};
