#include "fx/shell_windows.h"

#include "fx/names.h"

namespace fx {

HWND FindDesktopWindow() noexcept {
    HWND first = FindWindowA(kDesktopClass, nullptr);
    if (first && !(GetWindowLongPtrA(first, GWL_STYLE) & WS_POPUP))
        return FindWindowExA(nullptr, first, kDesktopClass, nullptr);
    return first;
}

HWND FindDesktopView(HWND desktop) noexcept {
    return desktop ? FindWindowExA(desktop, nullptr, kDesktopViewClass, nullptr) : nullptr;
}

HWND FindDesktopListView(HWND desktop) noexcept {
    HWND view = FindDesktopView(desktop);
    return view ? FindWindowExA(view, nullptr, kListViewClass, nullptr) : nullptr;
}

}  // namespace fx
