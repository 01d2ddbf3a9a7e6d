#include "helper_windows.h"

#include <initializer_list>

#include "engine_shared.h"
#include "engine_state.h"
#include "fx/names.h"

namespace engine {
namespace {

bool RegisterHelperClass(const char* name, WNDPROC proc, int extraBytes) noexcept {
    WNDCLASSA wc{};
    wc.style = 0;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = extraBytes;
    wc.hInstance = g_engineModule;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

void CreateHelperWindows(HWND desktopList) noexcept {
    if (!g_shared.g_frameWindow || !IsWindow(g_shared.g_frameWindow)) {
        RegisterHelperClass(fx::kFrameClass, fxFrameWndProc, 0);
        g_shared.g_frameWindow = CreateWindowExA(WS_EX_TOOLWINDOW, fx::kFrameClass, "", WS_CHILD | WS_DISABLED, -100,
                                                 -100, 50, 50, desktopList, nullptr, g_engineModule, nullptr);
    }
    if (!g_shared.g_bubbleWindow || !IsWindow(g_shared.g_bubbleWindow)) {
        // 32 extra bytes: the first slot holds the list view the bubble belongs to.
        RegisterHelperClass(fx::kBubbleClass, fxBubbleWndProc, 32);
        g_shared.g_bubbleWindow = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, fx::kBubbleClass, "", WS_POPUP, 0, 0,
                                                  100, 100, nullptr, nullptr, g_engineModule, nullptr);
    }
}

void DestroyHelperWindows() noexcept {
    // Only windows of this process and thread are ours to destroy.
    DWORD pid = 0;
    for (HWND* slot : {&g_shared.g_frameWindow, &g_shared.g_bubbleWindow}) {
        HWND w = *slot;
        if (w && GetWindowThreadProcessId(w, &pid) == GetCurrentThreadId()) DestroyWindow(w);
        *slot = nullptr;
    }
    UnregisterClassA(fx::kFrameClass, g_engineModule);
    UnregisterClassA(fx::kBubbleClass, g_engineModule);
}

}  // namespace engine

// The frame's drawing arrives with the hover effects; until then it is an
// inert, hidden child of the list view.
extern "C" LRESULT CALLBACK fxFrameWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

extern "C" LRESULT CALLBACK fxBubbleWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}
