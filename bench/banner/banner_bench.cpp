// banner_bench: what the banner costs the taskbar's thread. Prints figures, measured
// side by side in one run:
//   - one frame painted into a menu-sized window the way the timer does it (client
//     rectangle, window DC, PaintFrame), per mode and rule, against one plain BitBlt
//     of the strip;
//   - a message sent to the taskbar window with the banner's hook installed, against
//     the same with an empty WH_CALLWNDPROC hook and with none;
//   - a WM_COMMAND, which reads the settings and loads the bitmap file.
//
//   banner_bench.exe [DIST_DIR]     (the installed product folder, as a Windows path)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "frame.h"
#include "fx/names.h"
#include "fx/registry.h"
#include "scroll.h"

namespace {

constexpr int kMenuWidth = 180, kMenuHeight = 238;  // the stand-in's Start menu

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK EmptyHook(int code, WPARAM wp, LPARAM lp) { return CallNextHookEx(nullptr, code, wp, lp); }

HWND MakeWindow(const wchar_t* cls, int x, int y, int w, int h) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, nullptr, WS_POPUP, x, y, w, h, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// --- frame painting ------------------------------------------------------------------

// One timer tick's work, as the banner's timer procedure does it.
void PaintTick(HWND menu, HBITMAP bitmap, LONG mode, LONG& position) {
    RECT client;
    GetClientRect(menu, &client);
    HDC dc = GetDC(menu);
    banner::PaintFrame(dc, bitmap, mode, position, client.bottom);
    ReleaseDC(menu, dc);
}

void PlainBlit(HWND menu, HBITMAP bitmap) {
    HDC dc = GetDC(menu);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, banner::kStripWidth, kMenuHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(menu, dc);
}

HBITMAP Load(const std::string& path) {
    return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

void BenchFrames(const std::string& dist) {
    HWND menu = MakeWindow(L"FxBenchMenu", 40, 40, kMenuWidth, kMenuHeight);
    struct Case {
        const char* name;
        const char* file;
        LONG mode;
    } cases[] = {
        {"still, Default Logo 21x240", "Default Logo.bmp", banner::kStill},
        {"horizontal, narrow (Narrow Ribbon 13x200)", "Narrow Ribbon.bmp", banner::kHorizontal},
        {"horizontal, wide (Tall Skyline 32x720)", "Tall Skyline.bmp", banner::kHorizontal},
        {"horizontal, exactly 21 (Default Logo)", "Default Logo.bmp", banner::kHorizontal},
        {"vertical, short (Narrow Ribbon)", "Narrow Ribbon.bmp", banner::kVertical},
        {"vertical, tall (Tall Skyline)", "Tall Skyline.bmp", banner::kVertical},
    };
    constexpr int kFrames = 500, kRounds = 7;
    std::printf("One frame painted into a %dx%d window (GetClientRect, GetDC, PaintFrame, ReleaseDC),\n"
                "median of %d rounds of %d frames, against one plain BitBlt of the strip in the same round:\n",
                kMenuWidth, kMenuHeight, kRounds, kFrames);
    for (const Case& c : cases) {
        HBITMAP bitmap = Load(dist + "\\banners\\" + c.file);
        if (!bitmap) {
            std::printf("  %-44s cannot load %s\n", c.name, c.file);
            continue;
        }
        std::vector<double> frame, plain;
        LONG position = banner::kFirstFrame;
        for (int r = 0; r < kRounds; ++r) {
            double t0 = Now();
            for (int i = 0; i < kFrames; ++i) PaintTick(menu, bitmap, c.mode, position);
            GdiFlush();
            double t1 = Now();
            for (int i = 0; i < kFrames; ++i) PlainBlit(menu, bitmap);
            GdiFlush();
            double t2 = Now();
            frame.push_back((t1 - t0) / kFrames);
            plain.push_back((t2 - t1) / kFrames);
            Pump();
        }
        double f = Median(frame), p = Median(plain);
        std::printf("  %-44s %7.1f us a frame   plain BitBlt %7.1f us   ratio %.2f\n", c.name, f * 1e6, p * 1e6, f / p);
        DeleteObject(bitmap);
    }
    DestroyWindow(menu);
}

// --- messages on the taskbar's thread ----------------------------------------------

double SendBatch(HWND taskbar, int count) {
    // What a taskbar gets all day: none of it is the banner's business.
    static const UINT kMessages[] = {WM_NULL, WM_TIMER, WM_MOUSEMOVE, WM_SETCURSOR, WM_NCHITTEST, WM_USER + 7};
    double t0 = Now();
    for (int i = 0; i < count; ++i) SendMessageW(taskbar, kMessages[i % 6], 1, 0);
    return (Now() - t0) / count;
}

void BenchMessages(const std::string& dist) {
    HWND taskbar = MakeWindow(L"Shell_TrayWnd", 0, 740, 1024, 28);
    if (FindWindowA(fx::kTaskbarClass, nullptr) != taskbar) {
        std::printf("Another taskbar comes first; message figures skipped.\n");
        DestroyWindow(taskbar);
        return;
    }
    HMODULE module = LoadLibraryA((dist + "\\fxbanner.dll").c_str());
    auto hook = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "fxHookShellTrayWnd")));
    auto unhook =
        reinterpret_cast<HHOOK(WINAPI*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "fxUnhookShellTrayWnd")));
    if (!module || !hook || !unhook) {
        std::printf("Cannot load %s\\fxbanner.dll; message figures skipped.\n", dist.c_str());
        DestroyWindow(taskbar);
        return;
    }
    const DWORD thread = GetCurrentThreadId();
    constexpr int kMessages = 20000, kRounds = 9;
    std::vector<double> none, empty, banner;
    for (int r = 0; r < kRounds; ++r) {
        none.push_back(SendBatch(taskbar, kMessages));
        HHOOK e = SetWindowsHookExW(WH_CALLWNDPROC, EmptyHook, nullptr, thread);
        empty.push_back(SendBatch(taskbar, kMessages));
        UnhookWindowsHookEx(e);
        hook();
        banner.push_back(SendBatch(taskbar, kMessages));
        unhook();
        Pump();
    }
    double n = Median(none), e = Median(empty), b = Median(banner);
    std::printf("\nA message sent to the taskbar window on its own thread, median of %d rounds of %d:\n", kRounds,
                kMessages);
    std::printf("  no hook              %7.3f us\n", n * 1e6);
    std::printf("  empty hook           %7.3f us\n", e * 1e6);
    std::printf("  banner's hook        %7.3f us\n", b * 1e6);
    std::printf("  banner / empty hook  %7.3f   (added cost over no hook: banner %.3f us, empty %.3f us)\n", b / e,
                (b - n) * 1e6, (e - n) * 1e6);

    // The one expensive message: a command reads four values and loads the bitmap.
    hook();
    constexpr int kCommands = 200;
    double t0 = Now();
    for (int i = 0; i < kCommands; ++i) SendMessageW(taskbar, WM_COMMAND, 1, 0);
    double perCommand = (Now() - t0) / kCommands;
    SendMessageW(taskbar, WM_EXITMENULOOP, FALSE, 0);  // frees the last bitmap
    unhook();
    std::printf("  WM_COMMAND (settings read, Default Logo loaded): %.1f us each\n", perCommand * 1e6);
    DestroyWindow(taskbar);
    FreeLibrary(module);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dist = argc > 1 ? argv[1] : "";
    if (dist.empty()) {
        dist = "Z:" FX_DIST_DIR;
        for (char& c : dist)
            if (c == '/') c = '\\';
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);  // defaults: Default Logo, horizontal
    BenchFrames(dist);
    BenchMessages(dist);
    return 0;
}
