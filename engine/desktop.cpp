#include "desktop.h"

#include "desktop_animations.h"
#include "desktop_features.h"
#include "engine_shared.h"
#include "engine_state.h"
#include "fx/names.h"
#include "fx/registry.h"
#include "fx/shell_windows.h"
#include "fx/text.h"
#include "helper_windows.h"
#include "subclass.h"

namespace engine {
namespace {

Subclass g_desktopSubclass;
Subclass g_viewSubclass;
Subclass g_listSubclass;

// A reference of our own on the engine module while any of its procedures, windows
// or timers can be called in this process: the system may drop the hook's reference
// (the loader unhooked or died) long before we have given everything back.
bool g_holdsModuleReference = false;
// Set when a procedure could not be given back: ours is still in someone's chain,
// so the engine must never leave this process.
bool g_pinnedForever = false;

LRESULT CALLBACK DesktopWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DesktopViewProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DesktopListProc(HWND, UINT, WPARAM, LPARAM);

void HoldModule() noexcept {
    if (g_holdsModuleReference) return;
    HMODULE self = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&HoldModule), &self))
        g_holdsModuleReference = true;
}

// Drops our module reference once the desktop thread is back in its own message
// loop, so no engine code is on its stack when the module may go.
DWORD WINAPI ReleaseModuleThread(LPVOID desktop) {
    HWND hwnd = static_cast<HWND>(desktop);
    DWORD_PTR ignored = 0;
    // A sent message is only taken when the thread waits for messages again.
    while (IsWindow(hwnd) &&
           !SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored)) {
    }
    FreeLibraryAndExitThread(g_engineModule, 0);
}

void ReleaseModule(HWND desktop) noexcept {
    if (!g_holdsModuleReference || g_pinnedForever) return;
    HANDLE t = CreateThread(nullptr, 0, ReleaseModuleThread, desktop, 0, nullptr);
    if (t) {
        g_holdsModuleReference = false;
        CloseHandle(t);
    }
}

void PostToLoader(UINT msg, WPARAM wp) noexcept {
    if (HWND loader = FindWindowA(fx::kLoaderClass, nullptr)) PostMessageA(loader, msg, wp, 0);
}

void SubclassViews(HWND desktop) noexcept {
    HWND view = fx::FindDesktopView(desktop);
    if (view && g_viewSubclass.Install(view, DesktopViewProc)) g_viewPrevProc = g_viewSubclass.previous();
    HWND list = view ? FindWindowExA(view, nullptr, fx::kListViewClass, nullptr) : nullptr;
    if (list && g_listSubclass.Install(list, DesktopListProc)) g_listPrevProc = g_listSubclass.previous();
}

void Reload() noexcept {
    const HKEY hkcu = HKEY_CURRENT_USER;
    g_shared.g_minMaxStyle = fx::ReadRegDword(hkcu, fx::kSettingsKey, fx::kMinMax.name, fx::kMinMax.fallback);

    ANIMATIONINFO anim{};
    anim.cbSize = sizeof anim;
    anim.iMinAnimate = g_shared.g_minMaxStyle != 0 ? 1 : 0;
    SystemParametersInfoA(SPI_SETANIMATION, 0, &anim, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);

    LONG animationOn = fx::ReadRegDword(hkcu, fx::kSettingsKey, fx::kIconAnimation.name, fx::kIconAnimation.fallback);
    g_shared.g_bubbleStyle = fx::ReadRegDword(hkcu, fx::kSettingsKey, fx::kHelpClouds.name, fx::kHelpClouds.fallback);
    g_flyoverStyle = fx::ReadRegDword(hkcu, fx::kSettingsKey, fx::kFlyover.name, fx::kFlyover.fallback);
    g_launchStyle = fx::ReadRegDword(hkcu, fx::kSettingsKey, fx::kLaunchFX.name, fx::kLaunchFX.fallback);

    char size[fx::kRegTextSize];
    fx::ReadRegString(hkcu, fx::kWindowMetricsKey, fx::kShellIconSize, size);
    if (size[0] != '\0') iconSize = fx::LeadingNumber(size);

    if (animationOn == 0) {
        PostToLoader(fx::FXLM_ANI_STATE, 0);
        StopAllDesktopAnimations();
        PostToLoader(fx::FXLM_ANI_STATE, 0);
    } else {
        PostToLoader(fx::FXLM_ANI_STATE, 1);
    }
}

// The last step of leaving: everything given back in the order that leaves no
// window, timer or hook pointing at the engine.
void FinishUnhook(HWND desktop) noexcept {
    KillTimer(desktop, fx::TIMER_UNHOOK);

    DestroyHelperWindows();

    bool allBack = true;
    HWND list = g_listSubclass.window();
    allBack &= g_viewSubclass.Remove();
    allBack &= g_listSubclass.Remove();
    if (list && IsWindow(list)) InvalidateRect(list, nullptr, TRUE);
    allBack &= g_desktopSubclass.Remove();
    if (!allBack) g_pinnedForever = true;
    if (!g_desktopSubclass.installed()) g_shared.g_desktopPrevProc = nullptr;

    if (g_shared.g_desktopMessageHook) {
        UnhookWindowsHookEx(g_shared.g_desktopMessageHook);
        g_shared.g_desktopMessageHook = nullptr;
    }
    if (HWND helper = FindWindowA(fx::kHelperClass, nullptr)) PostMessageA(helper, WM_CLOSE, 0, 0);

    // A later hook may attach again in this process.
    g_attachedHere = false;
    ReleaseModule(desktop);
}

LRESULT OnDesktopCommand(HWND hwnd, WPARAM wp, LPARAM lp, bool* handled) noexcept {
    *handled = true;
    switch (wp) {
    case fx::FXCMD_UNHOOK:
        if (lp == 0) StopAllDesktopAnimations();
        if (AnyPlayerSlotInUse()) {
            Sleep(60);
            PostMessageW(hwnd, WM_COMMAND, fx::FXCMD_UNHOOK, 1);
        } else {
            SetTimer(hwnd, fx::TIMER_UNHOOK, 60, nullptr);
        }
        return 1;
    case fx::FXCMD_ANI_START:
    case fx::FXCMD_ANI_STOP:
        fx::CopyText(g_aniFile, g_shared.g_requestAniFile);
        fx::CopyText(g_itemName, g_shared.g_requestItemName);
        if (wp == fx::FXCMD_ANI_START)
            StartDesktopAnimation(g_itemName, g_aniFile);
        else
            StopDesktopAnimation(g_itemName);
        g_shared.g_requestPending = 0;
        return 1;
    case fx::FXCMD_SUBCLASS:
        SubclassViews(hwnd);
        PostMessageW(hwnd, WM_COMMAND, fx::FXCMD_RELOAD, 0);
        break;
    case fx::FXCMD_RELOAD:
        Reload();
        break;
    default:
        break;
    }
    *handled = false;
    return 0;
}

LRESULT CALLBACK DesktopWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_attachedHere) {
        if (msg == WM_COMMAND) {
            bool handled = false;
            LRESULT r = OnDesktopCommand(hwnd, wp, lp, &handled);
            if (handled) return r;
        } else if (msg == WM_TIMER && wp == fx::TIMER_UNHOOK) {
            FinishUnhook(hwnd);
            return 1;
        } else if (msg == WM_NCDESTROY) {
            // The shell is closing its desktop: nothing to give back any more.
            LRESULT r = g_desktopSubclass.CallPrevious(hwnd, msg, wp, lp);
            g_desktopSubclass.Forget();
            return r;
        }
    }
    return g_desktopSubclass.CallPrevious(hwnd, msg, wp, lp);
}

// Both views hand their messages to the features first and always pass every
// message on.
LRESULT CALLBACK DesktopViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_attachedHere) OnDesktopViewMessage(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        LRESULT r = g_viewSubclass.CallPrevious(hwnd, msg, wp, lp);
        g_viewSubclass.Forget();
        return r;
    }
    return g_viewSubclass.CallPrevious(hwnd, msg, wp, lp);
}

LRESULT CALLBACK DesktopListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_attachedHere) OnDesktopListMessage(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        LRESULT r = g_listSubclass.CallPrevious(hwnd, msg, wp, lp);
        g_listSubclass.Forget();
        return r;
    }
    return g_listSubclass.CallPrevious(hwnd, msg, wp, lp);
}

}  // namespace

bool IsAttached() noexcept { return g_attachedHere; }

void AttachToDesktop(HWND desktop) noexcept {
    HoldModule();
    CreateHelperWindows(fx::FindDesktopListView(desktop));
    // After an unhook that could not give a procedure back, ours is still in the
    // chain: take up the work again instead of chaining a second time.
    if (!g_desktopSubclass.installed()) {
        if (!g_desktopSubclass.Install(desktop, DesktopWndProc)) return;
    }
    g_shared.g_desktopPrevProc = g_desktopSubclass.previous();
    g_attachedHere = true;
    PostMessageW(desktop, WM_COMMAND, fx::FXCMD_SUBCLASS, 0);
}

}  // namespace engine
