#include "fx/text.h"

#include <climits>
#include <cstring>

namespace fx {

bool CopyText(char* dst, size_t cap, const char* src) noexcept {
    if (!dst || cap == 0) return false;
    if (!src) { dst[0] = '\0'; return true; }
    size_t n = 0;
    while (n + 1 < cap && src[n] != '\0') {
        dst[n] = src[n];
        ++n;
    }
    dst[n] = '\0';
    return src[n] == '\0';
}

bool AppendText(char* dst, size_t cap, const char* src) noexcept {
    if (!dst || cap == 0) return false;
    size_t used = strnlen(dst, cap);
    if (used >= cap) { dst[cap - 1] = '\0'; return false; }
    return CopyText(dst + used, cap - used, src);
}

int LeadingNumber(const char* text) noexcept {
    if (!text) return 0;
    long long v = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(v);
}

}  // namespace fx
