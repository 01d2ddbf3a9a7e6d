// Finding the shell's windows the way every component must agree on.
#pragma once
#include <windows.h>

namespace fx {

// The desktop window: the first top-level "PROGMAN" window, or the next one after it
// when the first is not a popup (an old Program Manager window shares the class).
HWND FindDesktopWindow() noexcept;

// The desktop view and its list view under a desktop window (null when missing).
HWND FindDesktopView(HWND desktop) noexcept;
HWND FindDesktopListView(HWND desktop) noexcept;

}  // namespace fx
