#include "desktop_window.h"

#include <commctrl.h>
#include <wrl/client.h>

#include "desktop_folder.h"
#include "folder_windows.h"
#include "fx/names.h"
#include "fx/registry.h"
#include "fx/text.h"
#include "private_messages.h"

using Microsoft::WRL::ComPtr;

namespace testshell {
namespace {

constexpr char kProgmanClass[] = "Progman";
constexpr char kProgmanTitle[] = "Program Manager";
// Not 1111: that timer id belongs to the engine once it has replaced our procedure.
constexpr UINT_PTR kRefreshTimer = 2101;
constexpr UINT kRefreshDelayMs = 150;  // several changes in a row give one refresh

HRESULT BindFolder(const std::wstring& dir, ComPtr<IShellFolder>& folder, UniquePidl& pidl) {
    ComPtr<IShellFolder> desktop;
    HRESULT hr = SHGetDesktopFolder(&desktop);
    if (FAILED(hr)) return hr;
    if (dir.empty()) {
        ITEMIDLIST* root = nullptr;
        hr = SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &root);
        if (FAILED(hr)) return hr;
        pidl.reset(root);
        folder = desktop;
        return S_OK;
    }
    ITEMIDLIST* parsed = nullptr;
    hr = SHParseDisplayName(dir.c_str(), nullptr, &parsed, 0, nullptr);
    if (FAILED(hr)) return hr;
    pidl.reset(parsed);
    return desktop->BindToObject(pidl.get(), nullptr, IID_PPV_ARGS(&folder));
}

std::wstring DesktopDirectory() {
    wchar_t path[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) return path;
    return {};
}

}  // namespace

int ReadShellIconSize() {
    char text[fx::kRegTextSize];
    fx::ReadRegString(HKEY_CURRENT_USER, fx::kWindowMetricsKey, fx::kShellIconSize, text);
    return fx::LeadingNumber(text);
}

HRESULT DesktopWindow::Create(const std::wstring& dir) {
    if (!RegisterClassOnceA(kProgmanClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_DESKTOP + 1), nullptr))
        return HRESULT_FROM_WIN32(GetLastError());
    ComPtr<IShellFolder> folder;
    HRESULT hr = BindFolder(dir, folder, folder_);
    if (FAILED(hr)) return hr;

    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    if (!CreateA(WS_EX_TOOLWINDOW, kProgmanClass, kProgmanTitle,
                 WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, cx, cy, nullptr, nullptr))
        return HRESULT_FROM_WIN32(GetLastError());

    watchedDir_ = dir.empty() ? DesktopDirectory() : dir;
    if (dir.empty()) {
        // Wine's desktop folder cannot rename: let the view rename through the
        // desktop directory's own folder.
        ComPtr<IShellFolder> files;
        UniquePidl ignored;
        if (!watchedDir_.empty()) BindFolder(watchedDir_, files, ignored);
        ComPtr<IShellFolder> wrapped;
        wrapped.Attach(new DesktopFolder(folder.Get(), files.Get()));
        folder = wrapped;
    }

    FOLDERSETTINGS fs{FVM_ICON, FWF_DESKTOP | FWF_NOCLIENTEDGE | FWF_NOSCROLL | FWF_AUTOARRANGE};
    RECT rc{0, 0, cx, cy};
    hr = view_.Create(*this, folder.Get(), fs, rc, dir.empty() ? HostedView::kShell32View : HostedView::kFolderView);
    if (FAILED(hr)) return hr;

    // Wine's view paints labels on the desktop colour but leaves the list white.
    SendMessageW(view_.list(), LVM_SETBKCOLOR, 0, GetSysColor(COLOR_DESKTOP));

    HWND targets[3] = {hwnd(), view_.window(), view_.list()};
    for (int i = 0; i < 3; ++i) original_[i] = targets[i] ? GetWindowLongPtrA(targets[i], GWLP_WNDPROC) : 0;
    systemIcons_ = reinterpret_cast<HIMAGELIST>(SendMessageW(view_.list(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    if (systemIcons_) {
        int w = 32, h = 32;
        ImageList_GetIconSize(systemIcons_, &w, &h);
        iconSize_ = w;
    }
    if (int size = ReadShellIconSize(); size > 0 && size != iconSize_) {
        iconSize_ = size;
        ApplyIconSize(size);
    }

    if (!watchedDir_.empty()) watch_.Start(watchedDir_, hwnd(), kMsgFolderChanged);

    ShowWindow(hwnd(), SW_SHOWNA);
    SetWindowPos(hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return S_OK;
}

HWND DesktopWindow::Target(WPARAM which) const noexcept {
    switch (which) {
    case 0: return hwnd();
    case 1: return view_.window();
    case 2: return view_.list();
    default: return nullptr;
    }
}

void DesktopWindow::OpenFolder(PCIDLIST_ABSOLUTE folder) { folders_.Open(folder); }

void DesktopWindow::ApplyIconSize(int size) {
    HWND list = view_.list();
    if (!list || !systemIcons_) return;
    int w = 32, h = 32;
    ImageList_GetIconSize(systemIcons_, &w, &h);
    // Wine's system image list has one size; other sizes get a scaled copy with
    // the same indices, rebuilt at every change as the real shell rebuilds its cache.
    UniqueImageList next;
    if (size != w) next = ScaledCopy(systemIcons_, size);
    HIMAGELIST shown = next ? next.get() : systemIcons_;
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(shown));
    scaledIcons_ = std::move(next);
    view_.Refresh();
}

void DesktopWindow::OnSettingChange() {
    int size = ReadShellIconSize();
    if (size <= 0 || size == iconSize_) return;
    iconSize_ = size;
    ++iconRebuilds_;
    ApplyIconSize(size);
}

void DesktopWindow::Fill(DesktopSnapshot& out) const {
    out.desktop = hwnd();
    out.view = view_.window();
    out.list = view_.list();
    out.iconSize = iconSize_;
    out.iconRebuilds = iconRebuilds_;
    HWND list = out.list;
    int count = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        ListItemState state;
        state.text = text;
        RECT rc{};
        rc.left = LVIR_ICON;
        if (SendMessageW(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc))) {
            MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rc), 2);
            state.iconScreen = rc;
        }
        out.items.push_back(std::move(state));
    }
}

LRESULT DesktopWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        view_.Resize(RECT{0, 0, LOWORD(lp), HIWORD(lp)});
        return 0;
    case WM_WINDOWPOSCHANGING: {
        // The desktop stays behind every other window, as the real one does.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
        if (pos->hwndInsertAfter != HWND_BOTTOM) pos->flags |= SWP_NOZORDER;
        return 0;
    }
    case WM_WININICHANGE:
        OnSettingChange();
        return 0;
    case WM_CLOSE:
        return 0;  // the desktop is not closed by a message; the control window ends the program
    case kMsgFolderChanged:
        SetTimer(hwnd(), kRefreshTimer, kRefreshDelayMs, nullptr);
        return 0;
    case WM_TIMER:
        if (wp != kRefreshTimer) break;
        KillTimer(hwnd(), kRefreshTimer);
        if (scaledIcons_ && ImageList_GetImageCount(scaledIcons_.get()) < ImageList_GetImageCount(systemIcons_))
            ApplyIconSize(iconSize_);
        else
            view_.Refresh();
        return 0;
    case kMsgTranslateKey:
        return view_.TranslateAccelerator(reinterpret_cast<MSG*>(lp)) ? 1 : 0;
    case CWM_GETISHELLBROWSER:
        // shell32's context menus ask for the browser this way (Rename, for one); no AddRef.
        return reinterpret_cast<LRESULT>(static_cast<IShellBrowser*>(view_.browser()));
    case WM_DESTROY:
        watch_.Stop();
        if (scaledIcons_ && view_.list())
            SendMessageW(view_.list(), LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(systemIcons_));
        view_.Destroy();
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace testshell
