// The banner's exported functions (ordinals in fxbanner.def).
#pragma once
#include <windows.h>

extern "C" {
// Hooks the taskbar's thread: 1 when the hook is in place, 0 otherwise.
BOOL WINAPI fxHookShellTrayWnd();
// Stops the banner in the shell and removes the hook: the hook handle, or 0 when
// none was stored.
HHOOK WINAPI fxUnhookShellTrayWnd();
}
