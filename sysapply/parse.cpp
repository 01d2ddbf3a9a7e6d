#include "sysapply/parse.h"

#include <cstdio>
#include <cstring>

namespace sysapply {

namespace {

// One blank-separated part of a terminated text.
struct Part {
    const char* text;
    size_t len;
    const char* next;  // start of the following part, or null after the last one
};

Part PartAt(const char* p) noexcept {
    const char* blank = std::strchr(p, ' ');
    if (!blank) return {p, std::strlen(p), nullptr};
    return {p, static_cast<size_t>(blank - p), blank + 1};
}

}  // namespace

BYTE LowByteOfNumber(const char* text, size_t len) noexcept {
    size_t i = 0;
    bool negative = false;
    if (i < len && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned value = 0;
    for (; i < len && text[i] >= '0' && text[i] <= '9'; ++i) value = (value * 10 + (text[i] - '0')) & 0xFFu;
    if (negative) value = (0u - value) & 0xFFu;
    return static_cast<BYTE>(value);
}

COLORREF ParseColour(const char* text) noexcept {
    BYTE rgb[3] = {};
    const char* p = text;
    for (BYTE& c : rgb) {
        if (!p) break;
        const Part part = PartAt(p);
        c = LowByteOfNumber(part.text, part.len);
        p = part.next;
    }
    return RGB(rgb[0], rgb[1], rgb[2]);
}

size_t ParseByteList(const char* text, unsigned char* out, size_t cap) noexcept {
    size_t count = 0;
    const char* p = text;
    while (p && count < cap) {
        const Part part = PartAt(p);
        if (part.len == 0) break;
        out[count++] = LowByteOfNumber(part.text, part.len);
        p = part.next;
    }
    return count;
}

bool FormatByteList(const unsigned char* bytes, size_t count, char* text, size_t cap) noexcept {
    if (!text || cap == 0) return false;
    size_t used = 0;
    text[0] = '\0';
    for (size_t i = 0; i < count; ++i) {
        const int n = std::snprintf(text + used, cap - used, i ? " %u" : "%u", static_cast<unsigned>(bytes[i]));
        if (n < 0 || static_cast<size_t>(n) >= cap - used) {
            text[0] = '\0';
            return false;
        }
        used += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace sysapply
