// The launch effect drawn into a device context of our own: where it ends for
// each style, icon kind and size, what it leaves alone, and what it gives back.
#include "launch_effect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fx/handles.h"
#include "process_counters.h"

namespace engine {
namespace {

constexpr COLORREF kBackground = RGB(10, 120, 200);
constexpr int kCanvas = 100;
constexpr int kX = 20, kY = 30;

// A 32-bit picture with a device context, filled with the background colour.
struct Canvas {
    fx::UniqueMemDC dc;
    fx::UniqueBitmap bitmap;
    DWORD* bits = nullptr;
    HGDIOBJ previous = nullptr;

    Canvas() {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = kCanvas;
        bi.bmiHeader.biHeight = -kCanvas;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        dc.reset(CreateCompatibleDC(nullptr));
        bitmap.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
        bits = static_cast<DWORD*>(p);
        previous = SelectObject(dc.get(), bitmap.get());
        fx::UniqueBrush brush(CreateSolidBrush(kBackground));
        RECT all{0, 0, kCanvas, kCanvas};
        FillRect(dc.get(), &all, brush.get());
        GdiFlush();
    }
    ~Canvas() { SelectObject(dc.get(), previous); }
    std::vector<DWORD> Pixels() {
        GdiFlush();
        return std::vector<DWORD>(bits, bits + kCanvas * kCanvas);
    }
};

// An icon whose left and right halves differ (a turn shows), with a transparent
// 3-pixel border; either with a colour image or monochrome (image and mask in
// one bitmap of twice the height).
HICON MakeIcon(int w, int h, bool monochrome) {
    const int stride = ((w + 15) / 16) * 2;  // 1-bit rows, word-aligned
    std::vector<BYTE> andBits(static_cast<size_t>(stride) * h, 0);
    std::vector<BYTE> xorBits(static_cast<size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool border = x < 3 || y < 3 || x >= w - 3 || y >= h - 3;
            BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
            if (border) andBits[y * stride + x / 8] |= bit;
            else if (x < w / 2 || y < h / 3) xorBits[y * stride + x / 8] |= bit;
        }
    if (monochrome) return CreateIcon(nullptr, w, h, 1, 1, andBits.data(), xorBits.data());

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* p = nullptr;
    fx::UniqueBitmap color(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
    const int rowBytes = ((w * 3 + 3) / 4) * 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* px = static_cast<BYTE*>(p) + y * rowBytes + x * 3;
            const bool border = x < 3 || y < 3 || x >= w - 3 || y >= h - 3;
            px[0] = border ? 0 : (x < w / 2 ? 30 : 220);   // blue
            px[1] = border ? 0 : static_cast<BYTE>(y * 4);  // green
            px[2] = border ? 0 : (x < w / 2 ? 240 : 40);   // red
        }
    fx::UniqueBitmap mask(CreateBitmap(w, h, 1, 1, andBits.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), color.get()};
    return CreateIconIndirect(&info);
}

// What the square shows when the icon is drawn normally over the background.
std::vector<DWORD> IconOverBackground(HICON icon) {
    Canvas reference;
    DrawIconEx(reference.dc.get(), kX, kY, icon, 0, 0, 0, nullptr, DI_NORMAL);
    return reference.Pixels();
}

TEST(LaunchEffect, NoContextOrIconDrawsNothingAndOtherStylesDrawNothing) {
    fx::UniqueIcon icon(MakeIcon(32, 32, false));
    Canvas canvas;
    const std::vector<DWORD> before = canvas.Pixels();
    EXPECT_EQ(PlayLaunchEffect(nullptr, kX, kY, icon.get(), kPivot, 0), 0);
    EXPECT_EQ(PlayLaunchEffect(canvas.dc.get(), kX, kY, nullptr, kPivot, 0), 0);
    for (int style : {0, static_cast<int>(kLaunchAni), 6, -1}) {
        SCOPED_TRACE(style);
        EXPECT_EQ(PlayLaunchEffect(canvas.dc.get(), kX, kY, icon.get(), style, 0), 1);
    }
    EXPECT_EQ(canvas.Pixels(), before);
}

TEST(LaunchEffect, TurnsEndOnTheIconAndSquashesEndOnTheBackground) {
    struct Row {
        int line;
        int style, size;
        bool monochrome;
    } rows[] = {
        {__LINE__, kPivot, 32, false}, {__LINE__, kFlip, 32, false},   {__LINE__, kSquash, 32, false},
        {__LINE__, kMoveUp, 32, false}, {__LINE__, kPivot, 16, false}, {__LINE__, kFlip, 48, false},
        {__LINE__, kSquash, 48, false}, {__LINE__, kMoveUp, 16, false},
        // Sizes that are not multiples of 8 or 16.
        {__LINE__, kPivot, 20, false}, {__LINE__, kFlip, 36, false},   {__LINE__, kSquash, 24, false},
        // A monochrome icon: no colour bitmap, the mask holds both halves.
        {__LINE__, kPivot, 32, true},  {__LINE__, kFlip, 16, true},    {__LINE__, kMoveUp, 48, true},
        {__LINE__, kSquash, 32, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << r.line);
        fx::UniqueIcon icon(MakeIcon(r.size, r.size, r.monochrome));
        ASSERT_TRUE(icon);
        Canvas canvas;
        const std::vector<DWORD> background = canvas.Pixels();
        EXPECT_EQ(PlayLaunchEffect(canvas.dc.get(), kX, kY, icon.get(), r.style, 0), 1);
        const bool turns = r.style == kPivot || r.style == kFlip;
        const std::vector<DWORD> end = canvas.Pixels();
        EXPECT_TRUE(end == (turns ? IconOverBackground(icon.get()) : background))
            << (turns ? "the icon did not come back whole" : "the icon did not leave its square");
    }
}

TEST(LaunchEffect, DrawsOnlyInsideTheIconSquare) {
    // A background with detail everywhere: anything drawn outside the square shows.
    fx::UniqueIcon icon(MakeIcon(32, 32, false));
    for (int style : {kPivot, kFlip, kSquash, kMoveUp}) {
        SCOPED_TRACE(style);
        Canvas canvas;
        for (int i = 0; i < kCanvas * kCanvas; ++i) canvas.bits[i] = (i * 2654435761u) & 0xFFFFFF;
        const std::vector<DWORD> before = canvas.Pixels();
        PlayLaunchEffect(canvas.dc.get(), kX, kY, icon.get(), style, 0);
        const std::vector<DWORD> after = canvas.Pixels();
        for (int y = 0; y < kCanvas; ++y)
            for (int x = 0; x < kCanvas; ++x) {
                const bool inside = x >= kX && x < kX + 32 && y >= kY && y < kY + 32;
                if (!inside && after[y * kCanvas + x] != before[y * kCanvas + x])
                    FAIL() << "pixel (" << x << ", " << y << ") outside the square changed";
            }
    }
}

TEST(LaunchEffect, TenThousandEffectsGiveBackEveryObject) {
    fx::UniqueIcon icons[] = {fx::UniqueIcon(MakeIcon(32, 32, false)), fx::UniqueIcon(MakeIcon(48, 48, false)),
                              fx::UniqueIcon(MakeIcon(32, 32, true))};
    Canvas canvas;
    PlayLaunchEffect(canvas.dc.get(), kX, kY, icons[0].get(), kPivot, 0);  // first-use allocations
    const fxtest::ResourceCounts before = fxtest::CountResources();
    ASSERT_GE(before.gdiObjects, 0);
    for (int i = 0; i < 10000; ++i)
        PlayLaunchEffect(canvas.dc.get(), kX, kY, icons[i % 3].get(), 1 + i % 4, 0);
    const fxtest::ResourceCounts after = fxtest::CountResources();
    std::printf("GDI objects %ld -> %ld, handles %ld -> %ld over 10000 effects\n", before.gdiObjects,
                after.gdiObjects, before.handles, after.handles);
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace engine
