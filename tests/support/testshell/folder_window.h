// A folder window ("CabinetWClass") titled with the folder's full path and holding
// the folder's own shell view.
#pragma once
#include <string>

#include "folder_watch.h"
#include "hosted_view.h"
#include "shell_browser.h"
#include "shell_util.h"
#include "window.h"

namespace testshell {

class FolderWindows;

class FolderWindow final : public Window, public ViewHost {
public:
    FolderWindow(FolderWindows& owner, PCIDLIST_ABSOLUTE folder);

    HRESULT Create(int x, int y);
    bool Shows(PCIDLIST_ABSOLUTE folder) const noexcept { return ILIsEqual(folder_.get(), folder) != FALSE; }
    const std::wstring& title() const noexcept { return title_; }

    // ViewHost
    HWND HostWindow() const override { return hwnd(); }
    PCIDLIST_ABSOLUTE HostFolder() const override { return folder_.get(); }
    IShellView* ActiveView() const override { return view_.view(); }
    void OpenFolder(PCIDLIST_ABSOLUTE folder) override;

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalMessage() override;

    FolderWindows& owner_;
    UniquePidl folder_;
    std::wstring title_;
    HostedView view_;
    FolderWatch watch_;
};

}  // namespace testshell
