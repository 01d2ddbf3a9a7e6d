// Desktop icon animations: which desktop items animate, and keeping each animation
// on its item. Desktop thread only. The Animations registry key is the lasting
// record; the table here lives as long as the desktop process.
#pragma once
#include <windows.h>

namespace engine {

// Starts the animation of the desktop item with that label (an item that already
// animates gets the new file instead). 1 when it plays; 0 when the item is not on the
// desktop, 50 items already animate, or the file does not play.
int StartDesktopAnimation(const char* label, const char* aniFile) noexcept;
// Stops the item's animation and gives it its icon back. Always 1.
int StopDesktopAnimation(const char* label) noexcept;
// Stops every animation and gives the icons back; the registry is left as it is, so
// the loader starts them again next time.
void StopAllDesktopAnimations() noexcept;

// On every WM_PAINT of the desktop list view, before it paints: follows moved items,
// has the players capture freshly painted backgrounds, and drops the animations of
// items that are gone (with their registry values).
void TrackDesktopAnimations(HWND list) noexcept;
// On WM_NOTIFY to the desktop view: the end of an in-place rename moves the item's
// Animations value to its new label.
void OnDesktopAnimationNotify(HWND view, LPARAM notify) noexcept;

// Where an animation square of `side` pixels goes for an item with that icon
// rectangle (LVIR_ICON, list view client coordinates): where the list view draws
// the item's own icon.
POINT AnimationOrigin(const RECT& iconRect, int side) noexcept;

// Player threads of this process that have not yet given back their frames.
bool AnyPlayerSlotInUse() noexcept;
// Asks every player thread of this process to end (process detach).
void RequestStopAllPlayers() noexcept;

}  // namespace engine
