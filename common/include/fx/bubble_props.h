// The bubble window's properties: the mailbox through which the helper program hands
// values to the engine's message handler in another process. Writers and readers
// must agree on the encoding, so both use these helpers.
//
// A value that travels split keeps the names of the 32-bit scheme: the low 16 bits
// go in the property ending in L, everything above them in the one ending in H.
// Joining gives (H << 16) | (L & 0xFFFF). On 32-bit Windows H is at most 16 bits
// wide and the reader keeps only its low 16 bits, as the 32-bit suite always did;
// on 64-bit Windows H carries the whole upper part, so a window handle or an address
// of any width comes back whole.
#pragma once
#include <windows.h>

namespace fx {

struct SplitProp {
    const char* high;
    const char* low;
};

// Notification code of the WM_NOTIFY being handled (a signed value).
inline constexpr SplitProp kPropCode{"FXCODEH", "FXCODEL"};
// Address, valid in the desktop process, of the new label of an in-place rename.
inline constexpr SplitProp kPropString{"FXSTRINGH", "FXSTRINGL"};
// List view whose label edit begins.
inline constexpr SplitProp kPropEditList{"FXWNDH", "FXWNDL"};

// Window and message number of a message forwarded with FXBM_FORWARD: whole values.
inline constexpr char kPropForwardWindow[] = "FXWND";
inline constexpr char kPropForwardMessage[] = "FXMSG";

// Rectangles of a minimize or restore, one whole signed 32-bit value per property:
// rectangle 1 is where the outline ends, rectangle 2 where it starts.
inline constexpr const char* kPropRect1[4] = {"FXR1l", "FXR1t", "FXR1r", "FXR1b"};
inline constexpr const char* kPropRect2[4] = {"FXR2l", "FXR2t", "FXR2r", "FXR2b"};

constexpr ULONG_PTR SplitHigh(ULONG_PTR value) noexcept { return value >> 16; }
constexpr ULONG_PTR SplitLow(ULONG_PTR value) noexcept { return value & 0xFFFF; }
constexpr ULONG_PTR JoinSplit(ULONG_PTR high, ULONG_PTR low) noexcept {
#if defined(_WIN64)
    return (high << 16) | (low & 0xFFFF);
#else
    return ((high & 0xFFFF) << 16) | (low & 0xFFFF);
#endif
}

// Split values. Set returns false when a property could not be stored; a missing
// property reads as 0.
bool SetSplitProp(HWND window, SplitProp prop, ULONG_PTR value) noexcept;
ULONG_PTR GetSplitProp(HWND window, SplitProp prop) noexcept;

inline bool SetSplitCode(HWND window, int code) noexcept {
    return SetSplitProp(window, kPropCode, static_cast<ULONG_PTR>(static_cast<LONG_PTR>(code)));
}
// The code as the signed 32-bit number the notification carried.
inline int GetSplitCode(HWND window) noexcept {
    return static_cast<int>(static_cast<LONG>(static_cast<ULONG>(GetSplitProp(window, kPropCode) & 0xFFFFFFFFu)));
}
inline bool SetSplitWindow(HWND window, SplitProp prop, HWND value) noexcept {
    return SetSplitProp(window, prop, reinterpret_cast<ULONG_PTR>(value));
}
inline HWND GetSplitWindow(HWND window, SplitProp prop) noexcept {
    return reinterpret_cast<HWND>(GetSplitProp(window, prop));
}

// Whole values (a property holds a pointer-sized value).
bool SetPropValue(HWND window, const char* name, LONG_PTR value) noexcept;
LONG_PTR GetPropValue(HWND window, const char* name) noexcept;

// A rectangle kept as four whole signed 32-bit properties.
bool SetPropRect(HWND window, const char* const (&names)[4], const RECT& rect) noexcept;
RECT GetPropRect(HWND window, const char* const (&names)[4]) noexcept;

}  // namespace fx
