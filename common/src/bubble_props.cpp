#include "fx/bubble_props.h"

namespace fx {

bool SetPropValue(HWND window, const char* name, LONG_PTR value) noexcept {
    return SetPropA(window, name, reinterpret_cast<HANDLE>(value)) != FALSE;
}

LONG_PTR GetPropValue(HWND window, const char* name) noexcept {
    return reinterpret_cast<LONG_PTR>(GetPropA(window, name));
}

bool SetSplitProp(HWND window, SplitProp prop, ULONG_PTR value) noexcept {
    bool high = SetPropValue(window, prop.high, static_cast<LONG_PTR>(SplitHigh(value)));
    bool low = SetPropValue(window, prop.low, static_cast<LONG_PTR>(SplitLow(value)));
    return high && low;
}

ULONG_PTR GetSplitProp(HWND window, SplitProp prop) noexcept {
    return JoinSplit(static_cast<ULONG_PTR>(GetPropValue(window, prop.high)),
                     static_cast<ULONG_PTR>(GetPropValue(window, prop.low)));
}

bool SetPropRect(HWND window, const char* const (&names)[4], const RECT& rect) noexcept {
    const LONG values[4] = {rect.left, rect.top, rect.right, rect.bottom};
    bool all = true;
    for (int i = 0; i < 4; ++i) all &= SetPropValue(window, names[i], values[i]);
    return all;
}

RECT GetPropRect(HWND window, const char* const (&names)[4]) noexcept {
    LONG v[4];
    for (int i = 0; i < 4; ++i) v[i] = static_cast<LONG>(GetPropValue(window, names[i]));
    return RECT{v[0], v[1], v[2], v[3]};
}

}  // namespace fx
