// The helper program the engine starts: one hidden window of class "FxHelperWClass"
// that ends on WM_CLOSE, which the engine posts when it leaves the desktop.
#include <windows.h>

#include "fx/names.h"

namespace {

LRESULT CALLBACK HelperWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The engine starts a helper at every hook; one is enough.
    if (FindWindowA(fx::kHelperClass, nullptr)) return 0;
    WNDCLASSA wc{};
    wc.lpfnWndProc = HelperWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = fx::kHelperClass;
    if (!RegisterClassA(&wc)) return 0;
    if (!CreateWindowExA(0, fx::kHelperClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr)) return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
