// The help bubble's geometry: its four outlines built from the measured text size,
// and where it goes beside the item. Plain functions, so every rule can be checked
// without a window.
#pragma once
#include <windows.h>

namespace engine {

enum BubbleShape : int {
    kBubbleRectangle = 1,
    kBubbleEllipse = 2,
    kBubbleRounded = 3,
    kBubbleRickRack = 4,
};

inline bool IsBubbleShape(LONG style) noexcept { return style >= kBubbleRectangle && style <= kBubbleRickRack; }

// The text is first laid out this wide (or wider when asked), at most this tall;
// a taller text is laid out again at the second width.
inline constexpr int kBubbleMinTextWidth = 160;
inline constexpr int kBubbleMaxTextHeight = 60;
inline constexpr int kBubbleWideTextWidth = 200;

// One piece of an outline, in window coordinates.
struct ShapePart {
    enum Kind { kRect, kEllipse, kRoundRect, kTriangle } kind;
    RECT box;          // kRect, kEllipse, kRoundRect
    int corner;        // kRoundRect: width and height of the corner ellipse
    POINT points[3];   // kTriangle
};

struct BubbleGeometry {
    int shape = 0;
    SIZE window{};     // W x H
    ShapePart body{};
    ShapePart tail[2]{};  // the pointed tail, or the trail of two circles
    int tailParts = 0;
    RECT text{};       // where the text is drawn
    // Rick Rack: the body's right and bottom, which place the closing teeth.
    int bodyRight = 0;
    int bodyBottom = 0;
};

// The window size of a bubble for a text measured tw0 x th0 (0 x 0 for no shape).
SIZE BubbleWindowSize(int shape, int tw0, int th0) noexcept;

// The whole outline for a text measured tw0 x th0, opening to the left of the
// anchor (toLeft) and/or above it (above).
BubbleGeometry ShapeBubble(int shape, int tw0, int th0, bool toLeft, bool above) noexcept;

// Calls fn(const ShapePart&) for the body, the tail parts and, for Rick Rack, every
// tooth, in that order.
template <class Fn>
void ForEachShapePart(const BubbleGeometry& g, Fn&& fn);

// The outline as one region (owned by the caller); null when GDI failed.
HRGN BuildBubbleRegion(const BubbleGeometry& g) noexcept;

// Placement.
enum class AnchorCorner { kTopRight, kTopLeft, kBottomLeft, kBottomRight, kCentre };

POINT AnchorCornerPoint(const RECT& item, AnchorCorner corner) noexcept;

// The first corner, in the order top right, top left, bottom left, bottom right, at
// which shows(point) holds; the centre when none does. Without a test the first
// corner is taken.
using CornerTest = bool (*)(POINT screenPoint, void* context);
AnchorCorner ChooseAnchorCorner(const RECT& item, CornerTest shows, void* context) noexcept;

struct BubblePlacement {
    POINT anchor;
    bool toLeft;
    bool above;
};

// Where a bubble of size `bubble` anchored at `corner` of `item` goes on a screen
// of size `screen`: it grows up and to the right from the corner, to the left from
// the item's left edge near the screen's right edge, and downwards near its top.
BubblePlacement PlaceBubble(const RECT& item, AnchorCorner corner, SIZE bubble, SIZE screen) noexcept;

// The window's top-left corner for an anchor (a (0, 0) anchor stands for `cursor`).
POINT BubbleOrigin(const BubblePlacement& p, SIZE bubble, POINT cursor) noexcept;

// --- implementation of the part visitor --------------------------------------------

namespace detail {
inline ShapePart Triangle(POINT a, POINT b, POINT c) noexcept {
    ShapePart p{};
    p.kind = ShapePart::kTriangle;
    p.points[0] = a;
    p.points[1] = b;
    p.points[2] = c;
    return p;
}
}  // namespace detail

template <class Fn>
void ForEachShapePart(const BubbleGeometry& g, Fn&& fn) {
    if (g.shape == 0) return;
    fn(g.body);
    for (int i = 0; i < g.tailParts; ++i) fn(g.tail[i]);
    if (g.shape != kBubbleRickRack) return;

    // Teeth of 18 by 9 pointing outwards, every 16 pixels from 17 on, and one closing
    // tooth per edge placed from the body's far end.
    using detail::Triangle;
    const LONG W = g.window.cx, H = g.window.cy;
    const LONG tw = g.bodyRight - 9, th = g.bodyBottom - 9;
    const LONG r = g.bodyRight, b = g.bodyBottom;
    for (LONG x = 17; x < tw - 18; x += 16) {
        fn(Triangle({x, 9}, {x + 9, 0}, {x + 18, 9}));
        fn(Triangle({x, H - 9}, {x + 9, H}, {x + 18, H - 9}));
    }
    fn(Triangle({r - 8, 9}, {r - 17, 0}, {r - 26, 9}));
    fn(Triangle({r - 8, H - 9}, {r - 17, H}, {r - 26, H - 9}));
    for (LONG y = 17; y < th - 18; y += 16) {
        fn(Triangle({9, y}, {0, y + 9}, {9, y + 18}));
        fn(Triangle({W - 9, y}, {W, y + 9}, {W - 9, y + 18}));
    }
    fn(Triangle({9, b - 8}, {0, b - 17}, {9, b - 26}));
    fn(Triangle({W - 9, b - 8}, {W, b - 17}, {W - 9, b - 26}));
}

}  // namespace engine
