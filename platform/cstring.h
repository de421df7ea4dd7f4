// The program's counted 8-bit string and the small formatting helpers that
// stand in for the framework string class's Format.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

using CString = std::string;
using UINT = unsigned int;
using BOOL = int;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// printf-style formatting into a new string.
CString FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
CString FormatStringV(const char* format, va_list args);

// Letter helpers that ignore the locale: only ASCII a-z and A-Z are letters.
inline bool IsAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The number of characters in a text as typed. Texts from the window and the
// command line are UTF-8: a lead byte and the continuation bytes (10xxxxxx)
// it announces make one character. Any other byte (a stray continuation
// byte, a cut sequence, a byte of another encoding) counts as one.
size_t CountTypedCharacters(const CString& text);
