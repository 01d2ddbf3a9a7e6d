// The banner on the taskbar's thread: notices the Start command and the menu's first
// drawing, paints the frames and ends everything when the menu goes away.
#include "banner_process.h"
#include "banner_shared.h"
#include "frame.h"
#include "fx/names.h"
#include "fx/registry.h"
#include "fx/text.h"
#include "scroll.h"
#include "settings.h"

namespace banner {
namespace {

constexpr UINT_PTR kTimerId = 88;
// Items this tall or shorter are not the Start menu's large-icon items.
constexpr int kTallItem = 24;

unsigned NextRandom() noexcept {
    unsigned x = g_process.random;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return g_process.random = x;
}

BOOL CALLBACK TakeFirstWindow(HWND hwnd, LPARAM out) {
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

// Drops our module reference once the taskbar's thread has left our code: a message
// sent to one of its windows is only answered from its message loop (our code never
// waits for messages), and a thread that has ended runs nothing. If neither can be
// seen within a minute, the module stays: mapped, it harms nobody.
DWORD WINAPI ReleaseModuleThread(LPVOID param) {
    const DWORD threadId = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(param));
    fx::UniqueHandleK thread(OpenThread(SYNCHRONIZE, FALSE, threadId));
    if (!thread) return 0;
    const DWORD start = GetTickCount();
    bool left = false;
    while (!left && GetTickCount() - start < 60000) {
        if (WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0) {
            left = true;
            break;
        }
        HWND window = nullptr;
        EnumThreadWindows(threadId, TakeFirstWindow, reinterpret_cast<LPARAM>(&window));
        DWORD_PTR ignored = 0;
        if (!window) Sleep(50);
        else left = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored) != 0;
    }
    thread.reset();
    if (!left) return 0;
    FreeLibraryAndExitThread(g_process.module, 0);
}

// The timer procedure lives in this module, which the system unmaps from the shell
// when the hook goes: hold it while a timer can call us.
void HoldModule() noexcept {
    if (g_process.holdsModule) return;
    HMODULE self = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&HoldModule), &self))
        g_process.holdsModule = true;
}

void ReleaseModule() noexcept {
    if (!g_process.holdsModule) return;
    // Called on the taskbar's thread, which is the one to wait for.
    auto self = reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(GetCurrentThreadId()));
    HANDLE thread = CreateThread(nullptr, 0, ReleaseModuleThread, self, 0, nullptr);
    if (!thread) return;  // keep the reference: a mapped module harms nobody
    g_process.holdsModule = false;
    CloseHandle(thread);
}

void StopTimer() noexcept {
    if (g_banner.timerId != 0) {
        KillTimer(nullptr, g_banner.timerId);
        g_banner.timerId = 0;
    }
    ReleaseModule();
}

// A moving banner goes on only while its menu is on screen and the loader still
// wants it; a missed end of the menu loop must not leave the timer behind.
bool StillShowing(HWND menu) noexcept {
    return IsWindow(menu) && IsWindowVisible(menu) && IsWindow(g_banner.taskbarWindow) && g_banner.hook != nullptr;
}

void CALLBACK PaintTimerProc(HWND, UINT msg, UINT_PTR, DWORD) {
    if (msg != WM_TIMER) return;
    HWND menu = g_banner.menuWindow;
    if (g_banner.timerId != 0 && !StillShowing(menu)) {
        StopBanner();
        return;
    }
    RECT client{};
    if (!g_process.bitmap || !IsWindow(menu) || !GetClientRect(menu, &client)) return;
    fx::WindowDC dc(menu);
    if (!dc) return;
    LONG position = g_banner.position;
    PaintFrame(dc.get(), g_process.bitmap.get(), g_banner.movementMode, position, client.bottom);
    g_banner.position = position;
}

void ReadSettings() noexcept {
    const HKEY hkcu = HKEY_CURRENT_USER;
    g_banner.bannerSwitch = fx::ReadRegDword(hkcu, fx::kSettingsKey, fx::kBannerSwitch.name, fx::kBannerSwitch.fallback);
    if (g_banner.bannerSwitch == 0) return;
    g_banner.timerPeriod =
        TimerPeriod(fx::ReadRegDword(hkcu, fx::kSettingsKey, fx::kBannerSpeed.name, fx::kBannerSpeed.fallback));
    LONG mode = fx::ReadRegDword(hkcu, fx::kSettingsKey, fx::kMoveBanner.name, fx::kMoveBanner.fallback);
    fx::ReadRegString(hkcu, fx::kSettingsKey, fx::kBanner, g_process.bannerName);
    if (g_process.bannerName[0] == '\0') fx::CopyText(g_process.bannerName, kDefaultBannerName);
    g_process.bitmap.reset();
    g_process.bitmap = LoadBanner(g_process.moduleDirectory, g_process.bannerName);
    g_banner.movementMode = ResolveMode(mode, NextRandom());
}

void OnCommand(WPARAM wp) noexcept {
    ReadSettings();
    if (HIWORD(wp) == 0 && LOWORD(wp) == fx::kStartButtonCommand) g_process.pressState = kStartPressed;
}

void StartBanner(HDC itemDc) noexcept {
    // The window the item is drawn in is the menu; the top window is only a guess.
    HWND menu = WindowFromDC(itemDc);
    if (!IsWindow(menu)) menu = GetTopWindow(nullptr);
    StopTimer();  // one left from an opening whose end we never saw
    g_banner.menuWindow = menu;
    g_banner.position = kFirstFrame;
    if (!g_process.bitmap) return;
    PaintTimerProc(nullptr, WM_TIMER, kTimerId, 0);
    if (g_banner.movementMode == kStill) return;
    HoldModule();
    g_banner.timerId = SetTimer(nullptr, kTimerId, g_banner.timerPeriod, PaintTimerProc);
    if (g_banner.timerId == 0) ReleaseModule();
}

void OnDrawItem(const DRAWITEMSTRUCT* item) noexcept {
    // Only menu items count: the taskbar draws buttons of its own as well.
    if (g_banner.bannerSwitch == 0 || !item || item->CtlType != ODT_MENU) return;
    // The first item after the Start command only arms; painting starts at a later,
    // tall one, so one message never does both.
    if (g_process.pressState == kArmed && item->rcItem.bottom - item->rcItem.top > kTallItem) {
        StartBanner(item->hDC);
        g_process.pressState = kIdle;
    } else if (g_process.pressState == kStartPressed) {
        g_process.pressState = kArmed;
    }
}

void OnTaskbarMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(wp);
        break;
    case WM_DRAWITEM:
        OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        break;
    case WM_EXITMENULOOP:
    case WM_DESTROY:
        StopBanner();
        break;
    default:
        if (msg >= 0xC000 && msg == StopMessage()) StopBanner();
        break;
    }
}

}  // namespace

UINT StopMessage() noexcept {
    static UINT message = RegisterWindowMessageA(kBannerStopMessage);
    return message;
}

void StopBanner() noexcept {
    StopTimer();
    g_process.bitmap.reset();
    g_process.pressState = kIdle;
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && lp) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (m->hwnd && m->hwnd == g_banner.taskbarWindow) OnTaskbarMessage(m->message, m->wParam, m->lParam);
    }
    return CallNextHookEx(g_banner.hook, code, wp, lp);
}

}  // namespace banner
