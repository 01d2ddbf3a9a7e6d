// The suite's registry reading rules, shared by every reader.
#pragma once
#include <windows.h>
#include <cstddef>

namespace fx {

inline constexpr size_t kRegTextSize = 260;

// Opens the key with full access and asks for exactly 4 bytes whatever the stored
// type; a missing key or value, or one longer than 4 bytes, gives the default.
// A shorter value fills the low bytes and leaves the rest zero.
LONG ReadRegDword(HKEY root, const char* subkey, const char* value, LONG fallback) noexcept;

// Fills buf (cap bytes, normally 260) with a string value; empty on any failure,
// on a value that does not fit, or on a value that is not a string. The text is
// always terminated inside buf, whatever the stored data holds.
void ReadRegString(HKEY root, const char* subkey, const char* value, char* buf, size_t cap) noexcept;

template <size_t N>
void ReadRegString(HKEY root, const char* subkey, const char* value, char (&buf)[N]) noexcept {
    ReadRegString(root, subkey, value, buf, N);
}

// Creates the key if needed, then sets text as REG_SZ with its terminating zero,
// or deletes the value when erase is set. Returns true when the registry took it.
bool WriteRegString(HKEY root, const char* subkey, const char* value, const char* text, bool erase) noexcept;

// Creates the key if needed and stores a REG_DWORD.
bool WriteRegDword(HKEY root, const char* subkey, const char* value, LONG number) noexcept;

// Reads a text value of an already open key with the same rules as ReadRegString.
bool QueryText(HKEY key, const char* value, char* buf, size_t cap) noexcept;

}  // namespace fx
