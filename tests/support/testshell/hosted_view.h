// A folder's own shell view (SHELLDLL_DefView > SysListView32) inside a host window.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "shell_browser.h"

namespace testshell {

class HostedView {
public:
    HostedView() = default;
    HostedView(const HostedView&) = delete;
    HostedView& operator=(const HostedView&) = delete;
    ~HostedView() { Destroy(); }

    enum Kind {
        kFolderView,   // the view the folder makes itself (CreateViewObject)
        kShell32View,  // shell32's default view over the folder as given (SHCreateShellFolderView)
    };
    HRESULT Create(ViewHost& host, IShellFolder* folder, const FOLDERSETTINGS& settings, const RECT& rc,
                   Kind kind = kFolderView);
    void Destroy() noexcept;

    HWND window() const noexcept { return window_; }
    HWND list() const noexcept { return window_ ? FindWindowExW(window_, nullptr, WC_LISTVIEWW, nullptr) : nullptr; }
    IShellView* view() const noexcept { return view_.Get(); }
    ShellBrowser* browser() const noexcept { return browser_; }

    void Resize(const RECT& rc) const noexcept;
    void Refresh() const noexcept;
    // Keyboard shortcuts of the view (F2 rename, Delete, F5); true when one was used.
    bool TranslateAccelerator(MSG* msg) const noexcept;

private:
    Microsoft::WRL::ComPtr<IShellView> view_;
    ShellBrowser* browser_ = nullptr;  // one reference of ours
    HWND window_ = nullptr;
};

}  // namespace testshell
