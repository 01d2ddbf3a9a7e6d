// The flyover frame and bubble windows that live on the desktop thread.
#pragma once
#include <windows.h>

namespace engine {

// Registers both classes and creates whichever window does not exist yet.
void CreateHelperWindows(HWND desktopList) noexcept;
// Destroys both windows and unregisters their classes, so nothing of the engine's
// is left for the shell to call once the engine goes.
void DestroyHelperWindows() noexcept;

}  // namespace engine

extern "C" LRESULT CALLBACK fxFrameWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
extern "C" LRESULT CALLBACK fxBubbleWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
