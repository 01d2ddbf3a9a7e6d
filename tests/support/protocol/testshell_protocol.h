// What the stand-in shell answers to tests, shared by testshell, fxprobe and the
// tray client. Everything here crosses process boundaries, so it is plain numbers.
#pragma once
#include <windows.h>

namespace testshell {

// Hidden top-level window on the desktop thread; its title is the state file path.
inline constexpr wchar_t kControlClass[] = L"FxTestShellCtl";

// Index in wParam of kCtlCurrentProc / kCtlOriginalProc.
enum ProcTarget : WPARAM { kProcDesktop = 0, kProcView = 1, kProcList = 2 };

// Control messages (sent to the control window).
inline constexpr UINT kCtlCurrentProc = WM_APP + 1;   // GWLP_WNDPROC read now (ANSI view)
inline constexpr UINT kCtlOriginalProc = WM_APP + 2;  // the one recorded at creation
inline constexpr UINT kCtlFreeEngine = WM_APP + 3;    // 0 not loaded, 1 gone, 2 still loaded
inline constexpr UINT kCtlEngineLoaded = WM_APP + 4;  // 1 when fxengine.dll is mapped
inline constexpr UINT kCtlPing = WM_APP + 5;          // 1; wParam 1 pings the taskbar thread
inline constexpr UINT kCtlWriteState = WM_APP + 10;   // 1 when the state file was written

// Shell_TrayWnd answers the same ping from its own thread.
inline constexpr UINT kTrayPing = WM_APP + 5;

inline constexpr char kEngineModule[] = "fxengine.dll";

}  // namespace testshell
