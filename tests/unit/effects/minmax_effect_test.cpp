// The minimize/restore outlines on the real screen: they show while the effect
// runs, every pixel is as it was afterwards (even where a window repainted under
// an outline meanwhile), and nothing is kept.
#include "minmax_effect.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "fx/handles.h"
#include "process_counters.h"

namespace engine {
namespace {

constexpr RECT kWindow{200, 150, 520, 390};
constexpr RECT kTab{40, 700, 200, 722};

void Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// The screen's pixels in a rectangle.
std::vector<DWORD> Screen(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    fx::UniqueBitmap bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    fx::UniqueMemDC dc(CreateCompatibleDC(nullptr));
    {
        fx::SelectScope select(dc.get(), bitmap.get());
        fx::WindowDC screen(nullptr);
        BitBlt(dc.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
        GdiFlush();
    }
    const auto* p = static_cast<const DWORD*>(bits);
    std::vector<DWORD> out(p, p + static_cast<size_t>(w) * h);
    for (DWORD& v : out) v &= 0xFFFFFF;
    return out;
}

size_t Differences(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n;
}

// A striped window on a thread of its own that repaints itself (with the same
// stripes) once when asked to, as a clock or a taskbar would at any moment.
class Painter {
public:
    explicit Painter(const RECT& r) : stop_(false), repaintAt_(0) {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, r, ready] {
            static const ATOM cls = [] {
                WNDCLASSA wc{};
                wc.lpfnWndProc = Proc;
                wc.hInstance = GetModuleHandleA(nullptr);
                wc.lpszClassName = "FxEffectTestPainter";
                return RegisterClassA(&wc);
            }();
            (void)cls;
            window_ = CreateWindowExA(WS_EX_TOOLWINDOW, "FxEffectTestPainter", "", WS_POPUP | WS_VISIBLE, r.left,
                                      r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
            UpdateWindow(window_);
            SetEvent(ready);
            while (!stop_) {
                Pump(5);
                const DWORD at = repaintAt_;
                if (at && static_cast<LONG>(GetTickCount() - at) >= 0) {
                    repaintAt_ = 0;
                    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                    GdiFlush();
                }
            }
            DestroyWindow(window_);
        });
        WaitForSingleObject(ready, 5000);
        CloseHandle(ready);
        Pump(300);
    }
    ~Painter() {
        stop_ = true;
        thread_.join();
    }
    // Repaints once, ms from now.
    void RepaintIn(DWORD ms) { repaintAt_ = GetTickCount() + ms; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT c;
            GetClientRect(hwnd, &c);
            for (int x = 0; x < c.right; x += 16) {
                RECT stripe{x, 0, x + 8, c.bottom};
                FillRect(dc, &stripe, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
                stripe.left += 8, stripe.right += 8;
                FillRect(dc, &stripe, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

    std::atomic<bool> stop_;
    std::atomic<DWORD> repaintAt_;
    std::thread thread_;
    HWND window_ = nullptr;
};

// Runs the effect on this thread while another one watches the screen; returns
// the most pixels that differed from `before` at any look.
size_t PlayWatched(const RECT& area, const std::vector<DWORD>& before, int style) {
    std::atomic<bool> done(false);
    std::atomic<size_t> most(0);
    std::thread watcher([&] {
        while (!done) {
            const size_t d = Differences(Screen(area), before);
            if (d > most) most = d;
            Sleep(10);
        }
    });
    PlayMinMaxEffect(nullptr, kWindow, kTab, style, 40, 60);
    done = true;
    watcher.join();
    return most;
}

const RECT kArea{0, 0, 640, 760};

TEST(MinMaxEffect, OutlinesShowAndEveryPixelIsAsItWasAfterwards) {
    // A window of the effect's own thread under the outlines: it cannot repaint
    // while the effect runs.
    static const ATOM cls = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        wc.lpszClassName = "FxEffectTestOwn";
        return RegisterClassA(&wc);
    }();
    (void)cls;
    HWND own = CreateWindowExA(WS_EX_TOOLWINDOW, "FxEffectTestOwn", "", WS_POPUP | WS_VISIBLE, kWindow.left,
                               kWindow.top, kWindow.right - kWindow.left, kWindow.bottom - kWindow.top, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    Pump(300);
    for (int style : {2, 3, 4}) {
        SCOPED_TRACE(style);
        const std::vector<DWORD> before = Screen(kArea);
        EXPECT_GT(PlayWatched(kArea, before, style), 200u) << "no outline was seen";
        Pump(200);
        EXPECT_EQ(Differences(Screen(kArea), before), 0u);
    }
    DestroyWindow(own);
}

TEST(MinMaxEffect, AWindowRepaintingUnderTheOutlinesIsNotLeftInverted) {
    // Drawing with R2_NOT straight on the screen would invert, on the second pass,
    // what this window repainted after the first.
    Painter painter(RECT{60, 300, 560, 700});
    for (int style : {2, 3, 4}) {
        SCOPED_TRACE(style);
        const std::vector<DWORD> before = Screen(kArea);
        painter.RepaintIn(300);
        PlayWatched(kArea, before, style);
        Pump(200);
        EXPECT_EQ(Differences(Screen(kArea), before), 0u);
    }
}

TEST(MinMaxEffect, OtherStylesDrawNothingAndDoNotWait) {
    const std::vector<DWORD> before = Screen(kArea);
    for (int style : {0, 1, 5}) {
        SCOPED_TRACE(style);
        const DWORD start = GetTickCount();
        PlayMinMaxEffect(nullptr, kWindow, kTab, style);
        EXPECT_LT(GetTickCount() - start, 100u);
    }
    EXPECT_EQ(Differences(Screen(kArea), before), 0u);
}

TEST(MinMaxEffect, AThousandEffectsGiveBackEveryObject) {
    // Each effect opens and closes a window of its own (a tenth of a second under
    // Wine), so a thousand, over a small area: a leak shows in every effect alike.
    const RECT from{100, 100, 160, 140}, to{120, 110, 140, 124};
    PlayMinMaxEffect(nullptr, from, to, 2, 0, 0);  // first-use allocations
    const fxtest::ResourceCounts before = fxtest::CountResources();
    ASSERT_GE(before.gdiObjects, 0);
    for (int i = 0; i < 1000; ++i) PlayMinMaxEffect(nullptr, from, to, 2 + i % 3, 0, 0);
    const fxtest::ResourceCounts after = fxtest::CountResources();
    std::printf("GDI objects %ld -> %ld, handles %ld -> %ld over 1000 effects\n", before.gdiObjects,
                after.gdiObjects, before.handles, after.handles);
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace engine
