// CBufferLines: the lines of one buffer of a word list, found right after the
// buffer is filled. The buffer is looked at sixteen bytes at a time for line
// breaks (CR, LF) and for bytes that are not ASCII letters; then each line
// break and each other non-letter is one step of a loop without a branch
// that depends on the text. What comes out is every line that lies whole in
// the buffer and is a word (2 to kMaxWordLength letters), and what the
// reader needs of the two lines the buffer's ends may cut: the first (up to
// the first break) and the last (after the last break).
//
// Looking at each byte with a table and a branch, and branching on how each
// line ended, took most of an import's time: the reader reads the whole
// list three times.
#pragma once

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

template <int kCapacity, int kMaxWordLength>
class CBufferLines {
public:
    // Bytes past the buffer's kCapacity that Find may read (never use): the
    // buffer is looked at in whole chunks of sixteen.
    static constexpr int kReadPast = 16;

    struct Span {
        int start;
        int length;
    };

    // Finds the lines of buffer[0..nCount), 0 < nCount <= kCapacity.
    void Find(const unsigned char* buffer, int nCount) {
        m_nWords = 0;
        m_nFirstBreak = -1;
        int lineStart = 0;
        int sawNonLetter = 0;  // in the line so far
        for (int block = 0; block * 64 < nCount; ++block) {
            uint64_t breaks = 0;
            uint64_t nonLetters = 0;  // line breaks among them
            for (int part = 0; part < 64 && block * 64 + part < nCount; part += 16) {
                const Marks16 marks = MarkSixteen(buffer + block * 64 + part);
                breaks |= static_cast<uint64_t>(marks.breaks) << part;
                nonLetters |= static_cast<uint64_t>(marks.nonLetters) << part;
            }
            const int nInBlock = nCount - block * 64;
            if (nInBlock < 64) {
                const uint64_t inBuffer = (uint64_t{1} << nInBlock) - 1;
                breaks &= inBuffer;
                nonLetters &= inBuffer;
            }
            if (m_nFirstBreak < 0 && breaks != 0) {
                m_nFirstBreak = block * 64 + std::countr_zero(breaks);
                m_bFirstAllLetters = (nonLetters & ((uint64_t{1} << std::countr_zero(breaks)) - 1)) == 0 &&
                                     sawNonLetter == 0;
            }
            for (uint64_t bits = nonLetters; bits != 0; bits &= bits - 1) {
                const int bit = std::countr_zero(bits);
                const int pos = block * 64 + bit;
                const int isBreak = static_cast<int>((breaks >> bit) & 1);
                const int length = pos - lineStart;
                const int isWord = isBreak & (sawNonLetter ^ 1) & static_cast<int>(length >= 2) &
                                   static_cast<int>(length <= kMaxWordLength);
                m_words[m_nWords] = {lineStart, length};
                m_nWords += isWord;
                lineStart = isBreak ? pos + 1 : lineStart;
                sawNonLetter = isBreak ^ 1;
            }
        }
        m_nLastStart = lineStart;
        m_bLastAllLetters = sawNonLetter == 0;
        if (m_nFirstBreak < 0) {
            m_nFirstBreak = nCount;
            m_bFirstAllLetters = m_bLastAllLetters;
        }
    }

    // No lines: an empty buffer.
    void Clear() {
        m_nWords = 0;
        m_nFirstBreak = 0;
        m_nLastStart = 0;
    }

    // The lines that lie whole in the buffer and are words, in order.
    int WordCount() const { return m_nWords; }
    Span Word(int index) const { return m_words[index]; }
    // The first line: it ends at FirstBreak(), nCount when the buffer holds
    // no line break.
    int FirstBreak() const { return m_nFirstBreak; }
    bool FirstAllLetters() const { return m_bFirstAllLetters; }
    // The last line: it starts at LastStart() (0 when the buffer holds no
    // line break; nCount when it ends with one) and runs to the end.
    int LastStart() const { return m_nLastStart; }
    bool LastAllLetters() const { return m_bLastAllLetters; }

    // Sixteen bytes' marks, one bit per byte (byte i in bit i).
    struct Marks16 {
        unsigned breaks;
        unsigned nonLetters;
    };
    static Marks16 MarkSixteen(const unsigned char* p) {
#if defined(__SSE2__)
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i breaks =
            _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')));
        // Folded to lower case and moved so that 'a'..'z' are the 26 lowest
        // signed byte values; every other byte lands above them.
        const __m128i moved =
            _mm_sub_epi8(_mm_or_si128(v, _mm_set1_epi8(0x20)), _mm_set1_epi8(static_cast<char>('a' + 128)));
        const __m128i letters = _mm_cmplt_epi8(moved, _mm_set1_epi8(static_cast<char>(-128 + 26)));
        return {static_cast<unsigned>(_mm_movemask_epi8(breaks)),
                ~static_cast<unsigned>(_mm_movemask_epi8(letters)) & 0xFFFFu};
#else
        return MarkSixteenPortable(p);
#endif
    }
    // The same without SSE2, eight bytes at a time in a 64-bit word.
    static Marks16 MarkSixteenPortable(const unsigned char* p) {
        const Marks16 low = MarkEight(p);
        const Marks16 high = MarkEight(p + 8);
        return {low.breaks | high.breaks << 8, low.nonLetters | high.nonLetters << 8};
    }

private:
    // Each byte's answer in its high bit, then the eight high bits gathered
    // into one byte.
    static Marks16 MarkEight(const unsigned char* p) {
        constexpr uint64_t kOnes = 0x0101010101010101u;
        constexpr uint64_t kLow7 = 0x7F * kOnes;
        constexpr uint64_t kHigh = 0x80 * kOnes;
        uint64_t x = 0;
        for (int i = 7; i >= 0; --i)
            x = (x << 8) | p[i];  // byte i in bits 8i..8i+7 on any machine
        // The high bit of each byte equal to c; exact, no carry between bytes.
        const auto equal = [x](unsigned char c) {
            const uint64_t y = x ^ (c * kOnes);
            return ~(((y & kLow7) + kLow7) | y) & kHigh;
        };
        const uint64_t breaks = equal('\n') | equal('\r');
        const uint64_t folded = (x | 0x20 * kOnes) & kLow7;
        const uint64_t atLeastA = folded + (0x80 - 'a') * kOnes;
        const uint64_t pastZ = folded + (0x80 - 'z' - 1) * kOnes;
        const uint64_t nonLetters = ~(atLeastA & ~pastZ & ~x) & kHigh;
        const auto gather = [](uint64_t highBits) {
            return static_cast<unsigned>(((highBits >> 7) * 0x0102040810204080u) >> 56);
        };
        return {gather(breaks), gather(nonLetters)};
    }

    // A word takes at least three bytes (two letters and a break); one more
    // slot is written, not counted, after the last word.
    Span m_words[kCapacity / 3 + 2];
    int m_nWords = 0;
    int m_nFirstBreak = 0;
    bool m_bFirstAllLetters = false;
    int m_nLastStart = 0;
    bool m_bLastAllLetters = false;
};
