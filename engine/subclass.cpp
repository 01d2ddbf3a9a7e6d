#include "subclass.h"

namespace engine {

bool Subclass::Install(HWND hwnd, WNDPROC proc) noexcept {
    if (installed_ && hwnd == hwnd_) return true;
    if (!IsWindow(hwnd)) return false;
    SetLastError(0);
    LONG_PTR prev = SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    if (prev == 0 && GetLastError() != 0) return false;
    hwnd_ = hwnd;
    proc_ = proc;
    prev_ = reinterpret_cast<WNDPROC>(prev);
    installed_ = true;
    return true;
}

bool Subclass::Remove() noexcept {
    if (!installed_) return true;
    if (!IsWindow(hwnd_)) {
        Forget();
        return true;
    }
    if (GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(proc_)) return false;
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev_));
    installed_ = false;
    return true;
}

LRESULT Subclass::CallPrevious(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const noexcept {
    if (prev_) return CallWindowProcW(prev_, hwnd, msg, wp, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace engine
