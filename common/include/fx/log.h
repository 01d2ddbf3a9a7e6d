// Developer trace: the suite fails silently for users, not for us. Compiled in for
// debug builds (and when FX_TRACE is defined); visible in Wine's debugstr channel.
#pragma once
#include <windows.h>

namespace fx {
void TraceLine(const char* file, int line, const char* fmt, ...) noexcept;
}

#if !defined(NDEBUG) || defined(FX_TRACE)
#define FX_LOG(...) ::fx::TraceLine(__FILE__, __LINE__, __VA_ARGS__)
#else
#define FX_LOG(...) ((void)0)
#endif
