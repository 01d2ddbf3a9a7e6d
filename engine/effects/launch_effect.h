// The launch effect: an item's icon spun, flipped, squashed or slid up in place.
#pragma once
#include <windows.h>

#include "effect_geometry.h"

namespace engine {

// Plays launch style 1..4 with the icon's top-left corner at (x, y) of dc, over
// what dc shows there now, and returns when done: 16 steps, stepDelayMs apart
// ("Move Up" waits half as long). Any icon: colour or monochrome, any size; it
// stays the caller's. Returns 0 for a null dc or icon, else 1; other styles draw
// nothing.
int PlayLaunchEffect(HDC dc, int x, int y, HICON icon, int style,
                     DWORD stepDelayMs = kLaunchStepDelayMs) noexcept;

}  // namespace engine
