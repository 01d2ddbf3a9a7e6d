// Bounded text helpers for the suite's fixed single-byte buffers.
#pragma once
#include <cstddef>

namespace fx {

// Copies at most cap-1 bytes of src and always terminates dst (cap > 0).
// A null src gives an empty text. Returns true when nothing was cut.
bool CopyText(char* dst, size_t cap, const char* src) noexcept;

template <size_t N>
bool CopyText(char (&dst)[N], const char* src) noexcept { return CopyText(dst, N, src); }

// Appends src to the text already in dst, bounded the same way.
bool AppendText(char* dst, size_t cap, const char* src) noexcept;

// The number that the leading decimal digits of text give (0 when none);
// saturates instead of overflowing.
int LeadingNumber(const char* text) noexcept;

}  // namespace fx
