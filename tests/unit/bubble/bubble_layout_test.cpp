// The bubble's outlines and placement as plain functions: sizes and parts for given
// text sizes, the Rick Rack teeth, the region they make, and where a bubble goes.
#include "bubble_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <vector>

using namespace engine;

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& o, const RECT& r) {
    return o << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline std::ostream& operator<<(std::ostream& o, const POINT& p) { return o << "(" << p.x << "," << p.y << ")"; }

namespace {

// One row per shape and direction, for a text measured 100 x 28. Tails are listed as
// triangles (three points) or as the two circles' boxes.
struct ShapeRow {
    int shape;
    bool toLeft, above;
    SIZE window;
    ShapePart::Kind bodyKind;
    RECT body;
    std::vector<POINT> triangle;
    std::vector<RECT> circles;
    RECT text;
};

const ShapeRow kShapeRows[] = {
    {kBubbleRectangle, false, false, {117, 45}, ShapePart::kRect, {5, 5, 117, 45}, {{0, 0}, {8, 20}, {20, 8}}, {},
     {11, 11, 111, 39}},
    {kBubbleRectangle, true, true, {117, 45}, ShapePart::kRect, {0, 0, 112, 40}, {{117, 45}, {109, 25}, {97, 37}}, {},
     {6, 6, 106, 34}},
    {kBubbleRectangle, true, false, {117, 45}, ShapePart::kRect, {0, 5, 112, 45}, {{117, 0}, {109, 20}, {97, 8}}, {},
     {6, 11, 106, 39}},
    {kBubbleEllipse, false, false, {131, 52}, ShapePart::kEllipse, {0, 0, 131, 52}, {{0, 0}, {65, 26}, {18, 26}}, {},
     {15, 12, 116, 40}},
    {kBubbleEllipse, true, true, {131, 52}, ShapePart::kEllipse, {0, 0, 131, 52}, {{131, 52}, {65, 26}, {112, 26}},
     {}, {15, 12, 116, 40}},
    {kBubbleRounded, false, false, {129, 55}, ShapePart::kRoundRect, {15, 13, 129, 55}, {}, {{0, 2, 8, 10}, {7, 7, 19, 19}},
     {21, 19, 123, 49}},
    {kBubbleRounded, true, true, {129, 55}, ShapePart::kRoundRect, {0, 0, 114, 42}, {},
     {{121, 45, 129, 53}, {110, 36, 122, 48}}, {6, 6, 108, 36}},
    {kBubbleRickRack, false, false, {148, 68}, ShapePart::kRect, {9, 9, 139, 59}, {{0, 0}, {74, 34}, {21, 34}}, {},
     {24, 20, 124, 48}},
    {kBubbleRickRack, true, true, {148, 68}, ShapePart::kRect, {9, 9, 139, 59}, {{148, 68}, {74, 34}, {126, 34}}, {},
     {24, 20, 124, 48}},
};

TEST(BubbleShapes, PartsFollowTheShapeTables) {
    for (const ShapeRow& r : kShapeRows) {
        SCOPED_TRACE(testing::Message() << "shape " << r.shape << " toLeft " << r.toLeft << " above " << r.above);
        BubbleGeometry g = ShapeBubble(r.shape, 100, 28, r.toLeft, r.above);
        EXPECT_EQ(g.window.cx, r.window.cx);
        EXPECT_EQ(g.window.cy, r.window.cy);
        EXPECT_EQ(BubbleWindowSize(r.shape, 100, 28).cx, r.window.cx);
        EXPECT_EQ(g.body.kind, r.bodyKind);
        EXPECT_EQ(g.body.box, r.body);
        if (r.bodyKind == ShapePart::kRoundRect) {
            EXPECT_EQ(g.body.corner, 24);
        }
        EXPECT_EQ(g.text, r.text);
        if (!r.triangle.empty()) {
            ASSERT_EQ(g.tailParts, 1);
            EXPECT_EQ(g.tail[0].kind, ShapePart::kTriangle);
            for (int i = 0; i < 3; ++i) EXPECT_EQ(g.tail[0].points[i], r.triangle[i]) << "point " << i;
        } else {
            ASSERT_EQ(g.tailParts, 2);
            for (int i = 0; i < 2; ++i) {
                EXPECT_EQ(g.tail[i].kind, ShapePart::kEllipse);
                EXPECT_EQ(g.tail[i].box, r.circles[i]) << "circle " << i;
            }
        }
    }
}

TEST(BubbleShapes, RickRackPadsToTwoMoreThanSixteens) {
    // A measured width of 100 pads by 30 to 130: the window is 148 wide.
    struct Row { int tw0, th0, W, H; };
    const Row rows[] = {{100, 28, 148, 68}, {0, 0, 52, 52}, {16, 16, 68, 68}, {15, 31, 52, 68}, {200, 14, 244, 52}};
    for (const Row& r : rows) {
        SIZE s = BubbleWindowSize(kBubbleRickRack, r.tw0, r.th0);
        EXPECT_EQ(s.cx, r.W) << r.tw0;
        EXPECT_EQ(s.cy, r.H) << r.th0;
        EXPECT_EQ((s.cx - 18 - 2) % 16, 0);
        EXPECT_GE(s.cx - 18, 34);
    }
    EXPECT_EQ(BubbleWindowSize(0, 100, 28).cx, 0);
    EXPECT_EQ(ShapeBubble(5, 100, 28, false, false).shape, 0);
}

// Each edge carries teeth 18 wide and 9 high, pointing out to the window's edge,
// every 16 pixels from 17 on; the closing tooth lands on the next 16-pixel step.
TEST(BubbleShapes, RickRackTeethAreEvenlySpacedOnEveryEdge) {
    const SIZE texts[] = {{100, 28}, {0, 0}, {37, 61}, {180, 120}};
    for (SIZE t : texts) {
        BubbleGeometry g = ShapeBubble(kBubbleRickRack, t.cx, t.cy, false, false);
        const LONG W = g.window.cx, H = g.window.cy;
        std::map<char, std::vector<LONG>> starts;
        int parts = 0;
        ForEachShapePart(g, [&](const ShapePart& p) {
            if (++parts <= 2) return;  // body and tail
            ASSERT_EQ(p.kind, ShapePart::kTriangle);
            const POINT* q = p.points;
            if (q[1].y == 0 || q[1].y == H) {  // top or bottom tooth: apex on the edge
                char edge = q[1].y == 0 ? 't' : 'b';
                EXPECT_EQ(q[0].y, edge == 't' ? 9 : H - 9);
                EXPECT_EQ(q[2].y, q[0].y);
                EXPECT_EQ(std::abs(q[2].x - q[0].x), 18);
                EXPECT_EQ(q[1].x, (q[0].x + q[2].x) / 2);
                starts[edge].push_back(std::min(q[0].x, q[2].x));
            } else {
                ASSERT_TRUE(q[1].x == 0 || q[1].x == W);
                char edge = q[1].x == 0 ? 'l' : 'r';
                EXPECT_EQ(q[0].x, edge == 'l' ? 9 : W - 9);
                EXPECT_EQ(q[2].x, q[0].x);
                EXPECT_EQ(std::abs(q[2].y - q[0].y), 18);
                EXPECT_EQ(q[1].y, (q[0].y + q[2].y) / 2);
                starts[edge].push_back(std::min(q[0].y, q[2].y));
            }
        });
        for (auto& [edge, s] : starts) {
            SCOPED_TRACE(testing::Message() << "text " << t.cx << "x" << t.cy << " edge " << edge);
            std::sort(s.begin(), s.end());
            const LONG farEnd = (edge == 't' || edge == 'b') ? g.bodyRight : g.bodyBottom;
            ASSERT_FALSE(s.empty());
            EXPECT_EQ(s.front(), 17);
            EXPECT_EQ(s.back() + 18, farEnd - 8) << "closing tooth";
            for (size_t i = 1; i < s.size(); ++i) EXPECT_EQ(s[i] - s[i - 1], 16);
        }
        EXPECT_EQ(starts.size(), 4u);
    }
}

// The tail (or the trail of circles) reaches the window corner on the anchor's side:
// the outline's box is the whole window, the tail is just inside that corner, and
// the corners beside it stay empty.
TEST(BubbleShapes, RegionCoversTheWindowAndReachesTheAnchorCorner) {
    for (int shape = kBubbleRectangle; shape <= kBubbleRickRack; ++shape) {
        for (int dir = 0; dir < 4; ++dir) {
            const bool toLeft = dir & 1, above = dir & 2;
            SCOPED_TRACE(testing::Message() << "shape " << shape << " toLeft " << toLeft << " above " << above);
            BubbleGeometry g = ShapeBubble(shape, 100, 28, toLeft, above);
            HRGN rgn = BuildBubbleRegion(g);
            ASSERT_NE(rgn, nullptr);
            RECT box;
            GetRgnBox(rgn, &box);
            // The rounded shape's circles stop 2 pixels short of the top or bottom
            // (and an elliptic region leaves out its bottom row).
            const LONG slackY = shape == kBubbleRounded ? 3 : 1;
            EXPECT_LE(box.left, 1);
            EXPECT_LE(box.top, slackY);
            EXPECT_GE(box.right, g.window.cx - 1);
            EXPECT_GE(box.bottom, g.window.cy - slackY);
            // A few pixels in from the anchor corner along the diagonal.
            const LONG cx = toLeft ? g.window.cx - 4 : 3, cy = above ? g.window.cy - 4 : 3;
            if (shape != kBubbleRounded) {
                EXPECT_TRUE(PtInRegion(rgn, cx, cy));
            }
            // The two window corners next to the anchor's are never part of a bubble.
            const LONG nearX = toLeft ? g.window.cx - 2 : 1, farX = toLeft ? 1 : g.window.cx - 2;
            const LONG nearY = above ? g.window.cy - 2 : 1, farY = above ? 1 : g.window.cy - 2;
            EXPECT_FALSE(PtInRegion(rgn, farX, nearY));
            EXPECT_FALSE(PtInRegion(rgn, nearX, farY));
            DeleteObject(rgn);
        }
    }
}

struct PlaceRow {
    RECT item;
    AnchorCorner corner;
    POINT anchor;
    bool toLeft, above;
    POINT origin;
};

TEST(BubblePlacement, OpensAwayFromTheScreenEdges) {
    const SIZE bubble{120, 50}, screen{1024, 768};
    using C = AnchorCorner;
    const PlaceRow rows[] = {
        // Unobstructed: up and to the right of the top-right corner.
        {{400, 300, 440, 340}, C::kTopRight, {437, 303}, false, true, {437, 253}},
        // Near the right edge: to the left of the item's left edge.
        {{980, 300, 1020, 340}, C::kTopRight, {980, 303}, true, true, {860, 253}},
        // Near the top: downwards from the corner.
        {{400, 10, 440, 50}, C::kTopRight, {437, 13}, false, false, {437, 13}},
        {{980, 10, 1020, 50}, C::kTopRight, {980, 13}, true, false, {860, 13}},
        // Exactly fitting is not exceeding; exactly touching the top is not room.
        {{870, 300, 907, 340}, C::kTopRight, {904, 303}, false, true, {904, 253}},
        {{400, 47, 440, 90}, C::kTopRight, {437, 50}, false, false, {437, 50}},
        // Left-hand corners open to the left when there is room.
        {{400, 300, 440, 340}, C::kTopLeft, {403, 303}, true, true, {283, 253}},
        {{10, 300, 50, 340}, C::kTopLeft, {13, 303}, false, true, {13, 253}},
        // Bottom corners open downwards, or up from the item's top near the bottom.
        {{400, 300, 440, 340}, C::kBottomLeft, {403, 337}, true, false, {283, 337}},
        {{400, 740, 440, 766}, C::kBottomLeft, {403, 740}, true, true, {283, 690}},
        {{980, 740, 1020, 766}, C::kBottomRight, {980, 740}, true, true, {860, 690}},
        {{400, 300, 440, 340}, C::kBottomRight, {437, 337}, false, false, {437, 337}},
        // The centre.
        {{400, 300, 440, 340}, C::kCentre, {420, 320}, false, true, {420, 270}},
        {{950, 10, 1010, 40}, C::kCentre, {980, 25}, true, false, {860, 25}},
    };
    for (const PlaceRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "item " << r.item << " corner " << static_cast<int>(r.corner));
        BubblePlacement p = PlaceBubble(r.item, r.corner, bubble, screen);
        EXPECT_EQ(p.anchor, r.anchor);
        EXPECT_EQ(p.toLeft, r.toLeft);
        EXPECT_EQ(p.above, r.above);
        EXPECT_EQ(BubbleOrigin(p, bubble, POINT{-1, -1}), r.origin);
    }
}

TEST(BubblePlacement, ZeroAnchorMeansTheCursor) {
    const SIZE bubble{120, 50};
    EXPECT_EQ(BubbleOrigin({{0, 0}, false, false}, bubble, {500, 400}), (POINT{500, 400}));
    EXPECT_EQ(BubbleOrigin({{0, 0}, true, true}, bubble, {500, 400}), (POINT{380, 350}));
    EXPECT_EQ(BubbleOrigin({{0, 7}, false, false}, bubble, {500, 400}), (POINT{0, 7}));
}

// The first corner, in the order top right, top left, bottom left, bottom right, at
// which the item's window is found; else the centre.
TEST(BubblePlacement, AnchorsAtTheFirstUncoveredCorner) {
    const RECT item{100, 100, 140, 150};
    struct Row { unsigned visible; AnchorCorner expected; };  // bits in the test order
    using C = AnchorCorner;
    const Row rows[] = {
        {0b1111, C::kTopRight}, {0b1110, C::kTopLeft}, {0b1100, C::kBottomLeft},
        {0b1000, C::kBottomRight}, {0b0000, C::kCentre}, {0b0101, C::kTopRight},
    };
    for (const Row& r : rows) {
        struct Ctx { unsigned visible; RECT item; std::vector<POINT> asked; } ctx{r.visible, item, {}};
        auto shows = [](POINT pt, void* c) {
            auto* x = static_cast<Ctx*>(c);
            x->asked.push_back(pt);
            const POINT corners[4] = {{137, 103}, {103, 103}, {103, 147}, {137, 147}};
            for (int i = 0; i < 4; ++i)
                if (pt == corners[i]) return ((x->visible >> i) & 1) != 0;
            ADD_FAILURE() << "asked about " << pt;
            return false;
        };
        EXPECT_EQ(ChooseAnchorCorner(item, shows, &ctx), r.expected) << std::hex << r.visible;
    }
    EXPECT_EQ(ChooseAnchorCorner(item, nullptr, nullptr), C::kTopRight) << "no window: no test";
    EXPECT_EQ(AnchorCornerPoint(item, C::kCentre), (POINT{120, 125}));
}

}  // namespace
