// When a window's frame recalculation is a minimize or a restore, and what the
// rectangles of the bubble window's mailbox mean: plain decisions, testable
// without windows.
#pragma once
#include <windows.h>

namespace engine {

enum class MinMaxChange { kNone, kMinimize, kRestore };

// seenIconic: what this window was when last seen (1 minimized, 0 not, -1 never
// seen). Unseen windows are judged by their rectangle before the change: where
// the system parks minimized windows (-32000, -32000), or the size of a
// minimized window.
MinMaxChange DetectMinMaxChange(int seenIconic, bool iconicNow, const RECT& before, SIZE minimizedSize) noexcept;

// Mailbox rectangles: a left of 3000 to 3999 stands for the taskbar's current
// tab; a left or top of 4000 or more counts as 0.
inline constexpr LONG kTabMarker = 3000;
inline constexpr LONG kTabMarkerEnd = 4000;
inline bool MeansTaskbarTab(const RECT& r) noexcept { return r.left >= kTabMarker && r.left < kTabMarkerEnd; }
inline RECT ClampMailboxRect(RECT r) noexcept {
    if (r.left >= kTabMarkerEnd) r.left = 0;
    if (r.top >= kTabMarkerEnd) r.top = 0;
    return r;
}

}  // namespace engine
