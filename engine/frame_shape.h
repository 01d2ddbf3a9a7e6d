// The flyover frame's look: which border a style draws, and the 2-pixel ring that
// the window is cut down to so the item inside stays visible.
#pragma once
#include <windows.h>

namespace engine {

inline constexpr int kFrameBorder = 2;

struct FrameLook {
    bool drawn;          // styles 1 to 5; any other value shows nothing
    UINT edge;           // DrawEdge edge type, 0 for the inverse frame
    bool redrawOnShape;  // the inverse frame is shaped without a redraw
};

FrameLook FrameLookFor(LONG style) noexcept;

// The four border strips of a client rectangle: left, top, right, bottom.
void FrameStrips(const RECT& client, RECT (&strips)[4]) noexcept;

// Their union as one region (owned by the caller); null when GDI failed.
HRGN BuildFrameRegion(const RECT& client) noexcept;

// Draws the style's border over the whole rectangle.
void PaintFrameBorder(HDC dc, const RECT& client, LONG style) noexcept;

}  // namespace engine
