#include "effect_geometry.h"

#include <cmath>

namespace engine {
namespace {

// A turn about one axis: the extent shrinks to a sliver, grows mirrored to the
// full side at half way, and comes back. o runs 0..2*side over the 16 steps.
void Turn(int side, int k, int* offset, int* extent) noexcept {
    int o = k * side / 8;
    if (o > side) o = 2 * side - o;
    int e = side - 2 * o;
    *offset = o;
    *extent = e == 0 ? 2 : e;
}

}  // namespace

StretchStep LaunchStep(int style, int width, int height, int k) noexcept {
    StretchStep s;
    s.srcW = width;
    s.srcH = height;
    s.dstW = width;
    s.dstH = height;
    switch (style) {
    case kPivot:
        Turn(width, k, &s.dstX, &s.dstW);
        break;
    case kFlip:
        Turn(height, k, &s.dstY, &s.dstH);
        break;
    case kSquash: {
        int o = k * height / 16;
        s.dstY = o;
        s.dstH = height - o;
        break;
    }
    case kMoveUp: {
        // Slides up unscaled: the part below o moves to the top.
        int o = k * height / 16;
        s.dstH = height - o;
        s.srcY = o;
        s.srcH = height - o;
        break;
    }
    default:
        return StretchStep{};
    }
    s.draws = true;
    return s;
}

RECT OutlineStep(const RECT& from, const RECT& to, int steps, int k) noexcept {
    auto side = [&](LONG f, LONG t) { return static_cast<LONG>(f - k * ((f - t) / steps)); };
    return RECT{side(from.left, to.left), side(from.top, to.top), side(from.right, to.right),
                side(from.bottom, to.bottom)};
}

void RotatedCorners(const RECT& r, int k, POINT out[4]) noexcept {
    const double radians = 36.0 * k * 0.002777777777777778 * 6.28318;
    const double c = std::cos(radians), s = std::sin(radians);
    const LONG cx = r.left + (r.right - r.left) / 2;
    const LONG cy = r.top + (r.bottom - r.top) / 2;
    const POINT corners[4] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
    for (int i = 0; i < 4; ++i) {
        const double dx = corners[i].x - cx, dy = corners[i].y - cy;
        out[i].x = static_cast<LONG>(dx * c - dy * s + cx);
        out[i].y = static_cast<LONG>(dx * s + dy * c + cy);
    }
}

}  // namespace engine
