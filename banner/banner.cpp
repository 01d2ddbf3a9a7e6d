#include "banner_shared.h"
#include "exports.h"
#include "fx/names.h"

__attribute__((section(".shared"), shared)) BannerShared g_banner = {nullptr, nullptr, nullptr, 0, -999, 0, 57, 1};

HMODULE g_bannerModule = nullptr;

// Runs on the taskbar's thread for every message sent to its windows.
extern "C" LRESULT CALLBACK fxBannerCallWndProc(int code, WPARAM wp, LPARAM lp) {
    return CallNextHookEx(g_banner.hook, code, wp, lp);
}

extern "C" BOOL WINAPI fxHookShellTrayWnd() {
    HWND taskbar = FindWindowA(fx::kTaskbarClass, nullptr);
    g_banner.taskbarWindow = taskbar;
    if (!IsWindow(taskbar)) return FALSE;
    DWORD thread = GetWindowThreadProcessId(taskbar, nullptr);
    g_banner.hook = SetWindowsHookExA(WH_CALLWNDPROC, fxBannerCallWndProc, g_bannerModule, thread);
    return g_banner.hook != nullptr;
}

extern "C" HHOOK WINAPI fxUnhookShellTrayWnd() {
    HHOOK hook = g_banner.hook;
    if (!hook) return nullptr;
    UnhookWindowsHookEx(hook);
    g_banner.hook = nullptr;
    return hook;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        g_bannerModule = instance;
    }
    return TRUE;
}
