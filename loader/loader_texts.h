// The loader's built-in texts: Chinese, code page 936. Each is also its own key in
// the strings file's "FXLOADER" section, so a translation replaces it.
#pragma once

namespace loader {

inline constexpr char kTextsSection[] = "FXLOADER";
// "显示自定义在:" tray tip before the user name
inline constexpr char kTipPrefix[] = "\xcf\xd4\xca\xbe\xd7\xd4\xb6\xa8\xd2\xe5\xd4\xda:";
// "显示桌面自定义" tray tip without a user name
inline constexpr char kTipNoUser[] = "\xcf\xd4\xca\xbe\xd7\xc0\xc3\xe6\xd7\xd4\xb6\xa8\xd2\xe5";
// "打开..."
inline constexpr char kMenuOpen[] = "\xb4\xf2\xbf\xaa...";
// "关于 Quorvel Desktop Customization..."
inline constexpr char kMenuAbout[] = "\xb9\xd8\xd3\xda Quorvel Desktop Customization...";
// "退出"
inline constexpr char kMenuExit[] = "\xcd\xcb\xb3\xf6";

}  // namespace loader
