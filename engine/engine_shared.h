// The engine's cross-process data area: one copy for every process that maps the
// engine (a shared data section). Plain data only; window and hook handles are
// global values, procedures are only meaningful in the desktop process.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

struct EngineRect {
    int32_t left, top, right, bottom;
};

struct EngineShared {
    HWND g_desktopWindow;
    WNDPROC g_desktopPrevProc;
    HHOOK g_desktopMessageHook;
    char g_requestAniFile[264];
    char g_requestItemName[260];
    LONG g_requestPending;
    HHOOK g_helperHooks[4];
    LONG g_bubbleArmed;
    HWND g_frameWindow;
    HWND g_bubbleWindow;
    LONG g_bubbleStyle;
    LONG g_minMaxStyle;
    LONG g_hotItem;
    char g_bubbleText[264];
    char g_defaultHelpText[264];
    EngineRect g_bubbleAnchor;
    EngineRect g_tabRect;
};

// The layout is read by every copy of the engine of one architecture at once;
// pin it so a change is a deliberate one.
#if defined(_WIN64)
static_assert(offsetof(EngineShared, g_desktopWindow) == 0);
static_assert(offsetof(EngineShared, g_desktopPrevProc) == 8);
static_assert(offsetof(EngineShared, g_desktopMessageHook) == 16);
static_assert(offsetof(EngineShared, g_requestAniFile) == 24);
static_assert(offsetof(EngineShared, g_requestItemName) == 288);
static_assert(offsetof(EngineShared, g_requestPending) == 548);
static_assert(offsetof(EngineShared, g_helperHooks) == 552);
static_assert(offsetof(EngineShared, g_bubbleArmed) == 584);
static_assert(offsetof(EngineShared, g_frameWindow) == 592);
static_assert(offsetof(EngineShared, g_bubbleWindow) == 600);
static_assert(offsetof(EngineShared, g_bubbleStyle) == 608);
static_assert(offsetof(EngineShared, g_minMaxStyle) == 612);
static_assert(offsetof(EngineShared, g_hotItem) == 616);
static_assert(offsetof(EngineShared, g_bubbleText) == 620);
static_assert(offsetof(EngineShared, g_defaultHelpText) == 884);
static_assert(offsetof(EngineShared, g_bubbleAnchor) == 1148);
static_assert(offsetof(EngineShared, g_tabRect) == 1164);
static_assert(sizeof(EngineShared) == 1184);
#else
static_assert(offsetof(EngineShared, g_desktopWindow) == 0);
static_assert(offsetof(EngineShared, g_desktopPrevProc) == 4);
static_assert(offsetof(EngineShared, g_desktopMessageHook) == 8);
static_assert(offsetof(EngineShared, g_requestAniFile) == 12);
static_assert(offsetof(EngineShared, g_requestItemName) == 276);
static_assert(offsetof(EngineShared, g_requestPending) == 536);
static_assert(offsetof(EngineShared, g_helperHooks) == 540);
static_assert(offsetof(EngineShared, g_bubbleArmed) == 556);
static_assert(offsetof(EngineShared, g_frameWindow) == 560);
static_assert(offsetof(EngineShared, g_bubbleWindow) == 564);
static_assert(offsetof(EngineShared, g_bubbleStyle) == 568);
static_assert(offsetof(EngineShared, g_minMaxStyle) == 572);
static_assert(offsetof(EngineShared, g_hotItem) == 576);
static_assert(offsetof(EngineShared, g_bubbleText) == 580);
static_assert(offsetof(EngineShared, g_defaultHelpText) == 844);
static_assert(offsetof(EngineShared, g_bubbleAnchor) == 1108);
static_assert(offsetof(EngineShared, g_tabRect) == 1124);
static_assert(sizeof(EngineShared) == 1140);
#endif

extern EngineShared g_shared;
