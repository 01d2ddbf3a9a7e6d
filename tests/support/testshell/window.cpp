#include "window.h"

namespace testshell {

Window::~Window() {
    if (hwnd_ && IsWindow(hwnd_)) {
        HWND h = hwnd_;
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(h);
    }
}

bool Window::RegisterClassOnce(const wchar_t* name, UINT style, HBRUSH background, HCURSOR cursor) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(inst, name, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = inst;
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

bool Window::RegisterClassOnceA(const char* name, UINT style, HBRUSH background, HCURSOR cursor) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (GetClassInfoExA(inst, name, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = inst;
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

HWND Window::Create(DWORD exStyle, const wchar_t* cls, const wchar_t* title, DWORD style,
                    int x, int y, int w, int h, HWND parent, HMENU menu) {
    ansi_ = false;
    return CreateWindowExW(exStyle, cls, title, style, x, y, w, h, parent, menu,
                           GetModuleHandleW(nullptr), this);
}

HWND Window::CreateA(DWORD exStyle, const char* cls, const char* title, DWORD style,
                     int x, int y, int w, int h, HWND parent, HMENU menu) {
    ansi_ = true;
    return CreateWindowExA(exStyle, cls, title, style, x, y, w, h, parent, menu,
                           GetModuleHandleW(nullptr), this);
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) const {
    return ansi_ ? DefWindowProcA(hwnd_, msg, wp, lp) : DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        // lpCreateParams sits at the same place in CREATESTRUCTA and CREATESTRUCTW.
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);

    LRESULT result = 0;
    try {
        result = self->OnMessage(msg, wp, lp);
    } catch (...) {
        result = 0;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage();  // may delete self: nothing below touches it
    }
    return result;
}

}  // namespace testshell
