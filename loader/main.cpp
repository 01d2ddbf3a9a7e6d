// fxloader: keeps the desktop enhancements alive while it runs.
#include "fx/handles.h"
#include "loader_window.h"
#include "texts.h"

#include <commctrl.h>

namespace {

// Held for the loader's lifetime; the system releases it when the process dies,
// so a killed loader never blocks the next start.
constexpr char kInstanceMutexName[] = "FxLoader_Brantix1_Instance";

loader::LoaderWindow* g_window = nullptr;

void CALLBACK StartAnimationsTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_window && g_window->animationsOn()) g_window->StartListedAnimations();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    fx::UniqueHandleK instanceMutex(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
    if (!instanceMutex || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    loader::InitTexts(instance);
    if (!loader::LoaderWindow::RegisterClass(instance)) return 0;

    loader::LoaderWindow window;
    g_window = &window;
    HWND hwnd = window.Create(instance);
    if (!hwnd) return 0;

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    ShowWindow(hwnd, SW_HIDE);
    UpdateWindow(hwnd);

    SetTimer(nullptr, loader::TIMER_START_ANIMATIONS, 2000, StartAnimationsTimer);

    MSG msg;
    int code = 0;
    while (true) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) { code = static_cast<int>(msg.wParam); break; }
        if (got < 0) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_window = nullptr;
    return code;
}
