#include "control_window.h"

#include "desktop_window.h"
#include "folder_windows.h"
#include "fx/handles.h"
#include "private_messages.h"
#include "snapshot.h"
#include "testshell_protocol.h"

namespace testshell {
namespace {

constexpr DWORD kTaskbarWaitMs = 3000;

}  // namespace

bool ControlWindow::Create() {
    if (!RegisterClassOnce(kControlClass, 0, nullptr, nullptr)) return false;
    return Window::Create(WS_EX_TOOLWINDOW, kControlClass, statePath_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                          nullptr) != nullptr;
}

bool ControlWindow::WriteState() const {
    DesktopSnapshot desk;
    desktop_.Fill(desk);
    folders_.Fill(desk);
    desk.control = hwnd();
    TaskbarSnapshot bar;
    DWORD_PTR answered = 0;
    SendMessageTimeoutW(tray_, kMsgTaskbarSnapshot, 0, reinterpret_cast<LPARAM>(&bar), SMTO_NORMAL, kTaskbarWaitMs,
                        &answered);
    std::string text = FormatState(desk, bar);
    // Written beside and renamed over, so a reader never sees half a file.
    std::wstring temp = statePath_ + L".tmp";
    {
        fx::UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size())
            return false;
    }
    return MoveFileExW(temp.c_str(), statePath_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

LRESULT ControlWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kCtlCurrentProc: {
        HWND target = desktop_.Target(wp);
        return target ? GetWindowLongPtrA(target, GWLP_WNDPROC) : 0;
    }
    case kCtlOriginalProc:
        return desktop_.OriginalProc(wp);
    case kCtlFreeEngine: {
        // What Windows does to a hook DLL at unhook time, which Wine never does.
        HMODULE engine = GetModuleHandleA(kEngineModule);
        if (!engine) return 0;
        FreeLibrary(engine);
        return GetModuleHandleA(kEngineModule) ? 2 : 1;
    }
    case kCtlEngineLoaded:
        return GetModuleHandleA(kEngineModule) ? 1 : 0;
    case kCtlPing: {
        if (wp != 1) return 1;
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(tray_, kTrayPing, 0, 0, SMTO_NORMAL, kTaskbarWaitMs, &answer)) return 0;
        return static_cast<LRESULT>(answer);
    }
    case kCtlWriteState:
        return WriteState() ? 1 : 0;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace testshell
