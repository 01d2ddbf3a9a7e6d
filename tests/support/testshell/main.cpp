// testshell.exe: a stand-in for the classic Windows shell under Wine. The desktop
// (Progman > SHELLDLL_DefView > SysListView32, shell32's own desktop view) and the
// folder windows run on the main thread; the taskbar with its Start menu and
// notification area runs on a second thread, as in the real shell.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "control_window.h"
#include "desktop_window.h"
#include "folder_windows.h"
#include "old_progman_window.h"
#include "options.h"
#include "private_messages.h"
#include "shell_util.h"
#include "taskbar_window.h"

using namespace testshell;

namespace {

void Fail(const std::string& what) {
    std::fprintf(stderr, "testshell: %s\n", what.c_str());
    std::fflush(stderr);
}

// Shell views only see their accelerators when the message loop hands them over.
bool TranslateViewKey(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    return root && SendMessageW(root, kMsgTranslateKey, 0, reinterpret_cast<LPARAM>(&msg)) == 1;
}

bool TaskbarComesFirst(HWND tray) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (FindWindowW(L"Shell_TrayWnd", nullptr) == tray) return true;
        SetWindowPos(tray, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Sleep(100);
    }
    return false;
}

int Run(const Options& options) {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    OldProgmanWindow oldProgman;
    if (options.twoProgman && !oldProgman.Create()) {
        Fail("cannot create the old Program Manager window");
        return 2;
    }
    FolderWindows folders;
    DesktopWindow desktop(folders);
    if (HRESULT hr = desktop.Create(options.desktopDir); FAILED(hr)) {
        char text[64];
        std::snprintf(text, sizeof text, "cannot create the desktop (0x%08lx)", static_cast<unsigned long>(hr));
        Fail(text);
        return 2;
    }

    TaskbarThread taskbar;
    HWND tray = taskbar.Start(desktop.hwnd(), {desktop.hwnd(), oldProgman.hwnd()});
    if (!tray) {
        Fail("cannot create the taskbar");
        return 2;
    }
    if (!TaskbarComesFirst(tray)) {
        Fail("FindWindow(\"Shell_TrayWnd\") does not find our taskbar");
        return 3;
    }
    ControlWindow control(desktop, folders, tray, options.statePath);
    if (!control.Create()) {
        Fail("cannot create the control window");
        return 2;
    }
    std::printf("testshell: ready desktop=%p tray=%p\n", static_cast<void*>(desktop.hwnd()), static_cast<void*>(tray));
    std::fflush(stdout);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateViewKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    taskbar.Stop();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    std::unique_ptr<wchar_t*, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &argc), &LocalFree);
    Options options;
    std::wstring error;
    if (!argv || !ParseOptions(argc, argv.get(), options, error)) {
        Fail(ToUtf8(error) + "\nusage: testshell [--desktop DIR] [--state FILE] [--two-progman]");
        return 1;
    }
    int rc = Run(options);
    OleUninitialize();
    return rc;
}
