// The bubble window of the installed engine, attached to a desktop of our own: its
// region against the shape tables, where it opens, what shows and hides it, its
// private messages, and what a show gives back.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bubble_test_support.h"
#include "fx/names.h"
#include "process_counters.h"

using namespace bubbletest;

namespace {

constexpr UINT_PTR kBubbleTimer = 1113;

// --- the tables, written out again as the test's oracle ---------------------------

// The text size the bubble measures: 8-point Arial, within max(minWidth, 160), or
// within 200 when that is taller than 60.
SIZE MeasureLikeTheBubble(const char* text, LONG minWidth) {
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, std::max<LONG>(minWidth, 160), 60};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    if (r.bottom > 60) {
        r = RECT{0, 0, 200, 60};
        DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE TableSize(int shape, SIZE t) {
    switch (shape) {
    case 1: return {t.cx + 17, t.cy + 17};
    case 2: return {t.cx + t.cx / 4 + 6, t.cy + (2 * t.cy) / 3 + 6};
    case 3: return {t.cx + 29, t.cy + 27};
    default: return {t.cx + 34 - t.cx % 16 + 18, t.cy + 34 - t.cy % 16 + 18};
    }
}

struct RegionBuilder {
    HRGN all = CreateRectRgn(0, 0, 0, 0);
    void Add(HRGN part) {
        CombineRgn(all, all, part, RGN_OR);
        DeleteObject(part);
    }
    void Triangle(POINT a, POINT b, POINT c) {
        POINT p[3] = {a, b, c};
        Add(CreatePolygonRgn(p, 3, ALTERNATE));
    }
};

// The outline for a window of W x H opening left (L) and/or up (A).
HRGN TableRegion(int shape, LONG W, LONG H, bool L, bool A) {
    RegionBuilder r;
    const POINT tip{L ? W : 0, A ? H : 0};
    switch (shape) {
    case 1: {
        const LONG x = L ? 0 : 5, y = A ? 0 : 5;
        r.Add(CreateRectRgn(x, y, x + W - 5, y + H - 5));
        r.Triangle(tip, {L ? W - 8 : 8, A ? H - 20 : 20}, {L ? W - 20 : 20, A ? H - 8 : 8});
        break;
    }
    case 2:
        r.Add(CreateEllipticRgn(0, 0, W, H));
        r.Triangle(tip, {W / 2, H / 2}, {L ? (6 * W) / 7 : W / 7, H / 2});
        break;
    case 3: {
        const LONG x = L ? 0 : 15, y = A ? 0 : 13;
        r.Add(CreateRoundRectRgn(x, y, x + W - 15, y + H - 13, 24, 24));
        r.Add(CreateEllipticRgn(L ? W - 8 : 0, A ? H - 10 : 2, L ? W : 8, A ? H - 2 : 10));
        r.Add(CreateEllipticRgn(L ? W - 19 : 7, A ? H - 19 : 7, L ? W - 7 : 19, A ? H - 7 : 19));
        break;
    }
    case 4: {
        const LONG tw = W - 18, th = H - 18, right = tw + 9, bottom = th + 9;
        r.Add(CreateRectRgn(9, 9, right, bottom));
        r.Triangle(tip, {W / 2, H / 2}, {L ? (6 * W) / 7 : W / 7, H / 2});
        for (LONG x = 17; x < tw - 18; x += 16) {
            r.Triangle({x, 9}, {x + 9, 0}, {x + 18, 9});
            r.Triangle({x, H - 9}, {x + 9, H}, {x + 18, H - 9});
        }
        r.Triangle({right - 8, 9}, {right - 17, 0}, {right - 26, 9});
        r.Triangle({right - 8, H - 9}, {right - 17, H}, {right - 26, H - 9});
        for (LONG y = 17; y < th - 18; y += 16) {
            r.Triangle({9, y}, {0, y + 9}, {9, y + 18});
            r.Triangle({W - 9, y}, {W, y + 9}, {W - 9, y + 18});
        }
        r.Triangle({9, bottom - 8}, {0, bottom - 17}, {9, bottom - 26});
        r.Triangle({W - 9, bottom - 8}, {W, bottom - 17}, {W - 9, bottom - 26});
        break;
    }
    }
    return r.all;
}

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

// The same pixels (EqualRgn also compares how the rectangles are banded, which a
// round trip through the window can change).
bool SamePixels(HRGN a, HRGN b) {
    HRGN diff = CreateRectRgn(0, 0, 0, 0);
    int kind = CombineRgn(diff, a, b, RGN_XOR);
    DeleteObject(diff);
    return kind == NULLREGION;
}

RECT WindowBox(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// A plain popup of our own (static controls are transparent to hit tests).
HWND Popup(int x, int y, int w, int h, bool topmost) {
    static const ATOM cls = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = "BubbleTestPopup";
        return RegisterClassA(&wc);
    }();
    (void)cls;
    return CreateWindowExA(WS_EX_TOOLWINDOW | (topmost ? WS_EX_TOPMOST : 0), "BubbleTestPopup", "",
                           WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

const char kText[] = "Your notes: a plain text file for things to remember.";
const char* const kShapeNames[] = {"", "Rectangle", "Ellipse", "Rounded", "Rick Rack"};

class Bubble : public EngineOnFakeDesktop {
protected:
    LONG Show(const RECT& item, const char* text, HWND window = nullptr, LONG minWidth = 150) {
        return display(window, item.left, item.top, item.right, item.bottom, text, minWidth, 1);
    }
    void Hide() { display(nullptr, 0, 0, 0, 0, "", 0, 0); }
    SIZE Screen() const { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }
};

// Unobstructed, the bubble grows up and right from the item's top-right corner; near
// the screen's right and top edges it opens to the left of the item and downwards.
TEST_F(Bubble, RegionMatchesTheShapeTableAndOpensAwayFromTheEdges) {
    const SIZE screen = Screen();
    struct Place { const char* name; RECT item; bool toLeft, above; };
    const Place places[] = {
        {"middle", {400, 300, 440, 340}, false, true},
        {"top right", {screen.cx - 40, 4, screen.cx - 8, 40}, true, false},
    };
    const SIZE text = MeasureLikeTheBubble(kText, 150);
    for (int shape = 1; shape <= 4; ++shape) {
        shared->g_bubbleStyle = shape;
        for (const Place& p : places) {
            SCOPED_TRACE(testing::Message() << kShapeNames[shape] << ", " << p.name);
            ASSERT_EQ(Show(p.item, kText), 1);
            ASSERT_TRUE(IsWindowVisible(bubble()));
            const SIZE size = TableSize(shape, text);
            const RECT box = WindowBox(bubble());
            EXPECT_EQ(box.right - box.left, size.cx);
            EXPECT_EQ(box.bottom - box.top, size.cy);
            const LONG ax = p.toLeft ? p.item.left : p.item.right - 3, ay = p.item.top + 3;
            EXPECT_EQ(box.left, p.toLeft ? ax - size.cx : ax);
            EXPECT_EQ(box.top, p.above ? ay - size.cy : ay);

            HRGN actual = CreateRectRgn(0, 0, 0, 0);
            ASSERT_NE(GetWindowRgn(bubble(), actual), ERROR);
            HRGN expected = TableRegion(shape, size.cx, size.cy, p.toLeft, p.above);
            EXPECT_TRUE(SamePixels(actual, expected));
            RECT rb, eb;
            GetRgnBox(actual, &rb);
            GetRgnBox(expected, &eb);
            EXPECT_EQ(Area(actual), Area(expected));
            EXPECT_TRUE(EqualRect(&rb, &eb));
            std::printf("  %-9s %-9s window %3ldx%-3ld at (%4ld,%4ld)  region area %5ld box (%ld,%ld,%ld,%ld)\n",
                        kShapeNames[shape], p.name, size.cx, size.cy, box.left, box.top, Area(actual), rb.left,
                        rb.top, rb.right, rb.bottom);
            DeleteObject(actual);
            DeleteObject(expected);
        }
    }
}

TEST_F(Bubble, TextIsLaidOutWithinTheAskedWidthOrWithin200WhenTall) {
    shared->g_bubbleStyle = 1;
    const std::string tall =
        "A help text long enough to need more than sixty pixels of height when it is laid out within "
        "one hundred and sixty pixels, so it is laid out again within two hundred, whatever was asked.";
    const std::string word(259, 'W');  // one word, the longest a help text can be
    const char lines[] = "One\nTwo\nThree\nFour\nFive";  // taller than 60 at any width
    struct Row { const char* text; LONG minWidth; bool relaid; };
    const Row rows[] = {
        {"Short", 0, false},        {kText, 150, false},        {kText, 400, false}, {tall.c_str(), 150, true},
        {tall.c_str(), 600, false}, {word.c_str(), 150, false}, {lines, 600, true},
    };
    for (const Row& r : rows) {
        const SIZE t = MeasureLikeTheBubble(r.text, r.minWidth);
        ASSERT_EQ(Show(RECT{400, 300, 440, 340}, r.text, nullptr, r.minWidth), 1);
        const RECT box = WindowBox(bubble());
        EXPECT_EQ(box.right - box.left, t.cx + 17) << r.text << " / " << r.minWidth;
        EXPECT_EQ(box.bottom - box.top, t.cy + 17) << r.text << " / " << r.minWidth;
        if (r.relaid) {
            EXPECT_LE(t.cx, 200) << r.text;
        }
    }
}

// The text is drawn in the lines it was measured in: its ink is as wide as the
// measured width. (Wrapped again within a box exactly that wide, a line can break a
// word earlier, and the last line is cut off at the box's bottom.)
TEST_F(Bubble, TextIsDrawnInTheLinesItWasMeasuredIn) {
    shared->g_bubbleStyle = 1;
    const COLORREF fill = GetSysColor(COLOR_INFOBK);
    const DWORD fillPixel = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
    const char* texts[] = {
        kText,
        "Your projects folder: one subfolder per project.",
        "Read this first: what is on this desktop and how to use it.",
        "Your photo collection; open it to browse the pictures.",
        "My Computer: your drives, and the folders on them.",
    };
    for (const char* text : texts) {
        const SIZE t = MeasureLikeTheBubble(text, 150);
        ASSERT_EQ(Show(RECT{400, 300, 440, 340}, text), 1);  // opens up and right
        const RECT box = WindowBox(bubble());
        const LONG W = box.right - box.left, H = box.bottom - box.top;
        // Rectangle opening upwards: body (5, 0, W, H - 5), text box (11, 6, W - 6, H - 11).
        const Pixels p = Capture(bubble(), RECT{0, 0, W, H});
        LONG left = W, right = -1;
        for (LONG y = 6; y < H - 11; ++y)
            for (LONG x = 8; x < W - 3; ++x)
                if (p.at(x, y) != fillPixel) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        EXPECT_GE(right - left + 1, t.cx - 3) << text << ": drawn narrower than measured, so wrapped otherwise";
        EXPECT_LE(right - left + 1, t.cx + 1) << text;
    }
}

// The item's window is asked at each corner in turn (top right, top left, bottom
// left, bottom right); where another window covers it, the next corner is tried, and
// with all four covered the bubble hangs from the item's centre.
TEST_F(Bubble, AnchorsAtTheFirstCornerWhereTheItemsWindowShows) {
    shared->g_bubbleStyle = 1;
    const RECT item{400, 300, 480, 380};
    HWND itemWindow = Popup(380, 280, 120, 120, false);
    const POINT corners[4] = {{477, 303}, {403, 303}, {403, 377}, {477, 377}};
    const SIZE size = TableSize(1, MeasureLikeTheBubble(kText, 150));
    struct Row { int covered; POINT anchor; bool toLeft, above; };
    const Row rows[] = {
        {0, {477, 303}, false, true},  // top right
        {1, {403, 303}, true, true},   // top left, opening left
        {2, {403, 377}, true, false},  // bottom left
        {3, {477, 377}, false, false}, // bottom right
        {4, {440, 340}, false, true},  // centre
    };
    for (const Row& r : rows) {
        std::vector<HWND> covers;
        for (int i = 0; i < r.covered; ++i)
            covers.push_back(Popup(corners[i].x - 2, corners[i].y - 2, 5, 5, true));
        ASSERT_EQ(Show(item, kText, itemWindow), 1);
        const RECT box = WindowBox(bubble());
        EXPECT_EQ(box.left, r.toLeft ? r.anchor.x - size.cx : r.anchor.x) << r.covered << " corners covered";
        EXPECT_EQ(box.top, r.above ? r.anchor.y - size.cy : r.anchor.y) << r.covered << " corners covered";
        for (HWND c : covers) DestroyWindow(c);
    }
    DestroyWindow(itemWindow);
}

TEST_F(Bubble, ShowsNothingWhenOffOrEmptyAndAShowFirstHidesTheLastBubble) {
    const RECT item{400, 300, 440, 340};
    struct Row { LONG style; const char* text; };
    const Row rows[] = {{0, kText}, {5, kText}, {-1, kText}, {1, ""}, {1, nullptr}};
    for (const Row& r : rows) {
        shared->g_bubbleStyle = 1;
        ASSERT_EQ(Show(item, kText), 1);
        ASSERT_TRUE(IsWindowVisible(bubble()));
        shared->g_bubbleStyle = r.style;
        EXPECT_EQ(Show(item, r.text), 0) << r.style;
        EXPECT_FALSE(IsWindowVisible(bubble())) << r.style;
    }
    shared->g_bubbleStyle = 1;
    ASSERT_EQ(Show(item, kText), 1);
    Hide();
    EXPECT_FALSE(IsWindowVisible(bubble()));

    // Without the bubble window nothing is drawn, and nothing is made for it.
    HWND saved = shared->g_bubbleWindow;
    shared->g_bubbleWindow = nullptr;
    const fxtest::ResourceCounts before = fxtest::CountResources();
    EXPECT_EQ(Show(item, kText), 0);
    EXPECT_EQ(fxtest::CountResources(), before);
    shared->g_bubbleWindow = saved;
}

TEST_F(Bubble, KeyOrButtonOnTheBubbleHidesIt) {
    shared->g_bubbleStyle = 3;
    for (UINT msg : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        ASSERT_EQ(Show(RECT{400, 300, 440, 340}, kText), 1);
        SendMessageA(bubble(), msg, 0, 0);
        EXPECT_FALSE(IsWindowVisible(bubble())) << msg;
    }
}

// The hover code leaves text, anchor and list view in place and starts the timer on
// the desktop thread; the bubble shows once. The list view here is not on screen, so
// no corner shows it and the bubble hangs from the item's centre.
TEST_F(Bubble, TimerShowsThePendingTextAtThePendingAnchorOnce) {
    shared->g_bubbleStyle = 1;
    // A text that fills the whole shared field, terminator and all.
    std::memset(shared->g_bubbleText, 'x', sizeof shared->g_bubbleText);
    shared->g_bubbleAnchor = EngineRect{300, 300, 340, 350};
    SetWindowLongPtrA(bubble(), 0, reinterpret_cast<LONG_PTR>(desk->list()));
    OnDesktop([&] { SetTimer(bubble(), kBubbleTimer, 50, nullptr); });
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(bubble()) != FALSE; }, 3000));

    const std::string shown(sizeof shared->g_bubbleText - 1, 'x');
    const SIZE size = TableSize(1, MeasureLikeTheBubble(shown.c_str(), 150));
    const RECT box = WindowBox(bubble());
    EXPECT_EQ(box.right - box.left, size.cx);
    const POINT centre{320, 325};
    const bool toLeft = centre.x + size.cx > GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(box.left, toLeft ? centre.x - size.cx : centre.x);
    EXPECT_EQ(box.top, centre.y - size.cy > 0 ? centre.y - size.cy : centre.y);

    Hide();
    Sleep(200);
    WaitFor([] { return false; }, 200);
    EXPECT_FALSE(IsWindowVisible(bubble())) << "the timer fired again";
}

TEST_F(Bubble, TabRectangleIsReadInThisProcessOnly) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_POPUP, 0, 0, 400, 30, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(tabs, nullptr);
    const char* names[] = {"First", "Second window", "Third"};
    for (int i = 0; i < 3; ++i) {
        TCITEMA t{};
        t.mask = TCIF_TEXT;
        t.pszText = const_cast<char*>(names[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&t));
    }
    for (int i = 0; i < 3; ++i) {
        RECT want{};
        SendMessageA(tabs, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&want));
        shared->g_tabRect = EngineRect{-1, -1, -1, -1};
        EXPECT_EQ(SendMessageA(bubble(), fx::FXBM_TAB_RECT, reinterpret_cast<WPARAM>(tabs), i), 1);
        const EngineRect got = shared->g_tabRect;
        EXPECT_EQ(got.left, want.left) << i;
        EXPECT_EQ(got.right, want.right) << i;
        EXPECT_EQ(got.bottom, want.bottom) << i;
        EXPECT_GT(want.right, want.left);
    }
    // No such tab, no such control: an empty rectangle rather than a stale one.
    for (WPARAM control : {reinterpret_cast<WPARAM>(tabs), WPARAM{0}, WPARAM{0x12345}}) {
        shared->g_tabRect = EngineRect{1, 2, 3, 4};
        EXPECT_EQ(SendMessageA(bubble(), fx::FXBM_TAB_RECT, control, control ? 7 : 0), 1);
        EXPECT_EQ(shared->g_tabRect.right, 0);
    }
    EXPECT_EQ(SendMessageA(bubble(), fx::FXBM_FORWARD, 0, 0), 1);
    DestroyWindow(tabs);
}

TEST_F(Bubble, TenThousandShowsAndHidesGiveBackEveryObject) {
    const RECT items[] = {{400, 300, 440, 340}, {GetSystemMetrics(SM_CXSCREEN) - 40, 4, GetSystemMetrics(SM_CXSCREEN) - 8, 40}};
    auto cycle = [&](int i) {
        shared->g_bubbleStyle = 1 + i % 4;
        const RECT& r = items[i % 2];
        display(nullptr, r.left, r.top, r.right, r.bottom, kText, 150, 1);
        display(nullptr, 0, 0, 0, 0, "", 0, 0);
    };
    // On the desktop thread, as the bubble timer runs it.
    OnDesktop([&] { for (int i = 0; i < 60; ++i) cycle(i); });
    const fxtest::ResourceCounts before = fxtest::CountResources();
    ASSERT_GE(before.gdiObjects, 0);
    DWORD start = GetTickCount();
    OnDesktop([&] { for (int i = 0; i < 10000; ++i) cycle(i); });
    DWORD ms = GetTickCount() - start;
    const fxtest::ResourceCounts after = fxtest::CountResources();
    std::printf("  10000 bubble show/hide cycles in %lu ms: GDI objects %ld -> %ld, handles %ld -> %ld\n", ms,
                before.gdiObjects, after.gdiObjects, before.handles, after.handles);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.handles, before.handles);
}

}  // namespace
