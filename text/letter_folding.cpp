#include "text/letter_folding.h"

#include <cstring>

namespace {

// The table covers the Latin blocks that European word lists use: Latin-1
// Supplement, Latin Extended-A and -B, Latin Extended Additional. It is
// generated from Unicode's decompositions (tools/make-fold-table) rather
// than taken from a Unicode library at run time: the engine then needs no
// library beyond the standard one, and a letter is one table look-up.
#include "text/fold_table.inc"

// The plain letters of code point cp, "" when it is no Latin letter, or
// nullptr when it is a combining mark (dropped).
const char* FoldCodePoint(uint32_t cp) {
    if (cp >= 0x80 && cp < 0x80 + sizeof kFoldLatin / sizeof kFoldLatin[0])
        return kFoldLatin[cp - 0x80];
    if (cp >= 0x300 && cp < 0x370)
        return nullptr;
    if (cp >= 0x1E00 && cp < 0x1E00 + sizeof kFoldLatinAdditional / sizeof kFoldLatinAdditional[0])
        return kFoldLatinAdditional[cp - 0x1E00];
    return "";
}

enum class Decoded { Valid, Invalid, Cut };

// Decodes the UTF-8 sequence that starts at in[0] (a byte of 0x80 or more),
// with n bytes available; rejects overlong forms, surrogates and values
// past U+10FFFF.
Decoded DecodeSequence(const unsigned char* in, size_t n, uint32_t& cp, size_t& length) {
    const unsigned char c = in[0];
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        cp = c & 0x0F;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        cp = c & 0x07;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return Decoded::Invalid;
    }
    for (size_t k = 1; k < length; ++k) {
        if (k >= n)
            return Decoded::Cut;
        const unsigned char b = in[k];
        if (b < low || b > high)
            return Decoded::Invalid;
        low = 0x80, high = 0xBF;
        cp = (cp << 6) | (b & 0x3F);
    }
    return Decoded::Valid;
}

bool IsAsciiEight(const unsigned char* p) {
    uint64_t x;
    std::memcpy(&x, p, 8);
    return (x & 0x8080808080808080u) == 0;
}

}  // namespace

size_t FoldWordListText(const unsigned char* in, size_t n, bool bFinal, unsigned char* out, size_t& nOut,
                        LetterFoldState& state) {
    size_t i = 0, o = 0;
    while (i < n) {
        // Most of a list is ASCII: copied eight bytes at a time while no
        // line needs watching for its end.
        if (!state.bLineInvalid) {
            while (i + 8 <= n && IsAsciiEight(in + i)) {
                std::memcpy(out + o, in + i, 8);
                i += 8;
                o += 8;
            }
            if (i == n)
                break;
        }
        const unsigned char c = in[i];
        if (c < 0x80) {
            if (c == '\n' || c == '\r') {
                state.nInvalidLines += state.bLineInvalid;
                state.bLineInvalid = false;
            }
            out[o++] = c;
            ++i;
            continue;
        }
        // The common case, a letter of Latin-1 Supplement or Latin
        // Extended-A/B (two bytes, C3 A9 for é), without the general decoder:
        // its (at most two) plain letters are written as two bytes, which
        // the sequence's own two bytes make room for.
        const uint32_t pair = ((c & 0x1Fu) << 6) | (i + 1 < n ? in[i + 1] & 0x3Fu : 0u);
        if (c >= 0xC2 && c <= 0xC9 && i + 1 < n && (in[i + 1] & 0xC0) == 0x80 && pair < 0x250) {
            const char* plain = kFoldLatin[pair - 0x80];
            i += 2;
            if (plain[1]) {
                out[o] = static_cast<unsigned char>(plain[0]);
                out[o + 1] = static_cast<unsigned char>(plain[1]);
                o += 2;
            } else {
                out[o++] = plain[0] ? static_cast<unsigned char>(plain[0]) : kNotALetter;
            }
            continue;
        }
        uint32_t cp = 0;
        size_t length = 1;
        const Decoded decoded = DecodeSequence(in + i, n - i, cp, length);
        if (decoded == Decoded::Cut && !bFinal)
            break;
        if (decoded != Decoded::Valid) {
            state.bLineInvalid = true;
            out[o++] = kNotALetter;
            ++i;
            continue;
        }
        i += length;
        const char* plain = FoldCodePoint(cp);
        if (!plain)
            continue;
        if (!*plain) {
            out[o++] = kNotALetter;
            continue;
        }
        for (; *plain; ++plain)
            out[o++] = static_cast<unsigned char>(*plain);
    }
    if (bFinal && i == n) {
        state.nInvalidLines += state.bLineInvalid;
        state.bLineInvalid = false;
    }
    nOut = o;
    return i;
}

bool HasNonAscii(const CString& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

CString FoldQueryLetters(const CString& text) {
    if (!HasNonAscii(text))
        return text;
    CString folded;
    folded.reserve(text.size());
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = 0;
        size_t length = 1;
        if (in[i] < 0x80 || DecodeSequence(in + i, text.size() - i, cp, length) != Decoded::Valid) {
            folded += text[i++];
            continue;
        }
        const char* plain = FoldCodePoint(cp);
        if (plain && !*plain)
            folded.append(text, i, length);
        else if (plain)
            folded += plain;
        i += length;
    }
    return folded;
}
