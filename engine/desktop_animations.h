// Desktop icon animations, as the desktop window's commands see them.
#pragma once

namespace engine {

// Starts (replacing a running one) or stops the animation of the desktop item
// with that label. Labels that match no item are ignored.
void StartDesktopAnimation(const char* label, const char* aniFile) noexcept;
void StopDesktopAnimation(const char* label) noexcept;
void StopAllDesktopAnimations() noexcept;

// Player threads of this process that have not yet given back their frames.
bool AnyPlayerSlotInUse() noexcept;
// Asks every player thread of this process to end (process detach).
void RequestStopAllPlayers() noexcept;

}  // namespace engine
