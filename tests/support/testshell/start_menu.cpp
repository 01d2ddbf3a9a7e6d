#include "start_menu.h"

#include <shellapi.h>

#include <iterator>

namespace testshell {
namespace {

// Marks our owner-drawn items (itemData), so other menus' items are left alone.
constexpr ULONG_PTR kItemTag = 0x5354'0000;

enum Command : UINT { kNone = 0, kNotepad = 100, kControlPanel, kHelp, kRun, kShutDown };

struct Entry {
    const wchar_t* text;
    int shellIcon;  // resource id in shell32.dll, 0 for a separator
    int submenu;    // index into kSubmenus, -1 for none
    UINT command;
};

// Win95's Start menu, top to bottom.
constexpr Entry kEntries[] = {
    {L"&Programs", 20, 0, kNone},     {L"&Documents", 21, 1, kNone}, {L"&Settings", 22, 2, kNone},
    {L"&Find", 23, 3, kNone},         {L"&Help", 24, -1, kHelp},     {L"&Run...", 25, -1, kRun},
    {nullptr, 0, -1, kNone},          {L"Sh&ut Down...", 28, -1, kShutDown},
};

struct SubEntry {
    int submenu;
    const wchar_t* text;
    UINT command;
    bool enabled;
};

constexpr SubEntry kSubEntries[] = {
    {0, L"Notepad", kNotepad, true},
    {1, L"(Empty)", kNone, false},
    {2, L"&Control Panel", kControlPanel, true},
    {3, L"&Files or Folders...", kNone, false},
};

HMENU BuildSubmenu(int index) {
    HMENU sub = CreatePopupMenu();
    for (const auto& e : kSubEntries)
        if (e.submenu == index) AppendMenuW(sub, MF_STRING | (e.enabled ? 0 : MF_GRAYED), e.command, e.text);
    return sub;
}

HFONT CreateMenuFont() {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return nullptr;
    return CreateFontIndirectW(&ncm.lfMenuFont);
}

}  // namespace

StartMenu::StartMenu() : menu_(CreatePopupMenu()), font_(CreateMenuFont()) {
    wchar_t shell32[MAX_PATH];
    GetSystemDirectoryW(shell32, MAX_PATH);
    wcscat(shell32, L"\\shell32.dll");
    for (size_t i = 0; i < std::size(kEntries); ++i) {
        const Entry& e = kEntries[i];
        UINT flags = MF_OWNERDRAW | (e.text ? 0 : MF_SEPARATOR) | (e.submenu >= 0 ? MF_POPUP : 0);
        UINT_PTR id = e.submenu >= 0 ? reinterpret_cast<UINT_PTR>(BuildSubmenu(e.submenu)) : e.command;
        // With MF_OWNERDRAW the last argument is the item data, not a text.
        AppendMenuW(menu_.get(), flags, id, reinterpret_cast<LPCWSTR>(kItemTag | i));
        if (e.shellIcon) {
            HICON large = nullptr;
            if (ExtractIconExW(shell32, -e.shellIcon, &large, nullptr, 1) == 1 && large)
                icons_[i].reset(large);
        }
    }
}

void StartMenu::Track(HWND owner, const RECT& anchor) {
    open_ = true;
    ++openings_;
    window_ = nullptr;
    SetForegroundWindow(owner);  // so that a click elsewhere or Escape closes the menu
    UINT command = TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD,
                                  anchor.left, anchor.top, 0, owner, nullptr);
    open_ = false;
    window_ = nullptr;
    PostMessageW(owner, WM_NULL, 0, 0);
    Run(command);
}

void StartMenu::Run(UINT command) const {
    switch (command) {
    case kNotepad: ShellExecuteW(nullptr, L"open", L"notepad.exe", nullptr, nullptr, SW_SHOWNORMAL); break;
    case kControlPanel: ShellExecuteW(nullptr, L"open", L"control.exe", nullptr, nullptr, SW_SHOWNORMAL); break;
    default: break;  // Help, Run and Shut Down do nothing in a test shell
    }
}

bool StartMenu::Measure(MEASUREITEMSTRUCT& mis) const {
    if (mis.CtlType != ODT_MENU || (mis.itemData & 0xFFFF'0000) != kItemTag) return false;
    size_t i = mis.itemData & 0xFFFF;
    if (i >= std::size(kEntries)) return false;
    const Entry& e = kEntries[i];
    if (!e.text) {
        mis.itemWidth = kSideStripWidth + 8;
        mis.itemHeight = 8;
        return true;
    }
    int textWidth = 80;
    if (HDC dc = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
        RECT rc{};
        DrawTextW(dc, e.text, -1, &rc, DT_SINGLELINE | DT_CALCRECT);
        textWidth = rc.right;
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    mis.itemWidth = kSideStripWidth + 4 + 32 + 10 + textWidth + 24;
    mis.itemHeight = kStartItemHeight;
    return true;
}

bool StartMenu::Draw(const DRAWITEMSTRUCT& dis) const {
    if (dis.CtlType != ODT_MENU || (dis.itemData & 0xFFFF'0000) != kItemTag) return false;
    size_t i = dis.itemData & 0xFFFF;
    if (i >= std::size(kEntries)) return false;
    const Entry& e = kEntries[i];
    HDC dc = dis.hDC;
    // Everything left of this line belongs to the side strip: never painted here.
    RECT rc = dis.rcItem;
    rc.left += kSideStripWidth;
    if (!e.text) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_MENU));
        RECT line{rc.left + 2, (rc.top + rc.bottom) / 2 - 1, rc.right - 2, (rc.top + rc.bottom) / 2 + 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return true;
    }
    bool selected = (dis.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    int h = rc.bottom - rc.top;
    if (HICON icon = icons_[i].get()) DrawIconEx(dc, rc.left + 4, rc.top + (h - 32) / 2, icon, 32, 32, 0, nullptr, DI_NORMAL);
    RECT text = rc;
    text.left += 4 + 32 + 10;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    HGDIOBJ oldFont = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc, e.text, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    return true;
}

void StartMenu::Fill(TaskbarSnapshot& out) const {
    out.menuOpen = open_;
    out.menuItems = GetMenuItemCount(menu_.get());
    out.menuOpenings = openings_;
    out.menuWindow = window_;
}

}  // namespace testshell
