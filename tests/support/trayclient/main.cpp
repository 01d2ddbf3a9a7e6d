// trayclient.exe --id N --tip TEXT --log FILE [--lifetime MS]
// Adds one notification-area icon, appends every callback message it receives to
// the log file ("callback id=N event=0x..."), adds the icon again when a taskbar
// announces itself, and removes it on exit (WM_CLOSE or after the lifetime).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "fx/handles.h"

namespace {

constexpr UINT kCallback = WM_APP + 77;
constexpr UINT_PTR kLifetimeTimer = 1;

struct Client {
    UINT id = 1;
    std::wstring tip = L"trayclient";
    std::wstring log;
    UINT lifetime = 0;
    UINT taskbarCreated = 0;
    HWND hwnd = nullptr;
};
Client g_client;  // one per process; the window procedure has no other way to reach it

void Log(const char* line) {
    fx::UniqueFile file(CreateFileW(g_client.log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD n = 0;
    WriteFile(file.get(), line, static_cast<DWORD>(strlen(line)), &n, nullptr);
}

bool Notify(DWORD action) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = g_client.hwnd;
    nid.uID = g_client.id;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kCallback;
    nid.hIcon = static_cast<HICON>(LoadImageW(nullptr, IDI_INFORMATION, IMAGE_ICON, 16, 16, LR_SHARED));
    lstrcpynW(nid.szTip, g_client.tip.c_str(), ARRAYSIZE(nid.szTip));
    return Shell_NotifyIconW(action, &nid) != FALSE;
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kCallback) {
        char line[96];
        std::snprintf(line, sizeof line, "callback id=%u event=0x%x\n", static_cast<unsigned>(wp),
                      static_cast<unsigned>(lp));
        Log(line);
        return 0;
    }
    if (msg == g_client.taskbarCreated && g_client.taskbarCreated) {
        Log(Notify(NIM_ADD) ? "added again\n" : "add again failed\n");
        return 0;
    }
    switch (msg) {
    case WM_TIMER:
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        Notify(NIM_DELETE);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) {
    int argc = 0;
    std::unique_ptr<wchar_t*, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &argc), &LocalFree);
    for (int i = 1; argv && i + 1 < argc; i += 2) {
        std::wstring key = argv.get()[i], value = argv.get()[i + 1];
        if (key == L"--id") g_client.id = static_cast<UINT>(wcstoul(value.c_str(), nullptr, 0));
        else if (key == L"--tip") g_client.tip = value;
        else if (key == L"--log") g_client.log = value;
        else if (key == L"--lifetime") g_client.lifetime = static_cast<UINT>(wcstoul(value.c_str(), nullptr, 0));
    }
    if (g_client.log.empty()) return 1;

    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = inst;
    wc.lpszClassName = L"FxTrayClient";
    RegisterClassW(&wc);
    g_client.taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    g_client.hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
    if (!g_client.hwnd) return 1;
    if (g_client.lifetime) SetTimer(g_client.hwnd, kLifetimeTimer, g_client.lifetime, nullptr);
    char line[64];
    std::snprintf(line, sizeof line, Notify(NIM_ADD) ? "added hwnd=%p\n" : "add failed hwnd=%p\n",
                  static_cast<void*>(g_client.hwnd));
    Log(line);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
