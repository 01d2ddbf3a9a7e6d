#include "task_switch.h"

#include <commctrl.h>

#include <algorithm>

namespace testshell {
namespace {

constexpr wchar_t kTaskSwitchClass[] = L"MSTaskSwWClass";
constexpr int kTabMaxWidth = 160, kTabHeight = 22;

struct EnumContext {
    const std::vector<HWND>* ignored;
    std::vector<std::pair<HWND, std::wstring>> found;
};

BOOL CALLBACK CollectTask(HWND hwnd, LPARAM lp) {
    auto* ctx = reinterpret_cast<EnumContext*>(lp);
    if (!IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) return TRUE;
    if (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return TRUE;
    if (std::find(ctx->ignored->begin(), ctx->ignored->end(), hwnd) != ctx->ignored->end()) return TRUE;
    wchar_t title[256];
    if (GetWindowTextW(hwnd, title, 256) <= 0) return TRUE;
    ctx->found.emplace_back(hwnd, title);
    return TRUE;
}

}  // namespace

bool TaskSwitch::Create(HWND parent, const std::vector<HWND>& ignored) {
    ignored_ = ignored;
    if (!RegisterClassOnce(kTaskSwitchClass, 0, reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1), nullptr)) return false;
    if (!Window::Create(0, kTaskSwitchClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                        nullptr))
        return false;
    tabs_ = CreateWindowExW(0, WC_TABCONTROLW, nullptr,
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BUTTONS | TCS_FIXEDWIDTH |
                                TCS_FOCUSNEVER | TCS_SINGLELINE | TCS_FORCELABELLEFT,
                            0, 0, 0, 0, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tabs_) return false;
    SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    Update();
    return true;
}

std::vector<TaskSwitch::Task> TaskSwitch::CurrentTasks() const {
    EnumContext ctx{&ignored_, {}};
    EnumWindows(CollectTask, reinterpret_cast<LPARAM>(&ctx));
    // Oldest first, like buttons added as windows appear: EnumWindows gives Z order,
    // so keep the windows we already show in their place and append new ones.
    std::vector<Task> out;
    for (const auto& t : tasks_) {
        auto it = std::find_if(ctx.found.begin(), ctx.found.end(), [&](const auto& f) { return f.first == t.window; });
        if (it != ctx.found.end()) out.push_back({it->first, it->second});
    }
    for (auto it = ctx.found.rbegin(); it != ctx.found.rend(); ++it)
        if (std::none_of(out.begin(), out.end(), [&](const Task& t) { return t.window == it->first; }))
            out.push_back({it->first, it->second});
    return out;
}

void TaskSwitch::Update() {
    auto now = CurrentTasks();
    if (now != tasks_) {
        tasks_ = std::move(now);
        Rebuild();
    }
    // A click on the taskbar may activate it: the button to show pressed, and the
    // window a click toggles, stay those of the window that was active before.
    HWND foreground = GetForegroundWindow();
    if (foreground != GetParent(hwnd())) lastActive_ = foreground;
    int selected = -1;
    for (size_t i = 0; i < tasks_.size(); ++i)
        if (tasks_[i].window == lastActive_) selected = static_cast<int>(i);
    if (SendMessageW(tabs_, TCM_GETCURSEL, 0, 0) != selected) SendMessageW(tabs_, TCM_SETCURSEL, selected, 0);
}

void TaskSwitch::Rebuild() {
    SendMessageW(tabs_, TCM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < tasks_.size(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<wchar_t*>(tasks_[i].title.c_str());
        item.lParam = reinterpret_cast<LPARAM>(tasks_[i].window);
        SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    LayoutTabs();
}

void TaskSwitch::LayoutTabs() {
    RECT rc;
    GetClientRect(hwnd(), &rc);
    MoveWindow(tabs_, 0, 0, rc.right, rc.bottom, TRUE);
    int n = std::max<int>(1, static_cast<int>(tasks_.size()));
    int width = std::min(kTabMaxWidth, std::max(24, static_cast<int>(rc.right) / n - 4));
    SendMessageW(tabs_, TCM_SETITEMSIZE, 0, MAKELPARAM(width, kTabHeight));
}

void TaskSwitch::Fill(TaskbarSnapshot& out) const {
    out.taskSwitch = hwnd();
    out.tabs = tabs_;
    for (size_t i = 0; i < tasks_.size(); ++i) {
        TabState s;
        s.window = tasks_[i].window;
        s.title = tasks_[i].title;
        if (SendMessageW(tabs_, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&s.screen)))
            MapWindowPoints(tabs_, nullptr, reinterpret_cast<POINT*>(&s.screen), 2);
        out.tabList.push_back(std::move(s));
    }
}

void TaskSwitch::OnTabClick() {
    TCHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(tabs_, &hit.pt);
    int index = static_cast<int>(SendMessageW(tabs_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (index < 0 || index >= static_cast<int>(tasks_.size())) return;
    HWND target = tasks_[index].window;
    if (IsIconic(target)) {
        ShowWindow(target, SW_RESTORE);
        SetForegroundWindow(target);
    } else if (lastActive_ == target) {
        ShowWindow(target, SW_MINIMIZE);
    } else {
        SetForegroundWindow(target);
    }
    Update();
}

LRESULT TaskSwitch::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (tabs_) LayoutTabs();
        return 0;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (hdr->hwndFrom == tabs_ && hdr->code == NM_CLICK) OnTabClick();
        return 0;
    }
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace testshell
