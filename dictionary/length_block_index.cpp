#include "dictionary/length_block_index.h"

#include <zlib.h>

uint32_t Crc32Of(const void* data, size_t size) {
    return static_cast<uint32_t>(::crc32(0L, static_cast<const Bytef*>(data), static_cast<uInt>(size)));
}

uint32_t GetBigEndian32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

void AppendBigEndian32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void SetBigEndian32(std::string& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

LengthBlock ReadLengthBlockEntry(const unsigned char* p) {
    return LengthBlock{GetBigEndian32(p), GetBigEndian32(p + 4), GetBigEndian32(p + 8), GetBigEndian32(p + 12)};
}

void AppendLengthBlockEntry(std::string& out, const LengthBlock& block) {
    for (const uint32_t value : {block.count, block.offset, block.size, block.crc})
        AppendBigEndian32(out, value);
}

void SetLengthBlockEntry(std::string& out, size_t at, const LengthBlock& block) {
    SetBigEndian32(out, at, block.count);
    SetBigEndian32(out, at + 4, block.offset);
    SetBigEndian32(out, at + 8, block.size);
    SetBigEndian32(out, at + 12, block.crc);
}

bool ChecksumMatches(const void* data, size_t size, uint32_t crc) {
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    (void)data;
    (void)size;
    (void)crc;
    return true;
#else
    return Crc32Of(data, size) == crc;
#endif
}
