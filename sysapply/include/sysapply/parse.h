// The texts of stored appearances: numbers separated by single blanks, where only
// the low 8 bits of each number count.
#pragma once
#include <windows.h>
#include <cstddef>

namespace sysapply {

// The decimal number at text[0..len) (optional sign, then digits; stops at any
// other character; no digits gives 0) reduced to its low 8 bits. Exact for any
// number of digits, so "300" gives 44 and "-1" gives 255.
BYTE LowByteOfNumber(const char* text, size_t len) noexcept;

// "R G B": the first three blank-separated parts of a terminated text; missing or
// empty parts count as 0.
COLORREF ParseColour(const char* text) noexcept;

// Stores the low 8 bits of each blank-separated number of a terminated text into
// out, in order, until an empty part (two blanks in a row, or the end) or cap
// bytes. Returns the count stored; bytes after it are left as they were.
size_t ParseByteList(const char* text, unsigned char* out, size_t cap) noexcept;

// Writes bytes as decimal numbers separated by single blanks. Returns false (and
// an empty text) when the text would not fit in cap bytes.
bool FormatByteList(const unsigned char* bytes, size_t count, char* text, size_t cap) noexcept;

}  // namespace sysapply
