// Commands about windows: finding them, sending messages, reading their attributes.
#include <cstdio>

#include "probe.h"

namespace probe {
namespace {

const wchar_t* OptionalText(const Args& a, size_t i) { return a.size() > i ? a[i].c_str() : nullptr; }

int Find(const Args& a) {
    HWND hwnd = FindWindowW(a[0].c_str(), OptionalText(a, 1));
    if (!hwnd) return 1;
    PrintHwnd(hwnd);
    return 0;
}

int FindNext(const Args& a) {
    HWND after;
    if (!ParseHwnd(a[1], after)) return Fail("bad window handle");
    HWND hwnd = FindWindowExW(nullptr, after, a[0].c_str(), nullptr);
    if (!hwnd) return 1;
    PrintHwnd(hwnd);
    return 0;
}

int Child(const Args& a) {
    HWND parent;
    if (!ParseHwnd(a[0], parent)) return Fail("bad window handle");
    HWND hwnd = FindWindowExW(parent, nullptr, a[1].c_str(), OptionalText(a, 2));
    if (!hwnd) return 1;
    PrintHwnd(hwnd);
    return 0;
}

int Wait(const Args& a) {
    unsigned long long timeout = 0;
    if (!ParseNumber(a[1], timeout)) return Fail("bad timeout");
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND hwnd = FindWindowW(a[0].c_str(), OptionalText(a, 2))) {
            PrintHwnd(hwnd);
            return 0;
        }
        if (GetTickCount() - start >= timeout) return 1;
        Sleep(20);
    }
}

int Deliver(const Args& a, bool post) {
    HWND hwnd;
    unsigned long long msg, wp, lp;
    if (!ParseHwnd(a[0], hwnd) || !ParseNumber(a[1], msg) || !ParseNumber(a[2], wp) || !ParseNumber(a[3], lp))
        return Fail("bad arguments");
    if (post) {
        if (!PostMessageW(hwnd, static_cast<UINT>(msg), static_cast<WPARAM>(wp), static_cast<LPARAM>(lp)))
            return Fail("PostMessage failed");
        return 0;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, static_cast<UINT>(msg), static_cast<WPARAM>(wp), static_cast<LPARAM>(lp),
                             SMTO_NORMAL, 10000, &result))
        return Fail("SendMessage failed or timed out");
    std::printf("%lld\n", static_cast<long long>(static_cast<LRESULT>(result)));
    return 0;
}

int Send(const Args& a) { return Deliver(a, false); }
int Post(const Args& a) { return Deliver(a, true); }

int WithWindow(const Args& a, HWND& hwnd) {
    if (!ParseHwnd(a[0], hwnd)) return Fail("bad window handle");
    if (!IsWindow(hwnd)) return Fail("not a window");
    return 0;
}

int Pid(const Args& a) {
    HWND hwnd;
    if (int rc = WithWindow(a, hwnd)) return rc;
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
    std::printf("%lu %lu\n", pid, tid);
    return 0;
}

int Style(const Args& a) {
    HWND hwnd;
    if (int rc = WithWindow(a, hwnd)) return rc;
    std::printf("0x%08lx 0x%08lx\n", static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
    return 0;
}

int Rect(const Args& a) {
    HWND hwnd;
    if (int rc = WithWindow(a, hwnd)) return rc;
    RECT rc;
    GetWindowRect(hwnd, &rc);
    std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
    return 0;
}

int IsWindowCmd(const Args& a) {
    HWND hwnd;
    if (!ParseHwnd(a[0], hwnd)) return Fail("bad window handle");
    std::printf("%d\n", IsWindow(hwnd) ? 1 : 0);
    return 0;
}

int ClassName(const Args& a) {
    HWND hwnd;
    if (int rc = WithWindow(a, hwnd)) return rc;
    wchar_t name[256];
    if (!GetClassNameW(hwnd, name, 256)) return Fail("GetClassName failed");
    PrintText(name);
    return 0;
}

int Text(const Args& a) {
    HWND hwnd;
    if (int rc = WithWindow(a, hwnd)) return rc;
    wchar_t text[1024] = {};
    InternalGetWindowText(hwnd, text, 1024);
    PrintText(text);
    return 0;
}

int Parent(const Args& a) {
    HWND hwnd;
    if (int rc = WithWindow(a, hwnd)) return rc;
    PrintHwnd(GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow() ? nullptr : GetParent(hwnd));
    return 0;
}

int Top(const Args&) {
    PrintHwnd(GetTopWindow(nullptr));
    return 0;
}

int ZOrder(const Args&) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!IsWindowVisible(w)) continue;
        wchar_t cls[128] = {}, title[256] = {};
        GetClassNameW(w, cls, 128);
        InternalGetWindowText(w, title, 256);
        std::printf("0x%llx\t%s\t", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w)), Utf8(cls).c_str());
        PrintText(title);
    }
    return 0;
}

int At(const Args& a) {
    unsigned long long x = 0, y = 0;
    if (!ParseNumber(a[0], x) || !ParseNumber(a[1], y)) return Fail("bad point");
    PrintHwnd(WindowFromPoint(POINT{static_cast<LONG>(x), static_cast<LONG>(y)}));
    return 0;
}

int Redraw(const Args& a) {
    HWND hwnd;
    if (int rc = WithWindow(a, hwnd)) return rc;
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return 0;
}

int Focus(const Args&) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(0, &info);
    std::printf("0x%llx 0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(GetForegroundWindow())),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(info.hwndFocus)));
    return 0;
}

int Visible(const Args& a) {
    HWND hwnd;
    if (int rc = WithWindow(a, hwnd)) return rc;
    std::printf("%d %d\n", IsWindowVisible(hwnd) ? 1 : 0, IsIconic(hwnd) ? 1 : 0);
    return 0;
}

}  // namespace

const Command kWindowCommands[] = {
    {"find", 1, "CLASS [TITLE]            first top-level window (hex handle)", Find},
    {"find-next", 2, "CLASS AFTER_HWND      next top-level window of the class", FindNext},
    {"child", 2, "PARENT CLASS [TITLE]    first child window of the class", Child},
    {"wait", 2, "CLASS TIMEOUT_MS [TITLE] wait until the window exists", Wait},
    {"send", 4, "HWND MSG WPARAM LPARAM   SendMessage, prints the result", Send},
    {"post", 4, "HWND MSG WPARAM LPARAM   PostMessage", Post},
    {"pid", 1, "HWND                      process and thread id", Pid},
    {"style", 1, "HWND                    style and extended style", Style},
    {"rect", 1, "HWND                     window rectangle on screen", Rect},
    {"is-window", 1, "HWND                1 or 0", IsWindowCmd},
    {"visible", 1, "HWND                  visible and iconic flags", Visible},
    {"class", 1, "HWND                    class name", ClassName},
    {"text", 1, "HWND                     window text (UTF-8)", Text},
    {"parent", 1, "HWND                   parent window (0x0 for top-level)", Parent},
    {"zorder", 0, "                       visible top-level windows, topmost first: handle class title", ZOrder},
    {"at", 2, "X Y                        the window at a screen point", At},
    {"redraw", 1, "HWND                   invalidate and repaint the window and its children", Redraw},
    {"focus", 0, "                     foreground window and the window with the keyboard focus", Focus},
    {"top", 0, "                          the window at the top of the Z order", Top},
};
const size_t kWindowCommandCount = sizeof kWindowCommands / sizeof kWindowCommands[0];

}  // namespace probe
