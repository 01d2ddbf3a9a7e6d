// What each process that maps the banner keeps for itself.
#pragma once
#include <windows.h>

#include "fx/handles.h"

namespace banner {

enum PressState : int {
    kIdle = 0,
    kStartPressed = 1,  // the Start button's command was seen
    kArmed = 2,         // the menu has begun drawing; the next tall item starts the banner
};

struct ProcessState {
    HMODULE module = nullptr;
    char moduleDirectory[MAX_PATH] = "";
    fx::UniqueBitmap bitmap;  // the banner for the current opening
    char bannerName[260] = "";
    int pressState = kIdle;
    unsigned random = 1;
    bool holdsModule = false;  // our own reference while a timer of ours can fire
};

extern ProcessState g_process;

// The WH_CALLWNDPROC hook on the taskbar's thread.
LRESULT CALLBACK CallWndProc(int code, WPARAM wp, LPARAM lp);

// Ends whatever the banner has going in this process: timer, bitmap, press state.
void StopBanner() noexcept;

UINT StopMessage() noexcept;

}  // namespace banner
