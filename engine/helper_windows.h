// The flyover frame and bubble windows that live on the desktop thread.
#pragma once
#include <windows.h>

namespace engine {

// Registers one of the engine's window classes in this process (already there is fine).
bool RegisterEngineClass(const char* name, WNDPROC proc, int extraBytes) noexcept;

// Registers both classes and creates whichever window does not exist yet.
void CreateHelperWindows(HWND desktopList) noexcept;
// Destroys both windows and unregisters their classes, so nothing of the engine's
// is left for the shell to call once the engine goes.
void DestroyHelperWindows() noexcept;

}  // namespace engine
