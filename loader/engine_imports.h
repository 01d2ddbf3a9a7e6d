// What the loader takes from the engine and the banner (bound by ordinal).
#pragma once
#include <windows.h>

extern "C" {
BOOL WINAPI fxHookProgMan();
HHOOK WINAPI fxUnhookProgMan();
BOOL WINAPI fxStartStopAniOnDesktop(LONG start, const char* aniFile, const char* itemName);
BOOL WINAPI fxHookShellTrayWnd();
HHOOK WINAPI fxUnhookShellTrayWnd();
}
