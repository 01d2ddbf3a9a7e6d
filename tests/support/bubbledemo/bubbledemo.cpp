// bubbledemo show <bubble shape 0-4> <flyover style 0-5> <seconds>
//   The installed engine attached to a desktop of this process; a backdrop with a few
//   desktop items, the flyover frame around the first and its bubble beside it.
// bubbledemo remote <seconds>
//   From this process, the bubble of the engine attached in another process, beside
//   the second item of a "show" backdrop (the settings program's way of using it).
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "fake_desktop.h"
#include "fx/names.h"
#include "fx/registry.h"

namespace {

using DisplayFn = LONG(WINAPI*)(HWND, LONG, LONG, LONG, LONG, const char*, LONG, LONG);

constexpr int kLeft = 192, kTop = 200, kWidth = 640, kHeight = 360;
struct Item {
    const char* label;
    int icon;  // shell32 icon index
    RECT bounds;  // selection bounds in the backdrop
};
const Item kItems[] = {
    {"Notes.txt", 70, {40, 150, 116, 212}},
    {"Projects", 3, {300, 60, 376, 122}},
    {"Photos", 3, {480, 240, 556, 302}},
};

std::string DistPath(const char* name) {
    std::string p = "Z:" FX_DIST_DIR "/";
    p += name;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

LRESULT CALLBACK BackdropProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT all;
    GetClientRect(hwnd, &all);
    HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));
    FillRect(dc, &all, teal);
    DeleteObject(teal);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (const Item& it : kItems) {
        HICON icon = ExtractIconA(GetModuleHandleA(nullptr), "shell32.dll", it.icon);
        const int cx = (it.bounds.left + it.bounds.right) / 2;
        if (icon) {
            DrawIconEx(dc, cx - 16, it.bounds.top + 2, icon, 32, 32, 0, nullptr, DI_NORMAL);
            DestroyIcon(icon);
        }
        RECT text{it.bounds.left, it.bounds.top + 38, it.bounds.right, it.bounds.bottom};
        DrawTextA(dc, it.label, -1, &text, DT_CENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

RECT ScreenBounds(const Item& it) {
    return RECT{kLeft + it.bounds.left, kTop + it.bounds.top, kLeft + it.bounds.right, kTop + it.bounds.bottom};
}

std::string HelpText(const char* label) {
    char text[260];
    GetPrivateProfileStringA("ExHook", label, "", text, sizeof text, DistPath(fx::kStringsFileName).c_str());
    return text;
}


int Show(int shape, int style, int seconds) {
    HMODULE engine = LoadLibraryA(DistPath("fxengine.dll").c_str());
    if (!engine) return 2;
    auto hook = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void (*)()>(GetProcAddress(engine, "fxHookProgMan")));
    auto unhook =
        reinterpret_cast<HHOOK(WINAPI*)()>(reinterpret_cast<void (*)()>(GetProcAddress(engine, "fxUnhookProgMan")));
    auto display = reinterpret_cast<DisplayFn>(reinterpret_cast<void (*)()>(GetProcAddress(engine, "fxDisplayBubble")));
    if (!hook || !unhook || !display) return 3;

    fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, "Help Clouds", shape);
    fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, "Flyover", style);
    FakeDesktop desk;
    if (!hook()) return 4;
    Pump(500);  // attach, subclass, reload

    WNDCLASSA wc{};
    wc.lpfnWndProc = BackdropProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "BubbleDemoBackdrop";
    RegisterClassA(&wc);
    HWND backdrop = nullptr;
    desk.RunOnThread([&] {
        backdrop = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                   kLeft, kTop, kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
        UpdateWindow(backdrop);
    });

    // What the hover code does for the first item: frame at once, then the bubble.
    const Item& it = kItems[0];
    desk.RunOnThread([&] {
        HWND frame = FindWindowExA(desk.list(), nullptr, fx::kFrameClass, nullptr);
        if (!frame) return;
        const RECT& b = it.bounds;
        SetParent(frame, backdrop);
        SetWindowPos(frame, HWND_TOP, b.left, b.top, b.right - b.left + 2, b.bottom - b.top + 2, SWP_NOACTIVATE);
        SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        UpdateWindow(frame);
    });
    Pump(200);
    const RECT r = ScreenBounds(it);
    desk.RunOnThread([&] { display(nullptr, r.left, r.top, r.right, r.bottom, HelpText(it.label).c_str(), 150, 1); });
    Pump(static_cast<DWORD>(seconds) * 1000);

    desk.RunOnThread([&] {
        display(nullptr, 0, 0, 0, 0, "", 0, 0);
        DestroyWindow(backdrop);
    });
    unhook();
    Pump(500);
    RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);
    return 0;
}

int Remote(int seconds) {
    HMODULE engine = LoadLibraryA(DistPath("fxengine.dll").c_str());
    if (!engine) return 2;
    auto display = reinterpret_cast<DisplayFn>(reinterpret_cast<void (*)()>(GetProcAddress(engine, "fxDisplayBubble")));
    if (!display) return 3;
    const RECT r = ScreenBounds(kItems[1]);
    display(nullptr, r.left, r.top, r.right, r.bottom, HelpText(kItems[1].label).c_str(), 150, 1);
    Pump(static_cast<DWORD>(seconds) * 1000);
    display(nullptr, 0, 0, 0, 0, "", 0, 0);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = __argc;
    char** argv = __argv;
    if (argc >= 5 && std::strcmp(argv[1], "show") == 0)
        return Show(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    if (argc >= 3 && std::strcmp(argv[1], "remote") == 0) return Remote(std::atoi(argv[2]));
    return 1;
}
