// The flyover frame's styles and its 2-pixel ring.
#include "frame_shape.h"

#include <gtest/gtest.h>

#include <vector>

using namespace engine;

namespace {

TEST(FrameShape, StylesOneToFiveDrawTheirBorderOthersNothing) {
    struct Row { LONG style; bool drawn; UINT edge; bool redraw; };
    const Row rows[] = {
        {0, false, 0, false},           {1, true, EDGE_RAISED, true}, {2, true, EDGE_SUNKEN, true},
        {3, true, EDGE_ETCHED, true},   {4, true, EDGE_BUMP, true},   {5, true, 0, false},
        {6, false, 0, false},           {-1, false, 0, false},
    };
    for (const Row& r : rows) {
        FrameLook look = FrameLookFor(r.style);
        EXPECT_EQ(look.drawn, r.drawn) << r.style;
        EXPECT_EQ(look.edge, r.edge) << r.style;
        EXPECT_EQ(look.redrawOnShape, r.redraw) << r.style;
    }
}

// Area of a region, in pixels.
long Area(HRGN rgn) {
    DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<BYTE> buf(size);
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    GetRegionData(rgn, size, data);
    long area = 0;
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i)
        area += (rects[i].right - rects[i].left) * (rects[i].bottom - rects[i].top);
    return area;
}

TEST(FrameShape, RingIsTwoPixelsWideAndLeavesTheInsideOpen) {
    struct Row { RECT client; long area; };
    // Selection bounds of an icon plus 2, a wide label, and a frame too small for an inside.
    const Row rows[] = {{{0, 0, 40, 30}, 40 * 30 - 36 * 26}, {{0, 0, 77, 60}, 77 * 60 - 73 * 56}, {{0, 0, 3, 3}, 9}};
    for (const Row& r : rows) {
        HRGN ring = BuildFrameRegion(r.client);
        ASSERT_NE(ring, nullptr);
        RECT box;
        GetRgnBox(ring, &box);
        EXPECT_TRUE(EqualRect(&box, &r.client));
        EXPECT_EQ(Area(ring), r.area) << r.client.right << "x" << r.client.bottom;
        const LONG w = r.client.right, h = r.client.bottom;
        if (w > 4 && h > 4) {
            for (POINT in : {POINT{0, 0}, POINT{1, h / 2}, POINT{w - 1, h - 1}, POINT{w - 2, 1}, POINT{w / 2, h - 2}})
                EXPECT_TRUE(PtInRegion(ring, in.x, in.y)) << in.x << "," << in.y;
            for (POINT out : {POINT{2, 2}, POINT{w - 3, h - 3}, POINT{w / 2, h / 2}})
                EXPECT_FALSE(PtInRegion(ring, out.x, out.y)) << out.x << "," << out.y;
        }
        DeleteObject(ring);
    }
}

}  // namespace
