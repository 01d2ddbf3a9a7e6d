#include "bubble_layout.h"

#include "fx/handles.h"

namespace engine {
namespace {

ShapePart BoxPart(ShapePart::Kind kind, LONG left, LONG top, LONG right, LONG bottom, int corner = 0) noexcept {
    ShapePart p{};
    p.kind = kind;
    p.box = RECT{left, top, right, bottom};
    p.corner = corner;
    return p;
}

RECT Inset(const RECT& r, LONG by) noexcept { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// The pointed tail shared by the ellipse and Rick Rack: tip at the window corner on
// the anchor's side, base along the middle line.
ShapePart MiddleTail(LONG W, LONG H, bool toLeft, bool above) noexcept {
    return detail::Triangle({toLeft ? W : 0, above ? H : 0}, {W / 2, H / 2}, {toLeft ? (6 * W) / 7 : W / 7, H / 2});
}

}  // namespace

SIZE BubbleWindowSize(int shape, int tw0, int th0) noexcept {
    switch (shape) {
    case kBubbleRectangle:
        return SIZE{tw0 + 12 + 5, th0 + 12 + 5};
    case kBubbleEllipse:
        return SIZE{tw0 + tw0 / 4 + 6, th0 + (2 * th0) / 3 + 6};
    case kBubbleRounded:
        return SIZE{tw0 + 14 + 15, th0 + 14 + 13};
    case kBubbleRickRack:
        return SIZE{tw0 + 34 - tw0 % 16 + 18, th0 + 34 - th0 % 16 + 18};
    default:
        return SIZE{0, 0};
    }
}

BubbleGeometry ShapeBubble(int shape, int tw0, int th0, bool toLeft, bool above) noexcept {
    BubbleGeometry g;
    if (!IsBubbleShape(shape)) return g;
    g.shape = shape;
    g.window = BubbleWindowSize(shape, tw0, th0);
    const LONG W = g.window.cx, H = g.window.cy;

    switch (shape) {
    case kBubbleRectangle: {
        const LONG tw = tw0 + 12, th = th0 + 12;
        const LONG left = toLeft ? 0 : 5, top = above ? 0 : 5;
        g.body = BoxPart(ShapePart::kRect, left, top, left + tw, top + th);
        g.tail[0] = detail::Triangle({toLeft ? W : 0, above ? H : 0}, {toLeft ? W - 8 : 8, above ? H - 20 : 20},
                                     {toLeft ? W - 20 : 20, above ? H - 8 : 8});
        g.tailParts = 1;
        g.text = Inset(g.body.box, 6);
        break;
    }
    case kBubbleEllipse: {
        const LONG padX = tw0 / 4 + 6, padY = (2 * th0) / 3 + 6;
        g.body = BoxPart(ShapePart::kEllipse, 0, 0, W, H);
        g.tail[0] = MiddleTail(W, H, toLeft, above);
        g.tailParts = 1;
        g.text = RECT{padX / 2, padY / 2, W - padX / 2, H - padY / 2};
        break;
    }
    case kBubbleRounded: {
        const LONG tw = tw0 + 14, th = th0 + 14;
        const LONG left = toLeft ? 0 : 15, top = above ? 0 : 13;
        g.body = BoxPart(ShapePart::kRoundRect, left, top, left + tw, top + th, 24);
        // A trail of two circles instead of a tail: the small one at the anchor.
        const LONG sx = toLeft ? W - 8 : 0, sy = above ? H - 10 : 2;
        g.tail[0] = BoxPart(ShapePart::kEllipse, sx, sy, sx + 8, sy + 8);
        const LONG lx = toLeft ? W - 19 : 7, ly = above ? H - 19 : 7;
        g.tail[1] = BoxPart(ShapePart::kEllipse, lx, ly, lx + 12, ly + 12);
        g.tailParts = 2;
        g.text = Inset(g.body.box, 6);
        break;
    }
    case kBubbleRickRack: {
        const LONG padX = 34 - tw0 % 16, padY = 34 - th0 % 16;
        g.bodyRight = tw0 + padX + 9;
        g.bodyBottom = th0 + padY + 9;
        g.body = BoxPart(ShapePart::kRect, 9, 9, g.bodyRight, g.bodyBottom);
        g.tail[0] = MiddleTail(W, H, toLeft, above);
        g.tailParts = 1;
        g.text = RECT{9 + padX / 2, 9 + padY / 2, g.bodyRight - padX / 2, g.bodyBottom - padY / 2};
        break;
    }
    default:
        break;
    }
    return g;
}

HRGN BuildBubbleRegion(const BubbleGeometry& g) noexcept {
    fx::UniqueRgn shape(CreateRectRgn(0, 0, 0, 0));
    if (!shape) return nullptr;
    bool ok = true;
    ForEachShapePart(g, [&](const ShapePart& p) {
        if (!ok) return;
        fx::UniqueRgn part;
        const RECT& b = p.box;
        switch (p.kind) {
        case ShapePart::kRect:
            part.reset(CreateRectRgn(b.left, b.top, b.right, b.bottom));
            break;
        case ShapePart::kEllipse:
            part.reset(CreateEllipticRgn(b.left, b.top, b.right, b.bottom));
            break;
        case ShapePart::kRoundRect:
            part.reset(CreateRoundRectRgn(b.left, b.top, b.right, b.bottom, p.corner, p.corner));
            break;
        case ShapePart::kTriangle:
            part.reset(CreatePolygonRgn(p.points, 3, ALTERNATE));
            break;
        }
        ok = part && CombineRgn(shape.get(), shape.get(), part.get(), RGN_OR) != ERROR;
    });
    return ok ? shape.release() : nullptr;
}

POINT AnchorCornerPoint(const RECT& r, AnchorCorner corner) noexcept {
    switch (corner) {
    case AnchorCorner::kTopRight:
        return POINT{r.right - 3, r.top + 3};
    case AnchorCorner::kTopLeft:
        return POINT{r.left + 3, r.top + 3};
    case AnchorCorner::kBottomLeft:
        return POINT{r.left + 3, r.bottom - 3};
    case AnchorCorner::kBottomRight:
        return POINT{r.right - 3, r.bottom - 3};
    case AnchorCorner::kCentre:
    default:
        return POINT{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
    }
}

AnchorCorner ChooseAnchorCorner(const RECT& item, CornerTest shows, void* context) noexcept {
    if (!shows) return AnchorCorner::kTopRight;
    for (AnchorCorner c : {AnchorCorner::kTopRight, AnchorCorner::kTopLeft, AnchorCorner::kBottomLeft,
                           AnchorCorner::kBottomRight})
        if (shows(AnchorCornerPoint(item, c), context)) return c;
    return AnchorCorner::kCentre;
}

BubblePlacement PlaceBubble(const RECT& item, AnchorCorner corner, SIZE bubble, SIZE screen) noexcept {
    BubblePlacement p{AnchorCornerPoint(item, corner), false, false};
    const bool rightCorner = corner == AnchorCorner::kTopRight || corner == AnchorCorner::kBottomRight;
    const bool bottomCorner = corner == AnchorCorner::kBottomLeft || corner == AnchorCorner::kBottomRight;

    if (rightCorner) {
        if (p.anchor.x + bubble.cx > screen.cx) {
            p.anchor.x = item.left;
            p.toLeft = true;
        }
    } else if (corner == AnchorCorner::kCentre) {
        p.toLeft = p.anchor.x + bubble.cx > screen.cx;
    } else {
        p.toLeft = p.anchor.x - bubble.cx > 0;
    }

    if (bottomCorner) {
        if (p.anchor.y + bubble.cy > screen.cy) {
            p.above = true;
            p.anchor.y = item.top;
        }
    } else {
        p.above = p.anchor.y - bubble.cy > 0;
    }
    return p;
}

POINT BubbleOrigin(const BubblePlacement& p, SIZE bubble, POINT cursor) noexcept {
    POINT a = (p.anchor.x == 0 && p.anchor.y == 0) ? cursor : p.anchor;
    return POINT{p.toLeft ? a.x - bubble.cx : a.x, p.above ? a.y - bubble.cy : a.y};
}

}  // namespace engine
