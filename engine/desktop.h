// The engine's side of the desktop thread: attaching to the desktop window and
// its two views, the desktop commands, and leaving again.
#pragma once
#include <windows.h>

namespace engine {

// Runs on the desktop thread when the wake-up message arrives: creates the frame
// and bubble windows, replaces the desktop window's procedure and asks for the
// views to be subclassed.
void AttachToDesktop(HWND desktop) noexcept;

// True while the engine's procedures are in the desktop's windows.
bool IsAttached() noexcept;

}  // namespace engine
