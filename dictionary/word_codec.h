// The packed word codes shared by dictionary.dat and the commonness table:
// the format's constants, the encoder of a length block's words and the
// decoder that walks one block (doc/dictionary_format.md).
//
// A word of L letters is a run of 5-bit codes: 0-25 a letter A-Z, 26-31
// "the first code - 24 letters of the previous word of the block" (only as
// a word's first code). Codes are packed 8 to a 5-byte group, the first in
// the top bits; words follow one another with no separator, and a block's
// last group is completed with codes 0.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Words of the format: 2 to 255 letters A-Z.
inline constexpr int kMinWordLength = 2;
inline constexpr int kMaxWordLength = 255;
// Codes 0-25 are letters; 26-31 repeat code - 24 letters of the word before.
inline constexpr int kLetterCodes = 26;
inline constexpr int kFirstPrefixCode = 26;
inline constexpr int kPrefixCodeBias = 24;
// A prefix code repeats 2 to 7 letters: one shared letter is spelt out, and
// a longer shared run repeats 7 and spells the rest.
inline constexpr int kMinPrefix = kFirstPrefixCode - kPrefixCodeBias;
inline constexpr int kMaxPrefix = 31 - kPrefixCodeBias;
// A code group: 8 codes in 5 bytes.
inline constexpr int kCodesPerGroup = 8;
inline constexpr int kGroupBytes = 5;
// dictionary.dat's trailer numbers (a length's word count and block start)
// are 24 bits.
inline constexpr int kMaxInt24 = 0xFFFFFF;

// The number of leading letters (of n) that a and b have in common.
inline int SharedPrefix(const char* a, const char* b, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            const uint64_t diff = x ^ y;
            const int bit = std::endian::native == std::endian::little ? std::countr_zero(diff) : std::countl_zero(diff);
            return static_cast<int>(i) + bit / 8;
        }
    }
    while (i < n && a[i] == b[i])
        ++i;
    return static_cast<int>(i);
}

// The letters a prefix code repeats for a word that shares nShared leading
// letters with the word before it: 0 (no prefix code) or 2 to 7.
constexpr int PrefixLetters(int nShared) {
    return nShared > kMaxPrefix ? kMaxPrefix : (nShared < kMinPrefix ? 0 : nShared);
}

// A code group's 5 bytes as one 40-bit big-endian number, its first code in
// bits 39-35.
inline uint64_t GroupValue(const unsigned char* b) {
    return (uint64_t{b[0]} << 32) | (uint64_t{b[1]} << 24) | (uint64_t{b[2]} << 16) | (uint64_t{b[3]} << 8) |
           uint64_t{b[4]};
}

// The 5 bytes of a 40-bit group value, most significant first.
inline void StoreGroup(uint64_t value, unsigned char* out) {
    for (int i = 0; i < kGroupBytes; ++i)
        out[i] = static_cast<unsigned char>(value >> (32 - 8 * i));
}

// A block held whole in memory can also be read by code index, 8 codes at a
// time (the commonness table's walk): the 8 codes from index `at` on as the
// low 40 bits of a number, the first highest. Reads 8 bytes from byte
// 5 * at / 8 on, so the block must be followed by 8 readable bytes.
inline uint64_t CodesAt(const unsigned char* data, size_t at) {
    const size_t bit = 5 * at;
    uint64_t value;
    std::memcpy(&value, data + bit / 8, sizeof value);
    if constexpr (std::endian::native == std::endian::little)
        value = __builtin_bswap64(value);
    return (value << (bit % 8)) >> 24;
}

// Eight codes (40 bits, the first highest) spread to one byte each, the
// first in the top byte; adding 0x41 to each byte then gives the letters.
inline uint64_t SpreadCodes(uint64_t x) {
    x = ((x << 12) & 0x000FFFFF00000000) | (x & 0x00000000000FFFFF);  // 4 codes per 32 bits
    x = ((x << 6) & 0x03FF000003FF0000) | (x & 0x000003FF000003FF);   // 2 per 16
    return ((x << 3) & 0x1F001F001F001F00) | (x & 0x001F001F001F001F);  // 1 per 8
}

// True when one of the first n bytes (1 to 8, from the top) of spread codes
// holds a prefix code (26-31) rather than a letter.
inline bool HasPrefixCode(uint64_t spread, size_t n) {
    return (((spread + 0x6666666666666666) & 0x8080808080808080) >> (8 * (8 - n))) != 0;
}

// Encodes the words of one length block, in ascending order, into code
// groups. Each completed group is handed to the sink as its 40-bit value
// (sink.TakeGroup(value)); the caller writes the bytes where they belong.
// The encoder keeps a pointer to the previous word's letters, which must
// stay valid until the next word is put.
class CWordEncoder {
public:
    // A new block: no previous word, no codes pending.
    void StartBlock() {
        m_pPrev = nullptr;
        m_nValue = 0;
        m_nCodes = 0;
    }

    // Encodes a word of nLength letters A-Z. A repeat of the previous word
    // is left out: false, and nothing encoded.
    template <class Sink>
    bool PutWord(const char* word, int nLength, Sink& sink) {
        int nShared = 0;
        if (m_pPrev) {
            nShared = SharedPrefix(word, m_pPrev, static_cast<size_t>(nLength));
            if (nShared == nLength)
                return false;
        }
        const int k = PrefixLetters(nShared);
        // The pending codes stay in registers: the sink's stores could
        // alias the members, and each letter would wait on memory.
        uint64_t value = m_nValue;
        int nCodes = m_nCodes;
        const auto put = [&](unsigned code) __attribute__((always_inline)) {
            value = (value << 5) | code;
            if (++nCodes == kCodesPerGroup) {
                sink.TakeGroup(value);
                value = 0;
                nCodes = 0;
            }
        };
        if (k > 0)
            put(static_cast<unsigned>(k + kPrefixCodeBias));
        for (int i = k; i < nLength; ++i)
            put(static_cast<unsigned>(word[i] - 'A') & 0x1F);
        m_nValue = value;
        m_nCodes = nCodes;
        m_pPrev = word;
        return true;
    }

    // Completes a partly filled last group with codes 0 and hands it over;
    // false when the block ended on a group boundary (nothing to hand over).
    template <class Sink>
    bool FinishBlock(Sink& sink) {
        if (m_nCodes == 0)
            return false;
        sink.TakeGroup(m_nValue << (5 * (kCodesPerGroup - m_nCodes)));
        m_nValue = 0;
        m_nCodes = 0;
        return true;
    }

private:
    const char* m_pPrev = nullptr;
    uint64_t m_nValue = 0;  // the pending codes, the last in the low 5 bits
    int m_nCodes = 0;
};
