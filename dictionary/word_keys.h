// Word keys and the in-memory walk of a length block that yields them: the
// word codec's decoder for a block held whole in memory (the commonness
// table's), where a word is wanted as numbers to compare rather than as a
// string. dictionary.dat's blocks are walked through the file by
// CBlockDecoder; both read the codes through word_codec.h.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "dictionary/word_codec.h"

namespace word_keys {

// A word as numbers for comparing: its letters read 8 at a time as
// big-endian numbers. Two words of one length compare as their numbers do,
// first to last, which is memcmp's order. Words of up to 16 letters, nearly
// every Find, take one or two numbers with the letters from the top byte
// down and zero bytes after the last; longer ones take as many numbers as
// they have 8 letters, the last number holding the word's last 8 letters
// (overlapping the one before, so that it too is one whole load).
constexpr size_t kMaxChunks = (kMaxWordLength + 7) / 8;
using WordKey = std::array<uint64_t, kMaxChunks>;

constexpr size_t ChunksOf(size_t length) { return length < 8 ? 1 : (length + 7) / 8; }

inline uint64_t LoadBigEndian(const char* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    if constexpr (std::endian::native == std::endian::little)
        value = __builtin_bswap64(value);
    return value;
}

// The top n bytes (1 to 8) of a number set.
constexpr uint64_t TopBytes(size_t n) { return n >= 8 ? ~uint64_t{0} : ~(~uint64_t{0} >> (8 * n)); }

// kChunks: the number of chunks when the caller knows it (1 or 2), else 0.
template <size_t kChunks>
[[gnu::always_inline]] inline void KeyOfLetters(const char* word, size_t length, WordKey& key) {
    if constexpr (kChunks == 1) {
        if (length == 8) {
            key[0] = LoadBigEndian(word);
        } else {
            uint64_t value = 0;
            for (size_t i = 0; i < length; ++i)
                value = (value << 8) | static_cast<unsigned char>(word[i]);
            key[0] = value << (8 * (8 - length));
        }
    } else if constexpr (kChunks == 2) {
        key[0] = LoadBigEndian(word);
        key[1] = LoadBigEndian(word + length - 8) << (8 * (16 - length));
    } else {
        const size_t n = ChunksOf(length);
        for (size_t c = 0; c + 1 < n; ++c)
            key[c] = LoadBigEndian(word + 8 * c);
        key[n - 1] = LoadBigEndian(word + length - 8);
    }
}

// -1, 0 or 1 as a is less than, equal to or greater than b; for one or two
// numbers without a branch, since which way a merge step goes is data.
template <size_t kChunks>
[[gnu::always_inline]] inline int CompareKeys(const uint64_t* a, const uint64_t* b, size_t nChunks) {
    if constexpr (kChunks == 1) {
        return static_cast<int>(a[0] > b[0]) - static_cast<int>(a[0] < b[0]);
    } else if constexpr (kChunks == 2) {
        // As one 128-bit number: the compiler compares it without a branch.
        const auto x = (static_cast<unsigned __int128>(a[0]) << 64) | a[1];
        const auto y = (static_cast<unsigned __int128>(b[0]) << 64) | b[1];
        return static_cast<int>(x > y) - static_cast<int>(x < y);
    } else {
        for (size_t c = 0; c < nChunks; ++c)
            if (a[c] != b[c])
                return a[c] < b[c] ? -1 : 1;
        return 0;
    }
}

// Walks the packed words of one block, checking as it goes what a sound
// block guarantees: prefix codes only where a word begins and a word before
// it exists, letters only after them, and every word greater than the one
// before. The codes form one bit stream, most significant bit first, so a
// word's letters are decoded 8 at a time; the block must be followed by 8
// readable bytes.
class BlockWalker {
public:
    BlockWalker(const unsigned char* codes, size_t size, size_t length)
        : m_data(codes), m_nCodes(size / kGroupBytes * kCodesPerGroup), m_length(length), m_nChunks(ChunksOf(length)),
          m_word(length + 8, '\0') {}

    // Decodes the next word; its key goes to out[0..Chunks()). False (with
    // *why) on damage.
    template <size_t kChunks>
    bool Next(uint64_t* out, const char** why) {
        if (m_pos == m_nCodes) {
            *why = "its words run past the end of their block";
            return false;
        }
        size_t nKept = 0;
        const auto first = static_cast<unsigned>(Codes(m_pos) >> 35);
        if (first >= kFirstPrefixCode) {
            nKept = first - kPrefixCodeBias;
            if (!m_bHavePrev || nKept >= m_length) {
                *why = "a word's letters are damaged";
                return false;
            }
            ++m_pos;
        }
        if (m_nCodes - m_pos < m_length - nKept) {
            *why = "its words run past the end of their block";
            return false;
        }
        if constexpr (kChunks == 0) {
            if (!DecodeInPlace(nKept)) {
                *why = "a word's letters are damaged";
                return false;
            }
            if (m_bHavePrev && CompareKeys<0>(m_next.data(), m_key.data(), m_nChunks) <= 0) {
                *why = "its words are out of order";
                return false;
            }
            std::copy_n(m_next.begin(), m_nChunks, m_key.begin());
            std::copy_n(m_next.begin(), m_nChunks, out);
        } else {
            // In registers, and stored a number at a time: a whole key
            // read back from two stores would wait on them.
            uint64_t high = 0;
            uint64_t low = 0;
            if (!DecodeToKey<kChunks>(nKept, high, low)) {
                *why = "a word's letters are damaged";
                return false;
            }
            // Written out, not through CompareKeys: the comparison of two
            // numbers and a select was measured 3% slower here.
            const bool bGreater =
                kChunks == 1 ? high > m_key[0] : (high > m_key[0] || (high == m_key[0] && low > m_key[1]));
            if (m_bHavePrev && !bGreater) {
                *why = "its words are out of order";
                return false;
            }
            m_key[0] = high;
            out[0] = high;
            if constexpr (kChunks == 2) {
                m_key[1] = low;
                out[1] = low;
            }
        }
        m_bHavePrev = true;
        return true;
    }
    size_t Chunks() const { return m_nChunks; }
    // True when the walk has used every group of the block.
    bool AtEnd() const { return (m_pos + 7) / 8 * 8 == m_nCodes; }

private:
    // The key of a word of up to 16 letters built in registers from the
    // key before: its first nKept letters, then the codes that follow.
    // (Written to memory and read back as whole numbers, the letters would
    // wait on their own stores.)
    template <size_t kChunks>
    bool DecodeToKey(size_t nKept, uint64_t& high, uint64_t& low) {
        const size_t nFresh = m_length - nKept;
        constexpr uint64_t kA = 0x4141414141414141;  // codes to 'A'-'Z'
        const uint64_t first = SpreadCodes(Codes(m_pos));
        if (HasPrefixCode(first, std::min<size_t>(8, nFresh)))
            return false;
        const uint64_t kept = nKept == 0 ? 0 : m_key[0] & TopBytes(nKept);
        high = kept | ((first + kA) >> (8 * nKept));
        if constexpr (kChunks == 1) {
            high &= TopBytes(m_length);
        } else {
            low = nKept == 0 ? 0 : (first + kA) << (8 * (8 - nKept));
            if (nFresh > 8) {
                const uint64_t second = SpreadCodes(Codes(m_pos + 8));
                if (HasPrefixCode(second, nFresh - 8))
                    return false;
                low |= (second + kA) >> (8 * nKept);
            }
            low &= TopBytes(m_length - 8);
        }
        m_pos += nFresh;
        return true;
    }

    // Longer words: the kept letters stay in place in m_word and the rest
    // are written over the word before, 8 at a time (the last 8 may run
    // into the spare room after the word, and codes past the word are not
    // looked at).
    bool DecodeInPlace(size_t nKept) {
        char* word = m_word.data();
        for (size_t at = nKept; at < m_length; at += 8) {
            const size_t n = std::min<size_t>(8, m_length - at);
            const uint64_t codes = SpreadCodes(Codes(m_pos));
            m_pos += n;
            if (HasPrefixCode(codes, n))
                return false;
            uint64_t bytes = codes + 0x4141414141414141;
            if constexpr (std::endian::native == std::endian::little)
                bytes = __builtin_bswap64(bytes);
            std::memcpy(word + at, &bytes, sizeof bytes);
        }
        KeyOfLetters<0>(word, m_length, m_next);
        return true;
    }

    // The 8 codes from code index `at` on (those past the block's end read
    // as the spare bytes).
    uint64_t Codes(size_t at) const { return CodesAt(m_data, at); }

    const unsigned char* m_data;
    size_t m_nCodes;
    size_t m_pos = 0;
    size_t m_length;
    size_t m_nChunks;
    std::string m_word;  // words over 16 letters: the last decoded, and 8 spare bytes
    WordKey m_key{};     // the last word's key
    WordKey m_next{};    // words over 16 letters: the key being decoded
    bool m_bHavePrev = false;
};

}  // namespace word_keys
