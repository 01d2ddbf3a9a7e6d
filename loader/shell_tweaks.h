// Two shell tweaks that need a process of their own.
#pragma once

namespace loader {

// Adds or removes the shortcut-arrow overlay ("IsShortcut" of the shortcut and
// program-information classes), then refreshes the icons if anything changed.
void SetShortcutArrows(bool remove) noexcept;

// Makes the shell rebuild its icons by changing "Shell Icon Size" for a moment;
// the value is always put back.
void RefreshDesktopIcons() noexcept;

}  // namespace loader
