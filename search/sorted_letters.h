// The letters of a text in ascending order, repeats kept, by counting: one
// counter per letter A-Z, each character adds one to its letter's counter
// (anything else adds to none), then the letters are written out from A to Z,
// each as often as counted. Both the query's target letters and every
// candidate word's letters are sorted this way.
#pragma once

#include <cstddef>

// Writes the sorted letters of text[0..n) to out (room for n characters);
// returns how many were written.
inline size_t SortLetters(const char* text, size_t n, char* out) {
    unsigned counts[26] = {};
    for (size_t i = 0; i < n; ++i) {
        const unsigned letter = static_cast<unsigned char>(text[i]) - 'A';
        if (letter < 26)
            ++counts[letter];
    }
    char* p = out;
    for (unsigned letter = 0; letter < 26; ++letter)
        for (unsigned k = counts[letter]; k > 0; --k)
            *p++ = static_cast<char>('A' + letter);
    return static_cast<size_t>(p - out);
}
