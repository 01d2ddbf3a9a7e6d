#include "helper_windows.h"

#include <initializer_list>

#include "bubble_window.h"
#include "engine_shared.h"
#include "engine_state.h"
#include "frame_window.h"
#include "fx/names.h"

namespace engine {

bool RegisterEngineClass(const char* name, WNDPROC proc, int extraBytes) noexcept {
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

void CreateHelperWindows(HWND desktopList) noexcept {
    if (!g_shared.g_frameWindow || !IsWindow(g_shared.g_frameWindow)) CreateFrameWindow(desktopList);
    if (!g_shared.g_bubbleWindow || !IsWindow(g_shared.g_bubbleWindow)) CreateBubbleWindow();
}

void DestroyHelperWindows() noexcept {
    DWORD pid = 0;
    for (HWND* slot : {&g_shared.g_frameWindow, &g_shared.g_bubbleWindow}) {
        HWND w = *slot;
        *slot = nullptr;
        if (!w || !IsWindow(w)) continue;
        DWORD thread = GetWindowThreadProcessId(w, &pid);
        if (pid != GetCurrentProcessId()) continue;  // not ours to destroy
        if (thread == GetCurrentThreadId()) {
            DestroyWindow(w);
        } else {
            // The hover code may have re-created the frame on a folder window's
            // thread; only that thread can destroy it, and our procedures pass
            // WM_CLOSE on to the default handling, which does.
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(w, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
        }
    }
    UnregisterClassA(fx::kFrameClass, g_engineModule);
    UnregisterClassA(fx::kBubbleClass, g_engineModule);
}

}  // namespace engine
