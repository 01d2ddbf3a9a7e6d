// Prints what the help bubble and the flyover frame cost the desktop thread: the
// time of one fxDisplayBubble show for each shape (and of a hide), and of one frame
// move for each style, as the hover code moves it. Runs against an in-process
// desktop tree with the installed engine attached.
#include "fake_desktop.h"
#include "fx/names.h"
#include "fx/registry.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using DisplayFn = LONG(WINAPI*)(HWND, LONG, LONG, LONG, LONG, const char*, LONG, LONG);

double Now() {
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(5);
    }
}


}  // namespace

int main(int argc, char** argv) {
    std::string dist = argc > 1 ? argv[1] : "";
    HMODULE engine = LoadLibraryA((dist + "\\fxengine.dll").c_str());
    if (!engine) {
        std::fprintf(stderr, "usage: bubble_bench DIST_DIR (no fxengine.dll there)\n");
        return 1;
    }
    auto hook = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void (*)()>(GetProcAddress(engine, "fxHookProgMan")));
    auto unhook =
        reinterpret_cast<HHOOK(WINAPI*)()>(reinterpret_cast<void (*)()>(GetProcAddress(engine, "fxUnhookProgMan")));
    auto display = reinterpret_cast<DisplayFn>(reinterpret_cast<void (*)()>(GetProcAddress(engine, "fxDisplayBubble")));
    if (!hook || !unhook || !display) return 1;

    const int kRounds = 200;
    const char text[] = "Your notes: a plain text file for things to remember.";
    FakeDesktop desk;
    std::printf("fxDisplayBubble on the desktop thread, median of %d (ms):\n", kRounds);
    std::printf("  %-10s %8s %8s\n", "shape", "show", "hide");
    const char* shapes[] = {"", "Rectangle", "Ellipse", "Rounded", "Rick Rack"};
    for (int shape = 1; shape <= 4; ++shape) {
        // The shape is the desktop's setting, read when the engine attaches or reloads.
        fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, "Help Clouds", shape);
        if (shape == 1) {
            if (!hook()) return 1;
            Pump(500);
        } else {
            SendMessageW(desk.desktop(), WM_COMMAND, fx::FXCMD_RELOAD, 0);
        }
        std::vector<double> show, hide;
        desk.RunOnThread([&] {
            for (int i = 0; i < kRounds; ++i) {
                double t0 = Now();
                display(nullptr, 400, 300, 440, 340, text, 150, 1);
                double t1 = Now();
                display(nullptr, 0, 0, 0, 0, "", 0, 0);
                double t2 = Now();
                show.push_back((t1 - t0) * 1e3);
                hide.push_back((t2 - t1) * 1e3);
            }
        });
        std::printf("  %-10s %8.2f %8.2f\n", shapes[shape], Median(show), Median(hide));
    }

    // The frame: hide, move and size, show and paint, as the hover code does it.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "BubbleBenchHost";
    RegisterClassA(&wc);
    HWND host = nullptr;
    desk.RunOnThread([&] {
        host = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100,
                               100, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
        UpdateWindow(host);
    });
    std::printf("frame move on the desktop thread, median of %d (ms):\n", kRounds);
    const char* styles[] = {"", "Raised", "Sunken", "Etched", "Bump", "Inverse"};
    for (int style = 1; style <= 5; ++style) {
        fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, "Flyover", style);
        SendMessageW(desk.desktop(), WM_COMMAND, fx::FXCMD_RELOAD, 0);
        std::vector<double> move;
        desk.RunOnThread([&] {
            HWND frame = FindWindowExA(desk.list(), nullptr, fx::kFrameClass, nullptr);
            if (!frame) frame = FindWindowExA(host, nullptr, fx::kFrameClass, nullptr);
            SetParent(frame, host);
            for (int i = 0; i < kRounds; ++i) {
                const int x = 20 + (i % 2) * 120;
                double t0 = Now();
                ShowWindow(frame, SW_HIDE);
                SetWindowPos(frame, HWND_TOP, x, 40, 78, 66, SWP_NOACTIVATE);
                SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
                UpdateWindow(frame);
                move.push_back((Now() - t0) * 1e3);
            }
            SetParent(frame, desk.list());
        });
        std::printf("  %-10s %8.2f\n", styles[style], Median(move));
    }
    desk.RunOnThread([&] { DestroyWindow(host); });
    unhook();
    Pump(500);
    RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);
    return 0;
}
