// Commands that talk to the stand-in shell's control window.
#include <cstdio>
#include <cstring>
#include <string>

#include "fx/handles.h"
#include "probe.h"
#include "testshell_protocol.h"

namespace probe {
namespace {

HWND ControlWindow() { return FindWindowW(testshell::kControlClass, nullptr); }

// Asks the shell to write its state file and returns the file's text.
bool ReadShellState(std::string& text) {
    HWND control = ControlWindow();
    if (!control) return false;
    DWORD_PTR written = 0;
    if (!SendMessageTimeoutW(control, testshell::kCtlWriteState, 0, 0, SMTO_NORMAL, 10000, &written) || written != 1)
        return false;
    wchar_t path[MAX_PATH] = {};
    if (!InternalGetWindowText(control, path, MAX_PATH)) return false;
    fx::UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    char buf[4096];
    DWORD n = 0;
    text.clear();
    while (ReadFile(file.get(), buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
    return true;
}

int ShellState(const Args&) {
    std::string text;
    if (!ReadShellState(text)) return Fail("no answer from the stand-in shell");
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int Control(const Args& a) {
    unsigned long long n = 0, wp = 0;
    if (!ParseNumber(a[0], n) || (a.size() > 1 && !ParseNumber(a[1], wp))) return Fail("bad arguments");
    HWND control = ControlWindow();
    if (!control) return Fail("no control window");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, WM_APP + static_cast<UINT>(n), static_cast<WPARAM>(wp), 0, SMTO_NORMAL, 10000,
                             &result))
        return Fail("no answer");
    std::printf("%lld\n", static_cast<long long>(static_cast<LRESULT>(result)));
    return 0;
}

// The centre of the tray icon with this id, from a "tray_icon=" line of the state.
bool FindTrayIcon(const std::string& state, unsigned id, HWND& notify, POINT& centre) {
    bool found = false;
    notify = nullptr;
    size_t pos = 0;
    while (pos < state.size()) {
        size_t end = state.find('\n', pos);
        if (end == std::string::npos) end = state.size();
        std::string line = state.substr(pos, end - pos);
        pos = end + 1;
        unsigned long long owner = 0, notifyValue = 0;
        unsigned uid = 0, callback = 0;
        long l, t, r, b;
        if (std::sscanf(line.c_str(), "notify=%llx", &notifyValue) == 1) {
            notify = reinterpret_cast<HWND>(static_cast<uintptr_t>(notifyValue));
        } else if (std::sscanf(line.c_str(), "tray_icon=%llx\t%u\t%x\t%ld,%ld,%ld,%ld", &owner, &uid, &callback, &l, &t,
                               &r, &b) == 7 &&
                   uid == id && !found) {
            centre = POINT{(l + r) / 2, (t + b) / 2};
            found = true;
        }
    }
    return found && notify;
}

int TrayClick(const Args& a) {
    unsigned long long id = 0;
    if (!ParseNumber(a[0], id)) return Fail("bad id");
    std::string button = a.size() > 1 ? Utf8(a[1]) : "left";
    UINT down, up, dbl;
    if (button == "left" || button == "double") {
        down = WM_LBUTTONDOWN; up = WM_LBUTTONUP; dbl = WM_LBUTTONDBLCLK;
    } else if (button == "right") {
        down = WM_RBUTTONDOWN; up = WM_RBUTTONUP; dbl = WM_RBUTTONDBLCLK;
    } else if (button == "middle") {
        down = WM_MBUTTONDOWN; up = WM_MBUTTONUP; dbl = WM_MBUTTONDBLCLK;
    } else {
        return Fail("button must be left, right, middle or double");
    }
    std::string state;
    HWND notify;
    POINT pt;
    if (!ReadShellState(state)) return Fail("no answer from the stand-in shell");
    if (!FindTrayIcon(state, static_cast<unsigned>(id), notify, pt)) return Fail("no such tray icon");
    ScreenToClient(notify, &pt);
    LPARAM where = MAKELPARAM(pt.x, pt.y);
    PostMessageW(notify, down, 0, where);
    PostMessageW(notify, up, 0, where);
    if (button == "double") {
        PostMessageW(notify, dbl, 0, where);
        PostMessageW(notify, up, 0, where);
    }
    return 0;
}

}  // namespace

const Command kShellCommands[] = {
    {"shell-state", 0, "                  the stand-in shell's state file (WM_APP+10)", ShellState},
    {"ctl", 1, "N [WPARAM]                send WM_APP+N to the shell's control window, prints the result", Control},
    {"tray-click", 1, "UID [left|right|middle|double]  click a tray icon of the stand-in shell", TrayClick},
};
const size_t kShellCommandCount = sizeof kShellCommands / sizeof kShellCommands[0];

}  // namespace probe
