// The flyover frame of the installed engine, moved about inside a window of our own
// the way the hover code moves it: the pixels of each border style around a given
// rectangle, its region, its slot in the shared area, and what a move gives back.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "bubble_test_support.h"
#include "fx/names.h"
#include "process_counters.h"

using namespace bubbletest;

namespace {

constexpr COLORREF kBackground = RGB(10, 200, 30);
constexpr DWORD kBackgroundPixel = 0x0AC81E;  // the same, as 0x00RRGGBB

class Frame : public EngineOnFakeDesktop {
protected:
    void SetUp() override {
        EngineOnFakeDesktop::SetUp();
        NewHost();
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override {
        if (desk) OnDesktop([&] { DestroyWindow(host); });
        EngineOnFakeDesktop::TearDown();
    }

    // A visible window on the desktop thread, painted once in a colour no border
    // uses; it clips its children, so what is under the frame's ring stays as first
    // painted. The frame goes back to the list view before an old host goes.
    void NewHost() {
        OnDesktop([&] {
            if (host) {
                if (IsWindow(frame())) {
                    ShowWindow(frame(), SW_HIDE);
                    SetParent(frame(), desk->list());
                }
                DestroyWindow(host);
            }
            static const ATOM cls = [] {
                WNDCLASSA wc{};
                wc.lpfnWndProc = DefWindowProcA;
                wc.hInstance = GetModuleHandleA(nullptr);
                wc.hbrBackground = CreateSolidBrush(kBackground);
                wc.lpszClassName = "FrameTestHost";
                return RegisterClassA(&wc);
            }();
            (void)cls;
            host = CreateWindowExA(WS_EX_TOOLWINDOW, "FrameTestHost", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100,
                                   100, 240, 160, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            UpdateWindow(host);
        });
    }

    // What the hover code does for a new item: hide, re-parent, move and size, show.
    void PlaceFrame(const RECT& r) {
        OnDesktop([&] {
            HWND f = frame();
            ShowWindow(f, SW_HIDE);
            SetParent(f, host);
            SetWindowPos(f, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
            SetWindowPos(f, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            UpdateWindow(f);
        });
    }
    Pixels HostPixels() {
        Pixels p;
        OnDesktop([&] {
            RECT c;
            GetClientRect(host, &c);
            p = Capture(host, c);
        });
        return p;
    }

    HWND host = nullptr;
};

// DrawEdge's border for the style, drawn by the test on the background colour.
Pixels ReferenceEdge(UINT edge, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r{0, 0, w, h};
    HBRUSH bg = CreateSolidBrush(kBackground);
    FillRect(mem, &r, bg);
    DeleteObject(bg);
    DrawEdge(mem, &r, edge, BF_RECT);
    Pixels p = CaptureDC(mem, r);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return p;
}

bool InRing(const RECT& r, int x, int y) {
    if (x < r.left || y < r.top || x >= r.right || y >= r.bottom) return false;
    return x < r.left + 2 || y < r.top + 2 || x >= r.right - 2 || y >= r.bottom - 2;
}

// Counts the pixels that differ from what the style should show around r.
int Mismatches(const Pixels& got, const RECT& r, LONG style, const Pixels* edge, int* ringPixels) {
    int bad = 0;
    *ringPixels = 0;
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
            DWORD want = kBackgroundPixel;
            if (InRing(r, x, y) && style >= 1 && style <= 5) {
                ++*ringPixels;
                want = style == 5 ? (~kBackgroundPixel & 0xFFFFFF) : edge->at(x - r.left, y - r.top);
            }
            if (got.at(x, y) != want && ++bad <= 3)
                ADD_FAILURE() << "style " << style << " pixel (" << x << "," << y << ") is " << std::hex
                              << got.at(x, y) << ", expected " << want;
        }
    }
    return bad;
}

TEST_F(Frame, BorderAroundTheRectangleInEachStyle) {
    const UINT edges[] = {0, EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP, 0};
    // An icon's selection bounds plus 2, as the hover code passes them.
    const RECT r{30, 20, 30 + 76, 20 + 64};
    for (LONG style = 1; style <= 5; ++style) {
        NewHost();
        SetFlyoverStyle(style);
        PlaceFrame(r);
        Pixels edge = ReferenceEdge(edges[style], r.right - r.left, r.bottom - r.top);
        int ring = 0;
        EXPECT_EQ(Mismatches(HostPixels(), r, style, &edge, &ring), 0) << "style " << style;
        EXPECT_EQ(ring, 76 * 64 - 72 * 60);
    }
}

TEST_F(Frame, InverseFrameIsUndoneByASecondPaint) {
    const RECT r{40, 30, 100, 90};
    SetFlyoverStyle(5);
    PlaceFrame(r);
    int ring = 0;
    EXPECT_EQ(Mismatches(HostPixels(), r, 5, nullptr, &ring), 0);
    OnDesktop([&] {
        InvalidateRect(frame(), nullptr, FALSE);
        UpdateWindow(frame());
    });
    EXPECT_EQ(Mismatches(HostPixels(), r, 0, nullptr, &ring), 0) << "two paints restore the border";
}

TEST_F(Frame, WithoutAStyleThereIsNoRegionAndNothingIsDrawn) {
    for (LONG style : {0L, 6L, -1L}) {
        SetFlyoverStyle(style);
        const RECT r{20 + 10 * static_cast<LONG>(style & 3), 20, 90, 80};
        PlaceFrame(r);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetWindowRgn(frame(), rgn), ERROR) << style;
        DeleteObject(rgn);
        int ring = 0;
        EXPECT_EQ(Mismatches(HostPixels(), r, 0, nullptr, &ring), 0) << style;
    }
}

// The ring follows the item's size even when the new item has the old one's corner
// (no move, only a size change).
TEST_F(Frame, RingFollowsASizeChangeInPlace) {
    SetFlyoverStyle(1);
    for (RECT r : {RECT{30, 20, 106, 84}, RECT{30, 20, 150, 100}, RECT{30, 20, 60, 50}}) {
        PlaceFrame(r);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(frame(), rgn), ERROR);
        RECT box;
        GetRgnBox(rgn, &box);
        EXPECT_EQ(box.right, r.right - r.left);
        EXPECT_EQ(box.bottom, r.bottom - r.top);
        EXPECT_FALSE(PtInRegion(rgn, 3, 3));
        DeleteObject(rgn);
    }
}

TEST_F(Frame, DestroyForgetsOnlyItsOwnWindow) {
    HWND original = frame();
    HWND other = nullptr;
    OnDesktop([&] {
        other = CreateWindowExA(WS_EX_TOOLWINDOW, fx::kFrameClass, "", WS_CHILD | WS_DISABLED, 0, 0, 10, 10, host,
                                nullptr, engine, nullptr);
        DestroyWindow(other);
    });
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(frame(), original) << "another frame's end cleared the slot";
    OnDesktop([&] { DestroyWindow(original); });
    EXPECT_EQ(frame(), nullptr);
}

// The hover code re-creates the frame on whatever thread notices it has gone (a
// folder window's); unhooking must still take it away before the engine can go.
TEST_F(Frame, FrameMadeOnAnotherThreadGoesAtUnhook) {
    OnDesktop([&] { DestroyWindow(frame()); });
    HWND made = nullptr;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread folderThread([&] {
        HWND parent = CreateWindowExA(WS_EX_TOOLWINDOW, "FrameTestHost", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        made = CreateWindowExA(WS_EX_TOOLWINDOW, fx::kFrameClass, "", WS_CHILD | WS_DISABLED, -100, -100, 50, 50,
                               parent, nullptr, engine, nullptr);
        shared->g_frameWindow = made;
        SetEvent(ready);
        MSG msg;
        DWORD end = GetTickCount() + 5000;
        while (IsWindow(made) && static_cast<LONG>(end - GetTickCount()) > 0) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        DestroyWindow(parent);
    });
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
    ASSERT_TRUE(IsWindow(made));

    HWND desktopWindow = desk->desktop();
    unhook();
    EXPECT_TRUE(WaitFor([&] { return desk->CurrentProc(desktopWindow) == desk->desktopOriginal(); }));
    EXPECT_FALSE(IsWindow(made)) << "a frame window outlives the unhook";
    folderThread.join();
}

TEST_F(Frame, TenThousandMovesGiveBackEveryObject) {
    const RECT rects[] = {{30, 20, 106, 84}, {120, 40, 200, 120}, {30, 20, 90, 70}};
    auto cycles = [&](int n) {
        OnDesktop([&] {
            HWND f = frame();
            SetParent(f, host);
            for (int i = 0; i < n; ++i) {
                const RECT& r = rects[i % 3];
                ShowWindow(f, SW_HIDE);
                SetWindowPos(f, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
                SetWindowPos(f, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
                UpdateWindow(f);
            }
        });
    };
    // The first moves of a style fill the platform's caches (the frame's device
    // context among them); counting starts after them.
    for (LONG style : {1L, 5L}) {
        SetFlyoverStyle(style);
        cycles(60);
        const fxtest::ResourceCounts before = fxtest::CountResources();
        ASSERT_GE(before.gdiObjects, 0);
        DWORD start = GetTickCount();
        cycles(10000);
        DWORD ms = GetTickCount() - start;
        const fxtest::ResourceCounts after = fxtest::CountResources();
        std::printf("  style %ld: 10000 frame moves in %lu ms: GDI objects %ld -> %ld, handles %ld -> %ld\n", style, ms,
                    before.gdiObjects, after.gdiObjects, before.handles, after.handles);
        // Wine's cache of window device contexts may still take a few objects on a
        // loaded machine; anything the moves themselves kept would show as thousands.
        EXPECT_LE(after.gdiObjects - before.gdiObjects, 8);
        EXPECT_GE(after.gdiObjects, before.gdiObjects - 8);
        EXPECT_EQ(after.handles, before.handles);
    }
}

}  // namespace
