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
