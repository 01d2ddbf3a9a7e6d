// Frame painting through GDI: the planned fills and copies reach the DC as pixels,
// and a handle that is no bitmap paints nothing.
#include "banner_test_support.h"
#include "frame.h"
#include "scroll.h"

#include <gtest/gtest.h>

namespace {

using bannertest::kGrey;
using bannertest::Pixels;

constexpr COLORREF kUntouched = RGB(255, 255, 255);

// A bitmap whose every pixel tells where it came from.
COLORREF Source(int x, int y) { return RGB(10 + x * 7, 20 + y, 200); }

struct Fixture {
    Pixels bitmap, menu;
    Fixture(int w, int h, int menuHeight) : bitmap(w, h), menu(60, menuHeight) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) bitmap.set(x, y, Source(x, y));
        bitmap.Unselect();
        menu.fill(kUntouched);
    }
};

TEST(BannerFrame, StillBannerSitsOnTheBottomWithoutGrey) {
    Fixture f(13, 20, 30);
    ASSERT_TRUE(f.bitmap.ok() && f.menu.ok());
    LONG position = 5;
    ASSERT_TRUE(banner::PaintFrame(f.menu.dc(), f.bitmap.bitmap(), banner::kStill, position, 30));
    EXPECT_EQ(position, 5);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 25; ++x) {
            COLORREF want = (x < 13 && y >= 10) ? Source(x, y - 10) : kUntouched;
            ASSERT_EQ(f.menu.at(x, y), want) << x << "," << y;
        }
}

TEST(BannerFrame, NarrowBannerMovesLeftOverGreyAndComesInOnTheRight) {
    Fixture f(13, 20, 30);
    LONG position = banner::kFirstFrame;
    ASSERT_TRUE(banner::PaintFrame(f.menu.dc(), f.bitmap.bitmap(), banner::kHorizontal, position, 30));
    ASSERT_TRUE(banner::PaintFrame(f.menu.dc(), f.bitmap.bitmap(), banner::kHorizontal, position, 30));
    EXPECT_EQ(position, -2);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 25; ++x) {
            COLORREF want = kUntouched;
            if (x < banner::kStripWidth) {
                int col = (x + 1) % banner::kStripWidth;  // one tick on
                want = (y >= 10 && col < 13) ? Source(col, y - 10) : kGrey;
            }
            ASSERT_EQ(f.menu.at(x, y), want) << x << "," << y;
        }
}

TEST(BannerFrame, TallBannerMovesUpAndItsTopFollowsItsEnd) {
    Fixture f(30, 41, 30);
    LONG position = 38;  // three rows before the end
    ASSERT_TRUE(banner::PaintFrame(f.menu.dc(), f.bitmap.bitmap(), banner::kVertical, position, 30));
    EXPECT_EQ(position, 40);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 25; ++x) {
            COLORREF want = x < banner::kStripWidth ? Source(x, (y + 38) % 41) : kUntouched;
            ASSERT_EQ(f.menu.at(x, y), want) << x << "," << y;
        }
}

TEST(BannerFrame, NoBitmapOrNoRoomPaintsNothing) {
    Fixture f(13, 20, 30);
    HGDIOBJ notABitmap = GetStockObject(GRAY_BRUSH);
    struct {
        HBITMAP bitmap;
        int height;
    } rows[] = {{nullptr, 30}, {static_cast<HBITMAP>(notABitmap), 30}, {f.bitmap.bitmap(), 0}};
    for (const auto& r : rows) {
        LONG position = banner::kFirstFrame;
        EXPECT_FALSE(banner::PaintFrame(f.menu.dc(), r.bitmap, banner::kHorizontal, position, r.height));
        EXPECT_EQ(position, banner::kFirstFrame);
    }
    EXPECT_EQ(f.menu.at(0, 29), kUntouched);
    EXPECT_EQ(f.menu.at(0, 0), kUntouched);
}

}  // namespace
