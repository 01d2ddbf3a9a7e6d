#include "desktop_animations.h"

// Until the ANI player lands, the desktop answers requests without animating.
namespace engine {

void StartDesktopAnimation(const char*, const char*) noexcept {}
void StopDesktopAnimation(const char*) noexcept {}
void StopAllDesktopAnimations() noexcept {}
bool AnyPlayerSlotInUse() noexcept { return false; }
void RequestStopAllPlayers() noexcept {}

}  // namespace engine
