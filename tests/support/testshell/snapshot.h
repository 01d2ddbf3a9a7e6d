// What the control window reports about the shell (written to the state file).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace testshell {

struct TrayIconState {
    HWND owner = nullptr;
    UINT id = 0;
    UINT callback = 0;
    std::wstring tip;
    RECT screen{};
};

struct TabState {
    HWND window = nullptr;
    std::wstring title;
    RECT screen{};
};

// Filled on the taskbar thread.
struct TaskbarSnapshot {
    HWND tray = nullptr;
    HWND startButton = nullptr;
    HWND taskSwitch = nullptr;
    HWND tabs = nullptr;
    HWND notify = nullptr;
    std::vector<TrayIconState> icons;
    std::vector<TabState> tabList;
    bool menuOpen = false;
    int menuItems = 0;
    int menuOpenings = 0;
    HWND menuWindow = nullptr;  // the "#32768" window while the menu is open
};

struct ListItemState {
    std::wstring text;
    RECT iconScreen{};
};

struct FolderWindowState {
    HWND window = nullptr;
    std::wstring title;
};

// Filled on the desktop thread.
struct DesktopSnapshot {
    HWND desktop = nullptr;
    HWND view = nullptr;
    HWND list = nullptr;
    HWND control = nullptr;
    bool realShellView = false;
    int iconSize = 32;
    int iconRebuilds = 0;
    std::vector<ListItemState> items;
    std::vector<FolderWindowState> folders;
};

// The state file text (UTF-8, one key=value per line; format documented in snapshot.cpp).
std::string FormatState(const DesktopSnapshot& desk, const TaskbarSnapshot& bar);

}  // namespace testshell
