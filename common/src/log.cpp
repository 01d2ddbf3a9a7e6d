#include "fx/log.h"

#include <cstdarg>
#include <cstdio>

namespace fx {

void TraceLine(const char* file, int line, const char* fmt, ...) noexcept {
    char text[512];
    int n = std::snprintf(text, sizeof text, "fx: %s(%d): ", file, line);
    if (n < 0 || n >= static_cast<int>(sizeof text)) n = 0;
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text + n, sizeof text - n, fmt, args);
    va_end(args);
    OutputDebugStringA(text);
}

}  // namespace fx
