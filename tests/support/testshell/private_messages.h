// Messages the stand-in shell sends to itself (never to other processes).
#pragma once
#include <windows.h>

namespace testshell {

// Host windows of shell views.
inline constexpr UINT kMsgFolderChanged = WM_APP + 100;  // the watched folder changed
inline constexpr UINT kMsgTranslateKey = WM_APP + 101;   // lParam MSG*: 1 when the view used it
inline constexpr UINT CWM_GETISHELLBROWSER = WM_USER + 7;  // asked by shell32's views

// Shell_TrayWnd.
inline constexpr UINT kMsgTaskbarSnapshot = WM_APP + 50;  // lParam TaskbarSnapshot*
inline constexpr UINT kMsgOpenStartMenu = WM_APP + 51;
inline constexpr UINT kMsgTaskbarLayout = WM_APP + 52;  // a child wants another size

}  // namespace testshell
