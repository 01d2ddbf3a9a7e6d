// The message handler for windows outside the desktop thread: fed by the hook
// procedures and by the bubble window's FXBM_FORWARD.
#pragma once
#include <windows.h>

namespace engine {

void HandleShellMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp) noexcept;

}  // namespace engine
