// The flyover frame: a small child window of the list view under the mouse, cut
// down to a 2-pixel ring by its window region, that borders the hovered item.
#pragma once
#include <windows.h>

namespace engine {

// Creates the frame window, hidden, under `parentList`, or under the desktop's list
// view when that is null; keeps it in the shared area and returns it (null on
// failure). The hover code calls it whenever the frame has gone with the list view
// it lived in.
HWND CreateFrameWindow(HWND parentList = nullptr) noexcept;

// The last region this process gave the frame window (the window owns it).
extern HRGN g_frameRegion;

}  // namespace engine

extern "C" LRESULT CALLBACK fxFrameWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
