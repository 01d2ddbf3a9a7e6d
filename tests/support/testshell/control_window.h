// The test-control window ("FxTestShellCtl"): hidden, on the desktop thread, and not
// the desktop window itself, whose procedure the engine replaces. Its title is the
// state file path, so a probe can find both.
#pragma once
#include <string>

#include "window.h"

namespace testshell {

class DesktopWindow;
class FolderWindows;

class ControlWindow final : public Window {
public:
    ControlWindow(DesktopWindow& desktop, FolderWindows& folders, HWND tray, std::wstring statePath)
        : desktop_(desktop), folders_(folders), tray_(tray), statePath_(std::move(statePath)) {}

    bool Create();

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool WriteState() const;

    DesktopWindow& desktop_;
    FolderWindows& folders_;
    HWND tray_;
    std::wstring statePath_;
};

}  // namespace testshell
