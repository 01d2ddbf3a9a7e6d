// Where the desktop's replaced procedures hand messages to the features. Each is
// called on the desktop thread before the message goes on to the window's own
// procedure; none may swallow a message.
#pragma once
#include <windows.h>

namespace engine {

// Messages of the desktop view (WM_NOTIFY from the desktop list view among them).
void OnDesktopViewMessage(HWND view, UINT msg, WPARAM wp, LPARAM lp) noexcept;
// Messages of the desktop list view (WM_PAINT, mouse, keys).
void OnDesktopListMessage(HWND list, UINT msg, WPARAM wp, LPARAM lp) noexcept;

}  // namespace engine
