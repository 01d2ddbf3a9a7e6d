// Names, numbers and defaults that several deliverables agree on.
#pragma once
#include <windows.h>

namespace fx {

// Registry.
inline constexpr char kSettingsKey[] = "Software\\Brantix\\Quorvel Desktop Enhancements";
inline constexpr char kAnimationsKey[] = "Software\\Brantix\\Quorvel Desktop Enhancements\\Animations";
inline constexpr char kUninstallKey[] = "Software\\Brantix\\Quorvel Desktop Enhancements\\1.0";
inline constexpr char kWindowMetricsKey[] = "Control Panel\\desktop\\WindowMetrics";
inline constexpr char kShellIconSize[] = "Shell Icon Size";

// Setting value names with their defaults.
struct DwordSetting { const char* name; LONG fallback; };
inline constexpr DwordSetting kHelpClouds{"Help Clouds", 1};
inline constexpr DwordSetting kFlyover{"Flyover", 1};
inline constexpr DwordSetting kMinMax{"MinMax", 4};
inline constexpr DwordSetting kLaunchFX{"LaunchFX", 1};
inline constexpr DwordSetting kShortcut{"Shortcut", 1};
inline constexpr DwordSetting kInTray{"InTray", 1};
inline constexpr DwordSetting kIconAnimation{"Icon Animation", 1};
inline constexpr DwordSetting kShowBannerTab{"ShowBannerTab", 1};
inline constexpr DwordSetting kBannerSwitch{"BannerSwitch", 1};
inline constexpr DwordSetting kMoveBanner{"MoveBanner", 1};
inline constexpr DwordSetting kBannerSpeed{"BannerSpeed", 2};
inline constexpr char kLaunchAni[] = "Launch ANI";
inline constexpr char kBanner[] = "Banner";

// Strings file, beside the modules.
inline constexpr char kStringsFileName[] = "kvlstring.eng";

// Window classes.
inline constexpr char kDesktopClass[] = "PROGMAN";
inline constexpr char kDesktopViewClass[] = "SHELLDLL_DefView";
inline constexpr char kListViewClass[] = "SysListView32";
inline constexpr char kLoaderClass[] = "FxLoader_Brantix1";
inline constexpr char kHelperClass[] = "FxHelperWClass";
inline constexpr char kTaskbarClass[] = "Shell_TrayWnd";
inline constexpr char kFrameClass[] = "FXClass110";
inline constexpr char kBubbleClass[] = "FXClass109";

// Commands to the desktop window (the whole wParam is compared).
inline constexpr WPARAM FXCMD_UNHOOK = 4446;
inline constexpr WPARAM FXCMD_ANI_START = 4447;
inline constexpr WPARAM FXCMD_ANI_STOP = 4448;
inline constexpr WPARAM FXCMD_SUBCLASS = 4450;
inline constexpr WPARAM FXCMD_RELOAD = 4451;
inline constexpr UINT_PTR TIMER_UNHOOK = 1111;

// Messages to the loader window.
inline constexpr UINT FXLM_SHORTCUT_ARROWS = 1113;
inline constexpr UINT FXLM_TRAY_ICON = 1114;
inline constexpr UINT FXLM_ANI_STATE = 1115;
inline constexpr UINT FXLM_TRAY_NOTIFY = 1124;

// Messages to the bubble window.
inline constexpr UINT FXBM_TAB_RECT = 9912;
inline constexpr UINT FXBM_FORWARD = 9913;

// The Start button's command to the taskbar window.
inline constexpr WORD kStartButtonCommand = 304;

}  // namespace fx
