// The loader's notification-area icon.
#pragma once
#include <windows.h>

namespace loader {

inline constexpr UINT kTrayIconId = 1;

// The tip: the "shown for" text and the user name, or the plain text when the
// platform gives no user name; at most 63 characters.
void BuildTrayTip(const char* userName, char* tip, size_t cap) noexcept;

bool AddTrayIcon(HWND owner, HINSTANCE instance, const char* userName) noexcept;
void DeleteTrayIcon(HWND owner) noexcept;

}  // namespace loader
