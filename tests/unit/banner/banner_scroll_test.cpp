// The banner's frame arithmetic: what each tick copies and fills, where the next one
// starts, and what the strip shows after any number of ticks.
#include "scroll.h"
#include "settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

using banner::BlockCopy;
using banner::Fill;
using banner::FramePlan;
using banner::kFirstFrame;
using banner::kStripWidth;
using banner::PlanFrame;

struct Geometry {
    int w, h, b;  // bitmap width and height, menu client height
};

struct PlanRow {
    int line;
    LONG mode;
    Geometry g;
    LONG position;
    bool greyStrip;
    std::vector<Fill> fills;
    std::vector<BlockCopy> copies;
    LONG next;
};

std::string Describe(const FramePlan& p) {
    std::string s = p.greyStrip ? "grey strip; " : "";
    for (int i = 0; i < p.fillCount; ++i) {
        const Fill& f = p.fills[i];
        s += "fill(" + std::to_string(f.x) + "," + std::to_string(f.y) + " " + std::to_string(f.width) + "x" +
             std::to_string(f.height) + ") ";
    }
    for (int i = 0; i < p.copyCount; ++i) {
        const BlockCopy& c = p.copies[i];
        s += "copy(" + std::to_string(c.srcX) + "," + std::to_string(c.srcY) + " " + std::to_string(c.width) + "x" +
             std::to_string(c.height) + " -> " + std::to_string(c.dstX) + "," + std::to_string(c.dstY) + ") ";
    }
    return s + "next " + std::to_string(p.nextPosition);
}

std::string Describe(const PlanRow& r) {
    FramePlan p;
    p.greyStrip = r.greyStrip;
    p.fillCount = static_cast<int>(r.fills.size());
    for (size_t i = 0; i < r.fills.size() && i < 2; ++i) p.fills[i] = r.fills[i];
    p.copyCount = static_cast<int>(r.copies.size());
    for (size_t i = 0; i < r.copies.size() && i < 2; ++i) p.copies[i] = r.copies[i];
    p.nextPosition = r.next;
    return Describe(p);
}

constexpr Geometry kNarrow{13, 100, 300}, kExactly21{21, 100, 300}, kWide{40, 100, 300};
constexpr Geometry kShort{30, 100, 250}, kExactlyTall{30, 250, 250}, kTallOdd{30, 401, 250};

const PlanRow kPlanRows[] = {
    // Still: bottom-aligned, leftmost 21 columns at most, position untouched.
    {__LINE__, 0, kWide, 7, false, {}, {{0, 0, 21, 100, 0, 200}}, 7},
    {__LINE__, 0, kNarrow, kFirstFrame, false, {}, {{0, 0, 13, 100, 0, 200}}, kFirstFrame},
    {__LINE__, 0, {21, 400, 300}, kFirstFrame, false, {}, {{0, 100, 21, 300, 0, 0}}, kFirstFrame},

    // Horizontal, narrower than the strip: a loop of 21 columns, one column per tick,
    // the column the banner just left filled grey.
    {__LINE__, 1, kNarrow, kFirstFrame, true, {}, {{0, 0, 13, 100, 0, 200}}, -1},
    {__LINE__, 1, kNarrow, -1, false, {{12, 200, 1, 100}}, {{1, 0, 12, 100, 0, 200}, {0, 0, 1, 100, 20, 200}}, -2},
    {__LINE__, 1, kNarrow, -12, false, {{1, 200, 1, 100}}, {{12, 0, 1, 100, 0, 200}, {0, 0, 12, 100, 9, 200}}, 8},
    {__LINE__, 1, kNarrow, 8, false, {{0, 200, 1, 100}}, {{0, 0, 13, 100, 8, 200}}, 7},
    {__LINE__, 1, kNarrow, 9, true, {}, {{0, 0, 13, 100, 0, 200}}, -1},  // out of the loop: start over

    // Horizontal, exactly 21 wide: the wide rule, the bitmap's start following its end.
    {__LINE__, 1, kExactly21, kFirstFrame, true, {}, {{0, 0, 21, 100, 0, 200}}, 1},
    {__LINE__, 1, kExactly21, 1, false, {}, {{1, 0, 20, 100, 0, 200}, {0, 0, 1, 100, 20, 200}}, 2},
    {__LINE__, 1, kExactly21, 20, false, {}, {{20, 0, 1, 100, 0, 200}, {0, 0, 20, 100, 1, 200}}, 0},

    // Horizontal, wider than the strip.
    {__LINE__, 1, kWide, 0, false, {}, {{0, 0, 21, 100, 0, 200}}, 1},
    {__LINE__, 1, kWide, 19, false, {}, {{19, 0, 21, 100, 0, 200}}, 20},
    {__LINE__, 1, kWide, 20, false, {}, {{20, 0, 20, 100, 0, 200}, {0, 0, 1, 100, 20, 200}}, 21},
    {__LINE__, 1, kWide, 39, false, {}, {{39, 0, 1, 100, 0, 200}, {0, 0, 20, 100, 1, 200}}, 0},
    {__LINE__, 1, kWide, 40, true, {}, {{0, 0, 21, 100, 0, 200}}, 1},

    // Vertical, shorter than the menu: a loop of 250 rows, two rows per tick, the rows
    // the banner just left filled grey.
    {__LINE__, 2, kShort, kFirstFrame, true, {}, {{0, 0, 21, 100, 0, 150}}, 148},
    {__LINE__, 2, kShort, 148, false, {{0, 248, 21, 2}}, {{0, 0, 21, 100, 0, 148}}, 146},
    {__LINE__, 2, kShort, -1, false, {{0, 99, 21, 2}}, {{0, 1, 21, 99, 0, 0}, {0, 0, 21, 1, 0, 249}}, -3},
    {__LINE__, 2, kShort, -98, false, {{0, 2, 21, 2}}, {{0, 98, 21, 2, 0, 0}, {0, 0, 21, 98, 0, 152}}, 150},
    // The wrap keeps the two-row step even when the loop's length is odd in steps.
    {__LINE__, 2, kShort, -99, false, {{0, 1, 21, 2}}, {{0, 99, 21, 1, 0, 0}, {0, 0, 21, 99, 0, 151}}, 149},
    {__LINE__, 2, kShort, 149, false, {{0, 249, 21, 1}, {0, 0, 21, 1}}, {{0, 0, 21, 100, 0, 149}}, 147},
    {__LINE__, 2, {10, 100, 250}, 148, false, {{0, 248, 10, 2}}, {{0, 0, 10, 100, 0, 148}}, 146},

    // Vertical, exactly as tall as the menu: the tall rule.
    {__LINE__, 2, kExactlyTall, kFirstFrame, true, {}, {{0, 0, 21, 250, 0, 0}}, 2},
    {__LINE__, 2, kExactlyTall, 2, false, {}, {{0, 2, 21, 248, 0, 0}, {0, 0, 21, 2, 0, 248}}, 4},
    {__LINE__, 2, kExactlyTall, 248, false, {}, {{0, 248, 21, 2, 0, 0}, {0, 0, 21, 248, 0, 2}}, 0},

    // Vertical, taller than the menu (odd height: the wrap passes over it).
    {__LINE__, 2, kTallOdd, 151, false, {}, {{0, 151, 21, 250, 0, 0}}, 153},
    {__LINE__, 2, kTallOdd, 153, false, {}, {{0, 153, 21, 248, 0, 0}, {0, 0, 21, 2, 0, 248}}, 155},
    {__LINE__, 2, kTallOdd, 399, false, {}, {{0, 399, 21, 2, 0, 0}, {0, 0, 21, 248, 0, 2}}, 0},
    {__LINE__, 2, kTallOdd, 400, false, {}, {{0, 400, 21, 1, 0, 0}, {0, 0, 21, 249, 0, 1}}, 1},

    // Nothing to paint: position kept.
    {__LINE__, 1, {0, 100, 300}, 5, false, {}, {}, 5},
    {__LINE__, 2, {21, 0, 300}, 5, false, {}, {}, 5},
    {__LINE__, 0, {40, 100, 0}, 5, false, {}, {}, 5},
    {__LINE__, 4, kWide, 5, false, {}, {}, 5},
    {__LINE__, -1, kWide, kFirstFrame, false, {}, {}, kFirstFrame},
};

TEST(BannerScroll, EachTickCopiesFillsAndMovesOn) {
    for (const PlanRow& row : kPlanRows) {
        FramePlan plan = PlanFrame(row.mode, row.position, row.g.w, row.g.h, row.g.b);
        EXPECT_EQ(Describe(plan), Describe(row)) << "row at line " << row.line;
    }
}

// Paints plan after plan onto a model of the strip, each pixel naming the bitmap pixel
// it shows (y * width + x), and compares every tick with the picture the banner should
// show by then: the bitmap moved by `tick` steps around its loop, grey elsewhere.
constexpr int kGrey = -2, kUnpainted = -1;

struct Strip {
    int b;
    std::vector<int> px;
    explicit Strip(int height) : b(height), px(static_cast<size_t>(kStripWidth) * height, kUnpainted) {}
    int& at(int x, int y) { return px[static_cast<size_t>(y) * kStripWidth + x]; }
};

// What the strip shows after `tick` frames (tick 0 = the first frame).
int Expected(LONG mode, Geometry g, int tick, int x, int y) {
    const int cw = g.w < kStripWidth ? g.w : kStripWidth;
    if (mode == 1) {
        int row = y - (g.b - g.h);
        if (row < 0 || row >= g.h) return kGrey;
        int loop = g.w < kStripWidth ? kStripWidth : g.w;
        int col = (x + tick) % loop;
        return col < g.w ? row * g.w + col : kGrey;
    }
    if (x >= cw) return kGrey;
    if (g.h < g.b) {
        int row = ((y - (g.b - g.h) + 2 * tick) % g.b + g.b) % g.b;
        return row < g.h ? row * g.w + x : kGrey;
    }
    return ((y + 2 * tick) % g.h) * g.w + x;
}

void RunTicks(LONG mode, Geometry g, int ticks) {
    Strip strip(g.b);
    LONG position = kFirstFrame;
    for (int tick = 0; tick < ticks; ++tick) {
        FramePlan plan = PlanFrame(mode, position, g.w, g.h, g.b);
        ASSERT_LE(plan.copyCount, 2);
        if (plan.greyStrip)
            for (int y = 0; y < g.b; ++y)
                for (int x = 0; x < kStripWidth; ++x) strip.at(x, y) = kGrey;
        for (int i = 0; i < plan.fillCount; ++i) {
            const Fill& f = plan.fills[i];
            ASSERT_TRUE(f.x >= 0 && f.y >= 0 && f.x + f.width <= kStripWidth && f.y + f.height <= g.b) << Describe(plan);
            for (int y = f.y; y < f.y + f.height; ++y)
                for (int x = f.x; x < f.x + f.width; ++x) strip.at(x, y) = kGrey;
        }
        for (int i = 0; i < plan.copyCount; ++i) {
            const BlockCopy& c = plan.copies[i];
            ASSERT_TRUE(c.srcX >= 0 && c.srcY >= 0 && c.srcX + c.width <= g.w && c.srcY + c.height <= g.h)
                << "reads outside the bitmap: " << Describe(plan);
            ASSERT_TRUE(c.dstX >= 0 && c.dstY >= 0 && c.dstX + c.width <= kStripWidth && c.dstY + c.height <= g.b)
                << "paints outside the strip: " << Describe(plan);
            for (int dy = 0; dy < c.height; ++dy)
                for (int dx = 0; dx < c.width; ++dx)
                    strip.at(c.dstX + dx, c.dstY + dy) = (c.srcY + dy) * g.w + c.srcX + dx;
        }
        for (int y = 0; y < g.b; ++y)
            for (int x = 0; x < kStripWidth; ++x)
                ASSERT_EQ(strip.at(x, y), Expected(mode, g, tick, x, y))
                    << "tick " << tick << " at (" << x << "," << y << "), after " << Describe(plan);
        position = plan.nextPosition;
    }
}

TEST(BannerScroll, StripShowsTheBannerMovedAroundItsLoopWithoutGapOrTrail) {
    struct Case {
        LONG mode;
        Geometry g;
    };
    const Case cases[] = {
        {1, {13, 100, 120}}, {1, {20, 40, 120}}, {1, {1, 40, 120}}, {1, {21, 100, 120}}, {1, {40, 100, 120}},
        {1, {33, 150, 120}},  // taller than the menu: its bottom rows show
        {2, {30, 100, 120}}, {2, {10, 101, 120}}, {2, {21, 119, 120}}, {2, {21, 120, 120}}, {2, {30, 401, 120}},
        {2, {21, 201, 120}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + ", bitmap " + std::to_string(c.g.w) + "x" +
                     std::to_string(c.g.h) + ", menu " + std::to_string(c.g.b) + " high");
        // Three turns of the longest loop involved.
        int loop = c.mode == 1 ? (c.g.w < kStripWidth ? kStripWidth : c.g.w) : (c.g.h < c.g.b ? c.g.b : c.g.h);
        RunTicks(c.mode, c.g, 3 * loop);
        if (HasFatalFailure()) return;
    }
}

TEST(BannerScroll, SpeedGivesThePeriodAndOutOfRangeCountsAsTwo) {
    const struct {
        LONG speed;
        UINT period;
    } rows[] = {{1, 1}, {2, 57}, {3, 113}, {6, 281}, {0, 57}, {7, 57}, {-1, 57}, {LONG_MIN, 57}, {LONG_MAX, 57}};
    for (const auto& r : rows) EXPECT_EQ(banner::TimerPeriod(r.speed), r.period) << "speed " << r.speed;
}

TEST(BannerScroll, RandomDirectionBecomesHorizontalOrVertical) {
    EXPECT_EQ(banner::ResolveMode(3, 0), 1);
    EXPECT_EQ(banner::ResolveMode(3, 7), 2);
    for (LONG mode : {0L, 1L, 2L, 4L, -1L}) EXPECT_EQ(banner::ResolveMode(mode, 1), mode);
}

TEST(BannerFallbackPath, BuiltBesideTheModuleOrNotAtAll) {
    char out[32];
    std::memset(out, 'x', sizeof out);
    // "C:\fx\" + "banners\" + "Logo" + ".bmp" is 22 characters.
    EXPECT_TRUE(banner::FallbackPath("C:\\fx\\", "Logo", out, 23));
    EXPECT_STREQ(out, "C:\\fx\\banners\\Logo.bmp");
    EXPECT_FALSE(banner::FallbackPath("C:\\fx\\", "Logo", out, 22));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(banner::FallbackPath("", "Logo", out, sizeof out));
    EXPECT_STREQ(out, "");

    // The longest "Banner" value there is, beside a module in an ordinary folder.
    std::string name(259, 'n');
    char path[MAX_PATH];
    EXPECT_FALSE(banner::FallbackPath("C:\\Program Files\\Quorvel\\", name.c_str(), path, sizeof path));
    EXPECT_STREQ(path, "");
}

}  // namespace
