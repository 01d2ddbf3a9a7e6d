#include "taskbar_window.h"

#include <commctrl.h>

#include <algorithm>

#include "fx/names.h"
#include "private_messages.h"
#include "testshell_protocol.h"

namespace testshell {
namespace {

constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";
constexpr int kHeight = 28;
constexpr int kStartWidth = 54, kButtonHeight = 22;
constexpr UINT_PTR kUpdateTimer = 1;
constexpr UINT kUpdatePeriodMs = 100;

HFONT CreateBoldFont() {
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&lf);
}

}  // namespace

bool TaskbarWindow::Create(HWND desktop, const std::vector<HWND>& ignored) {
    desktop_ = desktop;
    if (!RegisterClassOnce(kTrayClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1), nullptr)) return false;
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    if (!Window::Create(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTrayClass, nullptr,
                        WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, cy - kHeight, cx, kHeight, nullptr, nullptr))
        return false;
    bold_.reset(CreateBoldFont());
    start_ = CreateWindowExW(0, WC_BUTTONW, L"Start", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0, hwnd(),
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(fx::kStartButtonCommand)),
                             GetModuleHandleW(nullptr), nullptr);
    if (!start_) return false;
    SendMessageW(start_, WM_SETFONT, reinterpret_cast<WPARAM>(bold_.get()), FALSE);

    std::vector<HWND> skip = ignored;
    skip.push_back(hwnd());
    if (!tasks_.Create(hwnd(), skip) || !notify_.Create(hwnd())) return false;
    Layout();

    // Keep maximized windows clear of the taskbar.
    RECT work{0, 0, cx, cy - kHeight};
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);

    anchor_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WC_STATICW, nullptr, WS_POPUP, 0, 0, 1, 1, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hwnd(), SW_SHOWNA);
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetTimer(hwnd(), kUpdateTimer, kUpdatePeriodMs, nullptr);

    // Programs with tray icons add them again when a taskbar appears.
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    PostMessageW(HWND_BROADCAST, taskbarCreated_, 0, 0);
    return true;
}

TaskbarWindow::~TaskbarWindow() {
    if (anchor_) DestroyWindow(anchor_);
}

// Wine raises the X window of any window that takes the keyboard focus without
// moving it in the Win32 Z order, and moves an X window up only when a window
// becomes the very first in Win32 order. So the desktop, which never moves up,
// ends up on screen above everything after a click, and the taskbar below other
// windows; Wine then also copies that X order back to Win32 when the mouse moves.
// After each focus change (and at start, for windows made before the desktop) the
// windows are raised again in their order.
void TaskbarWindow::KeepStackingOnScreen() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(0, &info);
    HWND foreground = GetForegroundWindow();
    if (foreground != lastForeground_ || info.hwndFocus != lastFocus_) {
        // The X raise can come a little after the change that we see here.
        restackPasses_ = 3;
        restackDesktop_ = foreground == desktop_;
        lastForeground_ = foreground;
        lastFocus_ = info.hwndFocus;
    }
    bool starting = startupPasses_ > 0;
    if (starting) --startupPasses_;
    if (restackPasses_ == 0 && !starting) return;
    if (restackPasses_ > 0) --restackPasses_;
    TaskbarSnapshot menu;
    menu_.Fill(menu);
    if (menu.menuOpen || !anchor_) return;
    if (restackDesktop_ || starting) RaiseWindowsAboveDesktop();
    RaiseTopmost(hwnd());
}

void TaskbarWindow::RaiseTopmost(HWND window) const {
    // Moving a hidden window first makes the next move a real one.
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    SetWindowPos(anchor_, HWND_TOPMOST, 0, 0, 0, 0, kFlags);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kFlags);
}

void TaskbarWindow::RaiseWindowsAboveDesktop() const {
    // A click on the desktop also lifts it in Win32 order (no WM_WINDOWPOSCHANGING
    // is sent for that); put it back first.
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    SetWindowPos(desktop_, HWND_BOTTOM, 0, 0, 0, 0, kFlags);
    std::vector<HWND> above;  // bottom first
    for (HWND w = GetWindow(desktop_, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (w != hwnd() && w != anchor_ && IsWindowVisible(w)) above.push_back(w);
    for (HWND w : above) {
        if (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) {
            RaiseTopmost(w);
        } else {
            // Briefly first of all, then back to the top of the normal windows.
            SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, kFlags);
            SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
        }
    }
}

void TaskbarWindow::Layout() {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    int top = (rc.bottom - kButtonHeight + 2) / 2;
    MoveWindow(start_, 2, top, kStartWidth, kButtonHeight, TRUE);
    int notifyWidth = notify_.PreferredWidth();
    int notifyLeft = rc.right - 2 - notifyWidth;
    MoveWindow(notify_.hwnd(), notifyLeft, top, notifyWidth, kButtonHeight, TRUE);
    int tasksLeft = 2 + kStartWidth + 4;
    MoveWindow(tasks_.hwnd(), tasksLeft, top, std::max(0, notifyLeft - 4 - tasksLeft), kButtonHeight + 2, TRUE);
}

void TaskbarWindow::Paint(HDC dc) const {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_TOP);
}

void TaskbarWindow::Fill(TaskbarSnapshot& out) const {
    out.tray = hwnd();
    out.startButton = start_;
    tasks_.Fill(out);
    notify_.Fill(out);
    menu_.Fill(out);
}

void TaskbarWindow::EnsureFirstTaskbar() const {
    // Wine's explorer keeps a hidden taskbar of its own; Shell_NotifyIcon and the
    // suite find whichever comes first in Z order, which must be this one.
    if (FindWindowW(kTrayClass, nullptr) != hwnd())
        SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT TaskbarWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (wp == fx::kStartButtonCommand) {
            // Opened from the queue, so whoever sent the command is not held by the menu loop.
            PostMessageW(hwnd(), kMsgOpenStartMenu, 0, 0);
            return 0;
        }
        break;
    case kMsgOpenStartMenu: {
        // Above the taskbar, left-aligned with the Start button.
        RECT anchor, bar;
        GetWindowRect(start_, &anchor);
        GetWindowRect(hwnd(), &bar);
        anchor.top = bar.top;
        SendMessageW(start_, BM_SETSTATE, TRUE, 0);
        menu_.Track(hwnd(), anchor);
        SendMessageW(start_, BM_SETSTATE, FALSE, 0);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        // Clicks on tabs and tray icons leave the active window active; the Start
        // menu makes the taskbar the foreground window itself.
        return MA_NOACTIVATE;
    case WM_MEASUREITEM:
        if (menu_.Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_DRAWITEM:
        if (menu_.Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_ENTERIDLE:
        if (wp == MSGF_MENU) menu_.NoteMenuWindow(reinterpret_cast<HWND>(lp));
        return 0;
    case WM_COPYDATA: {
        TrayRequest request;
        if (!ParseTrayCopyData(*reinterpret_cast<COPYDATASTRUCT*>(lp), request)) return FALSE;
        return notify_.Apply(request);
    }
    case WM_TIMER:
        if (wp == kUpdateTimer) {
            tasks_.Update();
            notify_.Prune();
            EnsureFirstTaskbar();
            KeepStackingOnScreen();
            return 0;
        }
        break;
    case kMsgTaskbarLayout:
    case WM_SIZE:
        Layout();
        return 0;
    case kMsgTaskbarSnapshot:
        Fill(*reinterpret_cast<TaskbarSnapshot*>(lp));
        return 1;
    case kTrayPing:
        return 1;
    case WM_PAINT: {
        fx::PaintScope paint(hwnd());
        Paint(paint.dc());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd());
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd(), kUpdateTimer);
        PostQuitMessage(0);
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}

HWND TaskbarThread::Start(HWND desktop, const std::vector<HWND>& ignored) {
    desktop_ = desktop;
    ignored_ = ignored;
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, Main, this, 0, nullptr));
    if (!thread_ || !ready_) return nullptr;
    HANDLE waits[2] = {ready_.get(), thread_.get()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    return tray_;
}

void TaskbarThread::Stop() noexcept {
    if (!thread_) return;
    if (IsWindow(tray_)) PostMessageW(tray_, WM_CLOSE, 0, 0);
    WaitForSingleObject(thread_.get(), 5000);
    thread_.reset();
    tray_ = nullptr;
}

DWORD WINAPI TaskbarThread::Main(void* param) {
    auto* self = static_cast<TaskbarThread*>(param);
    CoInitialize(nullptr);
    {
        TaskbarWindow taskbar;
        bool ok = taskbar.Create(self->desktop_, self->ignored_);
        self->tray_ = ok ? taskbar.hwnd() : nullptr;
        SetEvent(self->ready_.get());
        if (ok) {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    CoUninitialize();
    return 0;
}

}  // namespace testshell
