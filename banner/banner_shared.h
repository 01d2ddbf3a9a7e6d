// State shared by every process that maps the banner: the loader writes the taskbar
// window and hook, the copy in the shell reads them and keeps the rest.
#pragma once
#include <windows.h>

struct BannerShared {
    HWND taskbarWindow;
    HHOOK hook;
    HWND menuWindow;      // the Start menu window painted into
    UINT_PTR timerId;     // 0 when no movement timer runs
    LONG position;        // banner::kFirstFrame before the first frame of an opening
    LONG movementMode;    // 0 still, 1 horizontal, 2 vertical (3 resolved when read)
    UINT timerPeriod;     // milliseconds
    LONG bannerSwitch;    // last "BannerSwitch" read; 0 = off
};

extern BannerShared g_banner;

// Registered message that the loader sends to the taskbar window before it unhooks:
// the shell's copy stops its timer and frees its bitmap while it is still mapped.
inline constexpr char kBannerStopMessage[] = "FxBanner.Stop";
