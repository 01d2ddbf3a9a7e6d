// State shared by every process that maps the banner: the loader writes the taskbar
// window and hook, the copy in the shell reads them.
#pragma once
#include <windows.h>

struct BannerShared {
    HWND taskbarWindow;
    HHOOK hook;
    HWND menuWindow;
    UINT_PTR timerId;
    LONG position;
    LONG movementMode;
    UINT timerPeriod;
    LONG bannerSwitch;
};

extern BannerShared g_banner;
