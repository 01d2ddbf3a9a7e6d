// Per-process engine state. Only the module handle and the strings-file path are
// set in every process; the rest is meaningful in the desktop process only.
#pragma once
#include <windows.h>

extern HMODULE g_engineModule;
extern char g_stringsFilePath[MAX_PATH];

// Desktop process only, touched on the desktop thread only.
extern bool g_attachedHere;
extern WNDPROC g_viewPrevProc;
extern WNDPROC g_listPrevProc;
extern LONG g_flyoverStyle;
extern LONG g_launchStyle;
extern int iconSize;
extern char g_aniFile[264];
extern char g_itemName[260];
