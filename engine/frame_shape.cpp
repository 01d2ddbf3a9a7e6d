#include "frame_shape.h"

#include "fx/handles.h"

namespace engine {

FrameLook FrameLookFor(LONG style) noexcept {
    switch (style) {
    case 1: return {true, EDGE_RAISED, true};
    case 2: return {true, EDGE_SUNKEN, true};
    case 3: return {true, EDGE_ETCHED, true};
    case 4: return {true, EDGE_BUMP, true};
    case 5: return {true, 0, false};
    default: return {false, 0, false};
    }
}

void FrameStrips(const RECT& c, RECT (&strips)[4]) noexcept {
    const LONG b = kFrameBorder;
    strips[0] = RECT{c.left, c.top, c.left + b, c.bottom};
    strips[1] = RECT{c.left, c.top, c.right, c.top + b};
    strips[2] = RECT{c.right - b, c.top, c.right, c.bottom};
    strips[3] = RECT{c.left, c.bottom - b, c.right, c.bottom};
}

HRGN BuildFrameRegion(const RECT& client) noexcept {
    RECT strips[4];
    FrameStrips(client, strips);
    fx::UniqueRgn ring(CreateRectRgn(0, 0, 0, 0));
    if (!ring) return nullptr;
    for (const RECT& s : strips) {
        fx::UniqueRgn part(CreateRectRgnIndirect(&s));
        if (!part || CombineRgn(ring.get(), ring.get(), part.get(), RGN_OR) == ERROR) return nullptr;
    }
    return ring.release();
}

void PaintFrameBorder(HDC dc, const RECT& client, LONG style) noexcept {
    FrameLook look = FrameLookFor(style);
    if (!look.drawn) return;
    RECT r = client;
    if (look.edge)
        DrawEdge(dc, &r, look.edge, BF_RECT);
    else
        InvertRect(dc, &r);
}

}  // namespace engine
