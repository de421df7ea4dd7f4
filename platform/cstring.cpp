#include "platform/cstring.h"

#include <cstdio>
#include <vector>

CString FormatStringV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return CString();
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return CString(buffer.data(), static_cast<size_t>(needed));
}

CString FormatString(const char* format, ...) {
    va_list args;
    va_start(args, format);
    CString result = FormatStringV(format, args);
    va_end(args);
    return result;
}

size_t CountTypedCharacters(const CString& text) {
    const auto byteAt = [&text](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++n) {
        const unsigned lead = byteAt(i);
        // Well-formed UTF-8: the sequence's length, and the range its second
        // byte must lie in (which rules out overlong forms and surrogates).
        size_t length = 1;
        unsigned low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        bool whole = length > 1 && byteAt(i + 1) >= low && byteAt(i + 1) <= high;
        for (size_t k = 2; whole && k < length; ++k)
            whole = (byteAt(i + k) & 0xC0) == 0x80;
        // A broken sequence gives its first byte as a character of its own.
        i += whole ? length : 1;
    }
    return n;
}
