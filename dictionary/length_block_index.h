// The index that the commonness table and the phrase file share: for each
// length L = 2..M one 16-byte entry (the length's entry count, its block's
// offset in the file, the block's size and the CRC-32 of its bytes, each a
// 32-bit big-endian number), after a fixed header of the file's own; the
// header is closed by the CRC-32 of all its bytes. So a Find reads the
// header and the one block of its length, and checks both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct LengthBlock {
    uint32_t count = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
    uint32_t crc = 0;
};

inline constexpr size_t kLengthBlockEntrySize = 16;

uint32_t Crc32Of(const void* data, size_t size);
uint32_t GetBigEndian32(const unsigned char* p);
void AppendBigEndian32(std::string& out, uint32_t value);
// Overwrites out[at..at + 4).
void SetBigEndian32(std::string& out, size_t at, uint32_t value);

LengthBlock ReadLengthBlockEntry(const unsigned char* p);
void AppendLengthBlockEntry(std::string& out, const LengthBlock& block);
// Overwrites the 16 bytes at `at`.
void SetLengthBlockEntry(std::string& out, size_t at, const LengthBlock& block);

// True when the `size` bytes at `data` have the CRC-32 `crc`. A fuzzing
// build takes every checksum as matching, so that its inputs reach the
// checks behind them.
bool ChecksumMatches(const void* data, size_t size, uint32_t crc);
