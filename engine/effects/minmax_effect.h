// The minimize/restore effect: outlines between a window and its taskbar tab,
// drawn on the screen.
#pragma once
#include <windows.h>

#include "effect_geometry.h"

namespace engine {

// Plays style 2 (rectangles), 3 (ellipses) or 4 (rotating outline) from `from`
// to `to` (screen coordinates) and returns when done. Every pixel the outlines
// touch is given back as it was. window is the window being minimized or
// restored; it does not change the drawing. Other styles draw nothing.
void PlayMinMaxEffect(HWND window, const RECT& from, const RECT& to, int style) noexcept;

// The same with other step delays (tests and benchmarks).
void PlayMinMaxEffect(HWND window, const RECT& from, const RECT& to, int style, DWORD zoomDelayMs,
                      DWORD rotateDelayMs) noexcept;

}  // namespace engine
