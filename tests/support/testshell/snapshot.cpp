// State file format (UTF-8, one "key=value" per line, written on WM_APP+10):
//
//   desktop=0x...  view=0x...  list=0x...  control=0x...
//   tray=0x...  start_button=0x...  task_switch=0x...  tabs=0x...  notify=0x...
//   icon_size=32            the "Shell Icon Size" the desktop shows now
//   icon_rebuilds=N         how often a changed size made the desktop rebuild its icons
//   start_menu_open=0|1     start_menu_items=N   start_menu_openings=N
//   start_menu_window=0x... (0x0 while closed)
//   tray_icon=OWNER<TAB>UID<TAB>CALLBACK<TAB>L,T,R,B<TAB>TIP     one line per visible icon
//   tab=HWND<TAB>L,T,R,B<TAB>TITLE                              one line per taskbar tab
//   item=L,T,R,B<TAB>TEXT          desktop list view items, icon rectangle on screen
//   folder=HWND<TAB>TITLE          open folder windows
//
// Handles and messages are hexadecimal with 0x, other numbers decimal, rectangles in
// screen coordinates. Texts come last on their line; tabs and line breaks in them
// become spaces.
#include "snapshot.h"

#include <cstdio>

#include "shell_util.h"

namespace testshell {
namespace {

std::string Hex(const void* p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
    return buf;
}

std::string Hex(unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", value);
    return buf;
}

std::string Rect(const RECT& rc) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%ld,%ld,%ld,%ld", rc.left, rc.top, rc.right, rc.bottom);
    return buf;
}

std::string Text(const std::wstring& text) {
    std::wstring clean = text;
    for (auto& c : clean)
        if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
    return ToUtf8(clean);
}

}  // namespace

std::string FormatState(const DesktopSnapshot& desk, const TaskbarSnapshot& bar) {
    std::string out;
    auto line = [&](const char* key, const std::string& value) {
        out += key;
        out += '=';
        out += value;
        out += '\n';
    };
    line("desktop", Hex(desk.desktop));
    line("view", Hex(desk.view));
    line("list", Hex(desk.list));
    line("control", Hex(desk.control));
    line("tray", Hex(bar.tray));
    line("start_button", Hex(bar.startButton));
    line("task_switch", Hex(bar.taskSwitch));
    line("tabs", Hex(bar.tabs));
    line("notify", Hex(bar.notify));
    line("icon_size", std::to_string(desk.iconSize));
    line("icon_rebuilds", std::to_string(desk.iconRebuilds));
    line("start_menu_open", bar.menuOpen ? "1" : "0");
    line("start_menu_items", std::to_string(bar.menuItems));
    line("start_menu_openings", std::to_string(bar.menuOpenings));
    line("start_menu_window", Hex(bar.menuWindow));
    for (const auto& i : bar.icons)
        line("tray_icon", Hex(i.owner) + '\t' + std::to_string(i.id) + '\t' + Hex(i.callback) + '\t' +
                              Rect(i.screen) + '\t' + Text(i.tip));
    for (const auto& t : bar.tabList) line("tab", Hex(t.window) + '\t' + Rect(t.screen) + '\t' + Text(t.title));
    for (const auto& i : desk.items) line("item", Rect(i.iconScreen) + '\t' + Text(i.text));
    for (const auto& f : desk.folders) line("folder", Hex(f.window) + '\t' + Text(f.title));
    return out;
}

}  // namespace testshell
