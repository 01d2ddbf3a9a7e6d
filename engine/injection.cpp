// Getting the engine into the desktop thread, and the request protocol that other
// processes use to drive it.
#include "desktop.h"
#include "engine_shared.h"
#include "engine_state.h"
#include "exports.h"
#include "fx/handles.h"
#include "fx/names.h"
#include "fx/shell_windows.h"
#include "fx/text.h"

#include <initializer_list>

namespace {

constexpr int kRetries = 41;
constexpr DWORD kRetryDelayMs = 60;
// One request slot is shared by every process: requests queue on this mutex so two
// callers never overwrite each other's texts.
constexpr char kRequestMutexName[] = "FxEngine_Brantix1_Request";
// Longer than the desktop thread's own answer takes; a hung shell must not hang
// the caller for good.
constexpr UINT kSendTimeoutMs = 5000;

}  // namespace

extern "C" BOOL WINAPI fxHookProgMan() {
    WinExec("fxhelper.exe", SW_SHOWNORMAL);

    HWND desktop = fx::FindDesktopWindow();
    g_shared.g_desktopWindow = desktop;
    if (!IsWindow(desktop)) return FALSE;

    DWORD thread = GetWindowThreadProcessId(desktop, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, GetMsgProc, g_engineModule, thread);
    g_shared.g_desktopMessageHook = hook;
    if (!hook) return FALSE;

    if (PostMessageA(desktop, WM_NULL, 0, 0)) return TRUE;
    for (int i = 0; i < kRetries; ++i) {
        Sleep(kRetryDelayMs);
        if (PostMessageA(desktop, WM_NULL, 0, 0)) return TRUE;
    }
    return FALSE;
}

extern "C" HHOOK WINAPI fxUnhookProgMan() {
    if (g_shared.g_desktopWindow) PostMessageA(g_shared.g_desktopWindow, WM_COMMAND, fx::FXCMD_UNHOOK, 0);
    for (int slot : {1, 0, 2, 3}) {
        if (HHOOK h = g_shared.g_helperHooks[slot]) {
            UnhookWindowsHookEx(h);
            g_shared.g_helperHooks[slot] = nullptr;
        }
    }
    return g_shared.g_desktopMessageHook;
}

extern "C" BOOL WINAPI fxStartStopAniOnDesktop(LONG start, const char* aniFile, const char* itemName) {
    HWND desktop = g_shared.g_desktopWindow;
    if (!IsWindow(desktop)) return FALSE;

    fx::UniqueHandleK mutex(CreateMutexA(nullptr, FALSE, kRequestMutexName));
    DWORD wait = mutex ? WaitForSingleObject(mutex.get(), kRetries * kRetryDelayMs) : WAIT_FAILED;
    bool locked = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;

    // Texts that do not fit their fields are cut, never copied past them.
    fx::CopyText(g_shared.g_requestAniFile, aniFile);
    fx::CopyText(g_shared.g_requestItemName, itemName);
    g_shared.g_requestPending = 1;

    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(desktop, WM_COMMAND, start ? fx::FXCMD_ANI_START : fx::FXCMD_ANI_STOP, 0, SMTO_NORMAL,
                        kSendTimeoutMs, &ignored);
    BOOL handled = g_shared.g_requestPending == 0;
    for (int i = 0; !handled && i < kRetries; ++i) {
        Sleep(kRetryDelayMs);
        handled = g_shared.g_requestPending == 0;
    }
    if (locked) ReleaseMutex(mutex.get());
    return handled;
}

extern "C" LRESULT CALLBACK GetMsgProc(int code, WPARAM wp, LPARAM lp) {
    const MSG* msg = reinterpret_cast<const MSG*>(lp);
    if (!g_attachedHere && code == HC_ACTION && wp == PM_REMOVE && msg && msg->message == WM_NULL &&
        msg->hwnd == g_shared.g_desktopWindow && msg->hwnd) {
        engine::AttachToDesktop(msg->hwnd);
    }
    return CallNextHookEx(g_shared.g_desktopMessageHook, code, wp, lp);
}
