// Painting one banner frame into a device context, as PlanFrame lays it out.
#pragma once
#include <windows.h>

namespace banner {

// Paints the frame for `position` into dc (the menu window's client area, whose
// height is clientHeight) from bitmap, and moves position on to the next frame.
// Returns false, painting nothing, when the bitmap cannot be read or there is no
// room to paint in.
bool PaintFrame(HDC dc, HBITMAP bitmap, LONG mode, LONG& position, int clientHeight) noexcept;

}  // namespace banner
