// Paths beside a module: every component finds its files in its own folder.
#pragma once
#include <windows.h>
#include <cstddef>

namespace fx {

// The module's folder with its trailing backslash (empty when unknown).
// Returns false when the result did not fit in cap bytes (then dst is empty).
bool ModuleDirectory(HMODULE module, char* dst, size_t cap) noexcept;

// ModuleDirectory + name, or empty (and false) when it does not fit.
bool PathBesideModule(HMODULE module, const char* name, char* dst, size_t cap) noexcept;

}  // namespace fx
