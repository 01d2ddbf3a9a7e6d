// Where each step of the effects draws, as tables: one row per case.
#include "effect_geometry.h"

#include <gtest/gtest.h>

namespace engine {

// Found by argument-dependent lookup, so beside StretchStep.
void PrintTo(const StretchStep& s, std::ostream* os) {
    *os << (s.draws ? "" : "no drawing ") << "dst(" << s.dstX << "," << s.dstY << "," << s.dstW << "," << s.dstH
        << ") src(" << s.srcX << "," << s.srcY << "," << s.srcW << "," << s.srcH << ")";
}

bool operator==(const StretchStep& a, const StretchStep& b) {
    if (!a.draws || !b.draws) return a.draws == b.draws;
    return a.dstX == b.dstX && a.dstY == b.dstY && a.dstW == b.dstW && a.dstH == b.dstH && a.srcX == b.srcX &&
           a.srcY == b.srcY && a.srcW == b.srcW && a.srcH == b.srcH;
}

namespace {

struct StepRow {
    int line;
    int style, width, height, k;
    StretchStep expected;
};

StretchStep S(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
    StretchStep s;
    s.draws = true;
    s.dstX = dx, s.dstY = dy, s.dstW = dw, s.dstH = dh;
    s.srcX = sx, s.srcY = sy, s.srcW = sw, s.srcH = sh;
    return s;
}

TEST(LaunchStep, EachStyleAtSixteenThirtyTwoAndFortyEight) {
    const StepRow rows[] = {
        // Pivot: the icon turns about its vertical axis, a 2-pixel sliver edge on.
        {__LINE__, kPivot, 32, 32, 1, S(4, 0, 24, 32, 0, 0, 32, 32)},
        {__LINE__, kPivot, 32, 32, 4, S(16, 0, 2, 32, 0, 0, 32, 32)},
        {__LINE__, kPivot, 32, 32, 5, S(20, 0, -8, 32, 0, 0, 32, 32)},
        {__LINE__, kPivot, 32, 32, 8, S(32, 0, -32, 32, 0, 0, 32, 32)},
        {__LINE__, kPivot, 32, 32, 9, S(28, 0, -24, 32, 0, 0, 32, 32)},
        {__LINE__, kPivot, 32, 32, 12, S(16, 0, 2, 32, 0, 0, 32, 32)},
        {__LINE__, kPivot, 32, 32, 16, S(0, 0, 32, 32, 0, 0, 32, 32)},
        {__LINE__, kPivot, 16, 16, 3, S(6, 0, 4, 16, 0, 0, 16, 16)},
        {__LINE__, kPivot, 16, 16, 8, S(16, 0, -16, 16, 0, 0, 16, 16)},
        {__LINE__, kPivot, 48, 48, 2, S(12, 0, 24, 48, 0, 0, 48, 48)},
        {__LINE__, kPivot, 48, 48, 16, S(0, 0, 48, 48, 0, 0, 48, 48)},
        // Flip: the same about the horizontal axis.
        {__LINE__, kFlip, 32, 32, 1, S(0, 4, 32, 24, 0, 0, 32, 32)},
        {__LINE__, kFlip, 32, 32, 4, S(0, 16, 32, 2, 0, 0, 32, 32)},
        {__LINE__, kFlip, 32, 32, 8, S(0, 32, 32, -32, 0, 0, 32, 32)},
        {__LINE__, kFlip, 16, 16, 6, S(0, 12, 16, -8, 0, 0, 16, 16)},
        {__LINE__, kFlip, 48, 48, 16, S(0, 0, 48, 48, 0, 0, 48, 48)},
        // Squash: pressed down onto the bottom edge until nothing is left.
        {__LINE__, kSquash, 32, 32, 1, S(0, 2, 32, 30, 0, 0, 32, 32)},
        {__LINE__, kSquash, 32, 32, 16, S(0, 32, 32, 0, 0, 0, 32, 32)},
        {__LINE__, kSquash, 16, 16, 5, S(0, 5, 16, 11, 0, 0, 16, 16)},
        {__LINE__, kSquash, 48, 48, 10, S(0, 30, 48, 18, 0, 0, 48, 48)},
        // Move Up: the lower part slides up unscaled.
        {__LINE__, kMoveUp, 32, 32, 1, S(0, 0, 32, 30, 0, 2, 32, 30)},
        {__LINE__, kMoveUp, 32, 32, 16, S(0, 0, 32, 0, 0, 32, 32, 0)},
        {__LINE__, kMoveUp, 16, 16, 15, S(0, 0, 16, 1, 0, 15, 16, 1)},
        {__LINE__, kMoveUp, 48, 48, 4, S(0, 0, 48, 36, 0, 12, 48, 36)},
        // Sizes that are not multiples of 8 or 16 still end where 32 does.
        {__LINE__, kPivot, 20, 20, 16, S(0, 0, 20, 20, 0, 0, 20, 20)},
        {__LINE__, kPivot, 20, 20, 8, S(20, 0, -20, 20, 0, 0, 20, 20)},
        {__LINE__, kFlip, 33, 33, 16, S(0, 0, 33, 33, 0, 0, 33, 33)},
        {__LINE__, kSquash, 24, 24, 16, S(0, 24, 24, 0, 0, 0, 24, 24)},
        {__LINE__, kMoveUp, 8, 8, 16, S(0, 0, 8, 0, 0, 8, 8, 0)},
        // Not square: each axis keeps its own side.
        {__LINE__, kPivot, 32, 16, 8, S(32, 0, -32, 16, 0, 0, 32, 16)},
        {__LINE__, kFlip, 32, 16, 8, S(0, 16, 32, -16, 0, 0, 32, 16)},
        // Styles that draw nothing here.
        {__LINE__, 0, 32, 32, 1, StretchStep{}},
        {__LINE__, kLaunchAni, 32, 32, 1, StretchStep{}},
        {__LINE__, 6, 32, 32, 1, StretchStep{}},
    };
    for (const StepRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << r.line);
        EXPECT_EQ(LaunchStep(r.style, r.width, r.height, r.k), r.expected);
    }
}

TEST(LaunchStep, PivotWidthsTurnTheIconOnceAtThirtyTwo) {
    const int widths[kLaunchSteps] = {24, 16, 8, 2, -8, -16, -24, -32, -24, -16, -8, 2, 8, 16, 24, 32};
    for (int k = 1; k <= kLaunchSteps; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(LaunchStep(kPivot, 32, 32, k).dstW, widths[k - 1]);
        EXPECT_EQ(LaunchStep(kFlip, 32, 32, k).dstH, widths[k - 1]);
    }
}

struct OutlineRow {
    int line;
    RECT from, to;
    int steps, k;
    RECT expected;
};

TEST(OutlineStep, SidesMoveByTheTruncatedTwelfthOrTenth) {
    const OutlineRow rows[] = {
        // d per side = (from - to) / 12 = (-1, -53, 27, -30), from a window to its tab.
        {__LINE__, {100, 100, 500, 400}, {112, 744, 172, 766}, 12, 1, {101, 153, 473, 430}},
        {__LINE__, {100, 100, 500, 400}, {112, 744, 172, 766}, 12, 12, {112, 736, 176, 760}},
        // Truncation towards zero both ways: -23 / 12 = -1 (not -2), 23 / 12 = 1.
        {__LINE__, {0, 0, 23, 0}, {23, 0, 0, 0}, 12, 3, {3, 0, 20, 0}},
        // Less than a step apart: that side stays.
        {__LINE__, {10, 20, 30, 40}, {21, 31, 41, 51}, 12, 7, {10, 20, 30, 40}},
        {__LINE__, {0, 0, 9, 9}, {0, 0, 0, 0}, 10, 10, {0, 0, 9, 9}},
        // The same rectangle: every outline at the same place.
        {__LINE__, {5, 5, 50, 50}, {5, 5, 50, 50}, 12, 6, {5, 5, 50, 50}},
        // Rotate's tenth.
        {__LINE__, {0, 0, 100, 100}, {50, 50, 60, 60}, 10, 5, {25, 25, 80, 80}},
    };
    for (const OutlineRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << r.line);
        const RECT got = OutlineStep(r.from, r.to, r.steps, r.k);
        EXPECT_EQ(got.left, r.expected.left);
        EXPECT_EQ(got.top, r.expected.top);
        EXPECT_EQ(got.right, r.expected.right);
        EXPECT_EQ(got.bottom, r.expected.bottom);
    }
}

TEST(RotatedCorners, TurnsClockwiseOnScreenAboutTheCentre) {
    const RECT r{100, 100, 300, 200};  // centre (200, 150)
    POINT p[4];
    // 180 degrees: each corner lands (within the truncation) on the opposite one.
    RotatedCorners(r, 5, p);
    EXPECT_NEAR(p[0].x, 300, 1);
    EXPECT_NEAR(p[0].y, 200, 1);
    EXPECT_NEAR(p[2].x, 100, 1);
    EXPECT_NEAR(p[2].y, 100, 1);
    // 360 degrees: back where it started.
    RotatedCorners(r, 10, p);
    EXPECT_NEAR(p[0].x, 100, 1);
    EXPECT_NEAR(p[0].y, 100, 1);
    EXPECT_NEAR(p[1].x, 300, 1);
    EXPECT_NEAR(p[3].y, 200, 1);
    // 36 degrees: screen y grows downwards, so the top-left corner goes up and to
    // the right, the top-right one down and to the right.
    RotatedCorners(r, 1, p);
    EXPECT_GT(p[0].x, 100);
    EXPECT_LT(p[0].y, 100);
    EXPECT_GT(p[1].y, 100);
    // Truncated, not rounded: the bottom-left corner (dx -100, dy 50) lands on
    // (89.71, 131.67) -> (89, 131).
    EXPECT_EQ(p[3].x, 89);
    EXPECT_EQ(p[3].y, 131);
}

}  // namespace
}  // namespace engine
