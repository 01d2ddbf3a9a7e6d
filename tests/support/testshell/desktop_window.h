// The desktop: a full-screen popup "Progman" window holding the desktop folder's
// shell view, kept at the bottom of the Z order.
#pragma once
#include <string>

#include "folder_watch.h"
#include "hosted_view.h"
#include "image_list.h"
#include "shell_browser.h"
#include "shell_util.h"
#include "snapshot.h"
#include "window.h"

namespace testshell {

class FolderWindows;

class DesktopWindow final : public Window, public ViewHost {
public:
    explicit DesktopWindow(FolderWindows& folders) noexcept : folders_(folders) {}

    // dir empty: the real desktop folder; otherwise a view of dir with desktop flags.
    HRESULT Create(const std::wstring& dir);

    // Window procedures as the desktop tree had them right after creation.
    LONG_PTR OriginalProc(WPARAM which) const noexcept { return which < 3 ? original_[which] : 0; }
    HWND Target(WPARAM which) const noexcept;
    void Fill(DesktopSnapshot& out) const;

    // ViewHost
    HWND HostWindow() const override { return hwnd(); }
    PCIDLIST_ABSOLUTE HostFolder() const override { return folder_.get(); }
    IShellView* ActiveView() const override { return view_.view(); }
    void OpenFolder(PCIDLIST_ABSOLUTE folder) override;

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnSettingChange();
    void ApplyIconSize(int size);

    FolderWindows& folders_;
    UniquePidl folder_;
    std::wstring watchedDir_;
    HostedView view_;
    FolderWatch watch_;
    HIMAGELIST systemIcons_ = nullptr;  // the view's own (shared) list
    UniqueImageList scaledIcons_;
    int iconSize_ = 32;
    int iconRebuilds_ = 0;
    LONG_PTR original_[3] = {};
};

// Reads "Shell Icon Size"; 0 when missing, empty or not a number.
int ReadShellIconSize();

}  // namespace testshell
