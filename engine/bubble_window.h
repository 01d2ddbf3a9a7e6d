// The help bubble: one shaped pop-up window of the desktop process that any process
// with the engine loaded can show beside an item, shaped, placed and painted by
// fxDisplayBubble.
#pragma once
#include <windows.h>

namespace engine {

// Started on the bubble window by the hover code; when it fires the bubble shows the
// pending text at the pending anchor.
inline constexpr UINT_PTR TIMER_BUBBLE = 1113;
inline constexpr UINT kBubbleDelayMs = 600;
// Minimum text width the timer asks for.
inline constexpr LONG kBubbleTimerMinWidth = 150;
// Window extra bytes of the bubble class; the first slot holds the list view the
// pending bubble belongs to (pointer-sized, so a whole handle fits on 64-bit).
inline constexpr int kBubbleExtraBytes = 32;

// Creates the hidden bubble window and keeps it in the shared area.
HWND CreateBubbleWindow() noexcept;

// The window the pending bubble belongs to, kept in the bubble's first slot.
void SetBubbleOwnerView(HWND bubble, HWND view) noexcept;
HWND BubbleOwnerView(HWND bubble) noexcept;

// Per process: the region this process last gave the bubble (the window owns it),
// and whether this process showed the bubble last.
extern HRGN g_bubbleRegion;
extern bool g_bubbleVisible;

}  // namespace engine

extern "C" {
// Shows (flags bit 0 set) or hides the bubble. The item rectangle is in screen
// coordinates; `window`, when not null, is the window that shows the item. Returns 1
// when a bubble was shown, else 0; callers need not look.
LONG WINAPI fxDisplayBubble(HWND window, LONG left, LONG top, LONG right, LONG bottom, const char* text,
                            LONG minWidth, LONG flags);
LRESULT CALLBACK fxBubbleWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
}
