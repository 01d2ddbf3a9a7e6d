#include "loader_window.h"

#include "about_box.h"
#include "engine_imports.h"
#include "fx/handles.h"
#include "fx/names.h"
#include "fx/registry.h"
#include "loader_texts.h"
#include "shell_tweaks.h"
#include "texts.h"
#include "tray.h"

#include <commctrl.h>

namespace loader {
namespace {

char g_userName[260];

void ReadUserName() noexcept {
    DWORD size = sizeof g_userName;
    if (!GetUserNameA(g_userName, &size)) g_userName[0] = '\0';
    g_userName[sizeof g_userName - 1] = '\0';
}

}  // namespace

bool LoaderWindow::RegisterClass(HINSTANCE instance) noexcept {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "DOITICON");
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = fx::kLoaderClass;
    return ::RegisterClassA(&wc) != 0;
}

HWND LoaderWindow::Create(HINSTANCE instance) noexcept {
    instance_ = instance;
    ReadUserName();
    return CreateWindowExA(WS_EX_TOPMOST, fx::kLoaderClass, "", WS_POPUPWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                           CW_USEDEFAULT, 250, 300, nullptr, nullptr, instance, this);
}

LRESULT CALLBACK LoaderWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<LoaderWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<LoaderWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return self ? self->Handle(msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT LoaderWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_TIMER:
        launchGuard_ = false;
        KillTimer(hwnd_, TIMER_LAUNCH_GUARD);
        return 0;
    case fx::FXLM_SHORTCUT_ARROWS: SetShortcutArrows(wp != 0); return 0;
    case fx::FXLM_TRAY_ICON: OnTrayIcon(wp); return 0;
    case fx::FXLM_ANI_STATE:
        if (!animationsOn_ && wp != 0) StartListedAnimations();
        animationsOn_ = wp != 0;
        return 0;
    case fx::FXLM_TRAY_NOTIFY: OnTrayNotify(wp, lp); return 0;
    default:
        // A restarted shell has lost every tray icon: put ours back.
        if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
            if (inTray_) AddTrayIcon(hwnd_, instance_, g_userName);
            return 0;
        }
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

void LoaderWindow::OnCreate() noexcept {
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    if (fx::ReadRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, fx::kShowBannerTab.name, fx::kShowBannerTab.fallback) != 0)
        fxHookShellTrayWnd();

    fx::UniqueRegKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, fx::kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                    key.put(), nullptr);
    inTray_ = fx::ReadRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, fx::kInTray.name, fx::kInTray.fallback) != 0;
    animationsOn_ = fx::ReadRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, fx::kIconAnimation.name,
                                     fx::kIconAnimation.fallback) != 0;

    if (inTray_) AddTrayIcon(hwnd_, instance_, g_userName);
    fxHookProgMan();
}

void LoaderWindow::OnDestroy() noexcept {
    fxUnhookShellTrayWnd();
    fxUnhookProgMan();
    if (inTray_) DeleteTrayIcon(hwnd_);
    PostQuitMessage(0);
}

void LoaderWindow::OnCommand(UINT id) noexcept {
    switch (id) {
    case IDM_ABOUT: ShowAboutBox(instance_, hwnd_); break;
    case IDM_EXIT: PostMessageA(hwnd_, WM_CLOSE, 0, 0); break;
    case IDM_REFRESH_ICONS: RefreshDesktopIcons(); break;
    case IDM_OPEN_SETTINGS: PostMessageA(hwnd_, fx::FXLM_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONUP); break;
    default: break;
    }
}

void LoaderWindow::OnTrayNotify(WPARAM id, LPARAM mouse) noexcept {
    if (id != kTrayIconId) return;
    if (mouse == WM_LBUTTONUP) {
        // One start per second, however fast the user clicks.
        if (launchGuard_) return;
        launchGuard_ = true;
        WinExec("fxpanel.exe", SW_SHOWNORMAL);
        SetTimer(hwnd_, TIMER_LAUNCH_GUARD, 1000, nullptr);
    } else if (mouse == WM_RBUTTONUP) {
        ShowTrayMenu();
    }
}

void LoaderWindow::OnTrayIcon(WPARAM on) noexcept {
    if (on && !inTray_) {
        inTray_ = true;
        fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, fx::kInTray.name, 1);
        AddTrayIcon(hwnd_, instance_, g_userName);
    } else if (!on && inTray_) {
        inTray_ = false;
        fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, fx::kInTray.name, 0);
        DeleteTrayIcon(hwnd_);
    }
}

void LoaderWindow::ShowTrayMenu() noexcept {
    POINT at{};
    GetCursorPos(&at);
    fx::UniqueMenu menu(CreatePopupMenu());
    if (!menu) return;
    AppendMenuA(menu.get(), MF_STRING, IDM_OPEN_SETTINGS, LookUpText(kMenuOpen));
    AppendMenuA(menu.get(), MF_STRING, IDM_ABOUT, LookUpText(kMenuAbout));
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu.get(), MF_STRING, IDM_EXIT, LookUpText(kMenuExit));
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(menu.get(), 0, at.x, at.y, 0, hwnd_, nullptr);
    PostMessageA(hwnd_, WM_NULL, 0, 0);
}

void LoaderWindow::StartListedAnimations() noexcept {
    fx::UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, fx::kAnimationsKey, 0, KEY_READ, key.put()) == 0) {
        for (DWORD index = 0;; ++index) {
            char name[260];
            char data[260];
            DWORD nameSize = sizeof name;
            DWORD dataSize = sizeof data;
            DWORD type = 0;
            LONG rc = RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                    &dataSize);
            // A value that does not fit the buffers is skipped, not the end of the list.
            if (rc == ERROR_MORE_DATA) continue;
            if (rc != ERROR_SUCCESS) break;
            if (type != REG_SZ || dataSize == 0) continue;
            data[dataSize < sizeof data ? dataSize : sizeof data - 1] = '\0';
            if (data[0]) fxStartStopAniOnDesktop(1, data, name);
        }
    }
    animationsOn_ = true;
}

}  // namespace loader
