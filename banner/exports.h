// The banner's exported functions (ordinals in fxbanner.def).
#pragma once
#include <windows.h>

extern "C" {
BOOL WINAPI fxHookShellTrayWnd();
HHOOK WINAPI fxUnhookShellTrayWnd();
}
