// The installed engine loaded into this process and attached to a desktop of our
// own, for driving the bubble and frame windows the way the shell's thread does.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine_shared.h"
#include "fake_desktop.h"

namespace bubbletest {

std::string DistPath(const char* name);

// Pumps this thread's messages until pred holds or ms pass.
template <class Pred>
bool WaitFor(Pred pred, DWORD ms = 5000) {
    DWORD end = GetTickCount() + ms;
    while (!pred()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
    return true;
}

// Pixels of a window's client area as 0x00RRGGBB, read through its own DC (a child
// window's drawing is in its top-level's surface).
struct Pixels {
    int width = 0, height = 0;
    std::unique_ptr<DWORD[]> bits;
    DWORD at(int x, int y) const { return bits[static_cast<size_t>(y) * width + x]; }
};
Pixels Capture(HWND window, const RECT& area);
Pixels CaptureDC(HDC dc, const RECT& area);

class EngineOnFakeDesktop : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND bubble() const { return shared->g_bubbleWindow; }
    HWND frame() const { return shared->g_frameWindow; }
    // Runs fn on the desktop thread, where the engine's windows live.
    template <class Fn>
    void OnDesktop(Fn fn) { desk->RunOnThread(fn); }
    // Sets "Flyover" and has the engine read its settings again.
    void SetFlyoverStyle(LONG style);

    using DisplayFn = LONG(WINAPI*)(HWND, LONG, LONG, LONG, LONG, const char*, LONG, LONG);
    using HookFn = BOOL(WINAPI*)();
    using UnhookFn = HHOOK(WINAPI*)();

    HMODULE engine = nullptr;
    EngineShared* shared = nullptr;
    DisplayFn display = nullptr;
    WNDPROC frameProc = nullptr;
    WNDPROC bubbleProc = nullptr;
    HookFn hook = nullptr;
    UnhookFn unhook = nullptr;
    std::unique_ptr<FakeDesktop> desk;
};

}  // namespace bubbletest
