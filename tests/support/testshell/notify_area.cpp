#include "notify_area.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "private_messages.h"

namespace testshell {
namespace {

constexpr wchar_t kNotifyClass[] = L"TrayNotifyWnd";
constexpr int kIcon = 16, kPitch = 20, kMargin = 4;

bool IsMouseMessage(UINT msg) {
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

}  // namespace

bool NotifyArea::Create(HWND parent) {
    if (!RegisterClassOnce(kNotifyClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1), nullptr)) return false;
    if (!Window::Create(0, kNotifyClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, nullptr))
        return false;
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    return true;
}

NotifyArea::Icon* NotifyArea::Find(HWND owner, UINT id) noexcept {
    for (auto& icon : icons_)
        if (icon.owner == owner && icon.id == id) return &icon;
    return nullptr;
}

BOOL NotifyArea::Apply(TrayRequest& r) {
    Icon* icon = Find(r.owner, r.id);
    switch (r.action) {
    case NIM_ADD:
        if (icon) return FALSE;
        icons_.emplace_back();
        icon = &icons_.back();
        icon->owner = r.owner;
        icon->id = r.id;
        break;
    case NIM_MODIFY:
        if (!icon) return FALSE;
        break;
    case NIM_DELETE:
        if (!icon) return FALSE;
        icons_.erase(icons_.begin() + (icon - icons_.data()));
        Changed();
        return TRUE;
    default:  // NIM_SETFOCUS, NIM_SETVERSION: nothing to show
        return icon ? TRUE : FALSE;
    }
    if (r.flags & NIF_MESSAGE) icon->callback = r.callback;
    if (r.flags & NIF_TIP) icon->tip = r.tip;
    if ((r.flags & NIF_ICON) && r.icon) icon->image = std::move(r.icon);
    if (r.flags & NIF_STATE) {
        DWORD hidden = r.stateMask & r.state & NIS_HIDDEN;
        if (r.stateMask & NIS_HIDDEN) icon->hidden = hidden != 0;
    }
    Changed();
    return TRUE;
}

bool NotifyArea::Prune() {
    auto gone = std::remove_if(icons_.begin(), icons_.end(), [](const Icon& i) { return !IsWindow(i.owner); });
    if (gone == icons_.end()) return false;
    icons_.erase(gone, icons_.end());
    Changed();
    return true;
}

std::vector<size_t> NotifyArea::Visible() const {
    std::vector<size_t> out;
    for (size_t i = 0; i < icons_.size(); ++i)
        if (!icons_[i].hidden) out.push_back(i);
    return out;
}

int NotifyArea::PreferredWidth() const noexcept {
    size_t n = 0;
    for (const auto& i : icons_) n += i.hidden ? 0 : 1;
    return 2 * kMargin + static_cast<int>(std::max<size_t>(n, 1)) * kPitch;
}

RECT NotifyArea::IconRect(size_t visibleIndex) const noexcept {
    RECT client{};
    GetClientRect(hwnd(), &client);
    int x = kMargin + static_cast<int>(visibleIndex) * kPitch + (kPitch - kIcon) / 2;
    int y = (client.bottom - kIcon) / 2;
    return RECT{x, y, x + kIcon, y + kIcon};
}

int NotifyArea::HitTest(POINT pt) const noexcept {
    auto visible = Visible();
    for (size_t v = 0; v < visible.size(); ++v) {
        RECT rc = IconRect(v);
        InflateRect(&rc, (kPitch - kIcon) / 2, 2);
        if (PtInRect(&rc, pt)) return static_cast<int>(visible[v]);
    }
    return -1;
}

void NotifyArea::Changed() {
    // The taskbar lays its children out again when our preferred width changes.
    SendMessageW(GetParent(hwnd()), kMsgTaskbarLayout, 0, 0);
    RebuildTips();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void NotifyArea::RebuildTips() {
    if (!tooltip_) return;
    for (size_t i = 0; i < tools_; ++i) {
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd();
        ti.uId = i;
        SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    auto visible = Visible();
    for (size_t v = 0; v < visible.size(); ++v) {
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = hwnd();
        ti.uId = v;
        ti.rect = IconRect(v);
        ti.lpszText = const_cast<wchar_t*>(icons_[visible[v]].tip.c_str());
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    tools_ = visible.size();
}

void NotifyArea::Fill(TaskbarSnapshot& out) const {
    out.notify = hwnd();
    auto visible = Visible();
    for (size_t v = 0; v < visible.size(); ++v) {
        const Icon& icon = icons_[visible[v]];
        TrayIconState s;
        s.owner = icon.owner;
        s.id = icon.id;
        s.callback = icon.callback;
        s.tip = icon.tip;
        s.screen = IconRect(v);
        MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&s.screen), 2);
        out.icons.push_back(std::move(s));
    }
}

void NotifyArea::Paint(HDC dc) const {
    RECT client;
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
    auto visible = Visible();
    for (size_t v = 0; v < visible.size(); ++v) {
        RECT rc = IconRect(v);
        if (HICON image = icons_[visible[v]].image.get())
            DrawIconEx(dc, rc.left, rc.top, image, kIcon, kIcon, 0, nullptr, DI_NORMAL);
    }
}

LRESULT NotifyArea::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (IsMouseMessage(msg)) {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        int hit = HitTest(pt);
        if (hit >= 0) {
            const Icon& icon = icons_[hit];
            if (!IsWindow(icon.owner)) {
                Prune();
            } else if (icon.callback) {
                // The owner usually opens a menu: let it take the foreground.
                DWORD pid = 0;
                GetWindowThreadProcessId(icon.owner, &pid);
                AllowSetForegroundWindow(pid);
                SendNotifyMessageW(icon.owner, icon.callback, icon.id, msg);
            }
        }
        return 0;
    }
    switch (msg) {
    case WM_PAINT: {
        fx::PaintScope paint(hwnd());
        Paint(paint.dc());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_SIZE:
        RebuildTips();
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace testshell
