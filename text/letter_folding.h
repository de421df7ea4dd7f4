// text/: folding of accented Latin letters to the plain letters A-Z that
// crossword grids write (É to E, Ñ to N, ß to SS, Æ to AE), for the import's
// --fold-accents and for every typed pattern and remaining letters.
//
// Text is UTF-8. A letter with marks loses them; a letter without a
// decomposition folds by a small table (ß, æ, œ, ø, ł, ð, þ ...); combining
// marks (U+0300..U+036F, as in decomposed text) are dropped. Everything else
// outside ASCII is no letter.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/cstring.h"

// What a byte no word holds becomes in folded word-list text: a line that
// held a character which is no Latin letter, or bytes that are not UTF-8, is
// then skipped as a line with any other non-letter is.
inline constexpr unsigned char kNotALetter = 0x7F;

// The folding of a word list read a buffer at a time: what lies across two
// buffers, and what the lines so far were.
struct LetterFoldState {
    // The current line held bytes that are not UTF-8.
    bool bLineInvalid = false;
    // Lines that ended holding bytes that are not UTF-8 (a Latin-1 list).
    int64_t nInvalidLines = 0;
};

// Folds in[0..n) into out (room for n bytes: folding never lengthens text).
// ASCII bytes are copied as they are; a Latin letter becomes its plain
// letters in upper case; a combining mark is dropped; any other character,
// and every byte that is not part of a valid UTF-8 sequence, becomes one
// kNotALetter. A sequence cut by the end of `in` is left unread unless
// bFinal (the end of the input), when its bytes are not UTF-8. Returns the
// bytes of `in` read; nOut is set to the bytes written.
size_t FoldWordListText(const unsigned char* in, size_t n, bool bFinal, unsigned char* out, size_t& nOut,
                        LetterFoldState& state);

// A typed pattern or remaining letters with their Latin letters folded
// ("café" to "cafE"); whatever is not a Latin letter stays as typed, so that
// the query's own checks refuse it as before. Text without a byte outside
// ASCII comes back unchanged.
CString FoldQueryLetters(const CString& text);

// True when `text` holds a byte outside ASCII.
bool HasNonAscii(const CString& text);
