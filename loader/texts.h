// Looking up the loader's user-visible texts in the strings file.
#pragma once
#include <windows.h>
#include <cstddef>

namespace loader {

// Where the strings file is: beside the loader's own file.
void InitTexts(HMODULE module) noexcept;
// Reads the texts from another file (tests).
void SetStringsFile(const char* path) noexcept;

// The text for a built-in key of the "FXLOADER" section; the key itself when the
// file or the entry is missing or empty. Valid until the next call.
const char* LookUpText(const char* key) noexcept;

// Cuts text to at most maxBytes bytes without splitting a double-byte character.
void CutText(char* text, size_t maxBytes) noexcept;

}  // namespace loader
