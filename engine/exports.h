// The engine's exported functions (ordinals in fxengine.def).
#pragma once
#include <windows.h>

extern "C" {
BOOL WINAPI fxHookProgMan();
HHOOK WINAPI fxUnhookProgMan();
BOOL WINAPI fxStartStopAniOnDesktop(LONG start, const char* aniFile, const char* itemName);
LRESULT CALLBACK GetMsgProc(int code, WPARAM wp, LPARAM lp);
}
