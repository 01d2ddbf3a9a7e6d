// Module plumbing: the shared data, the entry point and the two exports the loader
// binds by ordinal.
#include "banner_process.h"
#include "banner_shared.h"
#include "exports.h"
#include "fx/module_path.h"
#include "fx/names.h"
#include "scroll.h"

// One copy for every process that maps the banner.
__attribute__((section(".shared"), shared)) BannerShared g_banner = {nullptr, nullptr, nullptr, 0, banner::kFirstFrame,
                                                                     banner::kHorizontal, 57, 1};

namespace banner {
ProcessState g_process;
}

extern "C" BOOL WINAPI fxHookShellTrayWnd() {
    HWND taskbar = FindWindowA(fx::kTaskbarClass, nullptr);
    g_banner.taskbarWindow = taskbar;
    if (!IsWindow(taskbar)) return FALSE;
    // A second call replaces the hook: two would each start a timer per opening.
    if (HHOOK old = g_banner.hook) {
        g_banner.hook = nullptr;
        UnhookWindowsHookEx(old);
    }
    DWORD thread = GetWindowThreadProcessId(taskbar, nullptr);
    g_banner.hook = SetWindowsHookExA(WH_CALLWNDPROC, banner::CallWndProc, banner::g_process.module, thread);
    return g_banner.hook != nullptr;
}

extern "C" HHOOK WINAPI fxUnhookShellTrayWnd() {
    HHOOK hook = g_banner.hook;
    if (!hook) return nullptr;
    // The shell's copy stops its timer and frees its bitmap first, while the hook
    // still keeps it mapped there. A hung taskbar thread does not hold us up for
    // long: its copy also stops on its next tick, once it sees the hook gone.
    HWND taskbar = g_banner.taskbarWindow;
    DWORD_PTR ignored = 0;
    if (IsWindow(taskbar))
        SendMessageTimeoutA(taskbar, banner::StopMessage(), 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000, &ignored);
    g_banner.hook = nullptr;
    UnhookWindowsHookEx(hook);
    return hook;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        banner::g_process.module = instance;
        banner::g_process.random = GetTickCount() | 1;
        fx::ModuleDirectory(instance, banner::g_process.moduleDirectory, sizeof banner::g_process.moduleDirectory);
    }
    return TRUE;
}
