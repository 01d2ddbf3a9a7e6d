#include "fake_desktop.h"

#include <commctrl.h>

namespace {
FakeDesktop* g_instance = nullptr;
}

FakeDesktop::FakeDesktop(Options options) {
    g_instance = this;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, options, ready] { Run(options, ready); });
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
}

FakeDesktop::~FakeDesktop() {
    if (control_) PostMessageW(control_, WM_APP + 1, 0, 0);
    if (thread_.joinable()) thread_.join();
    g_instance = nullptr;
}

LRESULT CALLBACK FakeDesktop::DesktopProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && g_instance) {
        std::lock_guard<std::mutex> lock(g_instance->mutex_);
        g_instance->commands_.push_back(wp);
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FakeDesktop::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) {
        auto* call = reinterpret_cast<std::function<void()>*>(lp);
        (*call)();
        delete call;
        return 0;
    }
    if (msg == WM_APP + 1) {
        for (HWND w : {g_instance->desktop_, g_instance->old_}) if (w) DestroyWindow(w);
        if (g_instance->images_) ImageList_Destroy(g_instance->images_);
        DestroyWindow(hwnd);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void FakeDesktop::Run(Options options, HANDLE ready) {
    threadId_ = GetCurrentThreadId();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.hInstance = inst;
    wc.lpfnWndProc = DesktopProc;
    wc.lpszClassName = L"Progman";
    RegisterClassW(&wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"SHELLDLL_DefView";
    RegisterClassW(&wc);
    wc.lpfnWndProc = ControlProc;
    wc.lpszClassName = L"FakeDesktopControl";
    RegisterClassW(&wc);

    if (options.oldProgramManagerFirst)
        old_ = CreateWindowExW(0, L"Progman", L"Program Manager", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                               nullptr, inst, nullptr);
    desktop_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"Progman", L"Program Manager", WS_POPUP, 0, 0, 300, 200, nullptr,
                               nullptr, inst, nullptr);
    // FindWindow walks the z-order: keep the old one first, as the shell's history had it.
    if (old_) SetWindowPos(desktop_, old_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    view_ = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, desktop_, nullptr,
                            inst, nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 300, 200, view_, nullptr,
                            inst, nullptr);
    if (!options.items.empty()) AddItems(options.items);
    control_ = CreateWindowExW(0, L"FakeDesktopControl", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
    desktopProc_ = CurrentProc(desktop_);
    viewProc_ = CurrentProc(view_);
    listProc_ = CurrentProc(list_);
    SetEvent(ready);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void FakeDesktop::AddItems(const std::vector<std::string>& items) {
    images_ = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, int(items.size()), 0);
    for (size_t i = 0; i < items.size(); ++i) {
        // A grey square whose shade differs from item to item.
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
        HDC dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT square = {0, 0, 32, 32};
        BYTE shade = BYTE(0x60 + (i * 7) % 0x80);
        HBRUSH brush = CreateSolidBrush(RGB(shade, shade, shade));
        FillRect(dc, &square, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ImageList_Add(images_, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    for (size_t i = 0; i < items.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = int(i);
        item.pszText = const_cast<char*>(items[i].c_str());
        item.iImage = int(i);
        SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (HWND w : {view_, list_}) SetWindowPos(w, nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(desktop_, HWND_TOPMOST, 0, 0, 640, 480, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

WNDPROC FakeDesktop::CurrentProc(HWND w) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC));
}

std::vector<WPARAM> FakeDesktop::Commands() {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

MessageRecorder::MessageRecorder(const char* className) : className_(className) {
    WNDCLASSA wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, this);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

MessageRecorder::~MessageRecorder() {
    DestroyWindow(hwnd_);
    UnregisterClassA(className_, GetModuleHandleW(nullptr));
}

LRESULT CALLBACK MessageRecorder::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<MessageRecorder*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg >= WM_USER) self->got_.push_back({msg, wp, lp});
    if (self && msg == WM_CLOSE) { self->got_.push_back({msg, wp, lp}); return 0; }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

std::vector<MessageRecorder::Msg> MessageRecorder::Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return got_;
}
