// The banner's settings and its bitmap file.
#pragma once
#include <windows.h>

#include <cstddef>

#include "fx/handles.h"

namespace banner {

// Name used when "Banner" is empty or missing.
inline constexpr char kDefaultBannerName[] = "Default Logo";

// "<moduleDirectory>banners\<name>.bmp" into out. False, with out empty, when it
// does not fit in cap bytes: a cut path would name some other file.
bool FallbackPath(const char* moduleDirectory, const char* name, char* out, size_t cap) noexcept;

// Loads a bitmap file as it is named. Nothing when the file is missing, is not a
// bitmap, or has no pixels.
fx::UniqueBitmap LoadBitmapFile(const char* path) noexcept;

// The banner for a "Banner" value: the name as a path first, then the fallback path
// beside the module.
fx::UniqueBitmap LoadBanner(const char* moduleDirectory, const char* name) noexcept;

}  // namespace banner
