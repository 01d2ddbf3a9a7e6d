#include "folder_windows.h"

#include <algorithm>

#include "folder_window.h"

namespace testshell {

FolderWindows::FolderWindows() = default;
FolderWindows::~FolderWindows() = default;

void FolderWindows::Open(PCIDLIST_ABSOLUTE folder) {
    for (auto& w : windows_) {
        if (w->Shows(folder)) {
            if (IsIconic(w->hwnd())) ShowWindow(w->hwnd(), SW_RESTORE);
            SetForegroundWindow(w->hwnd());
            return;
        }
    }
    auto window = std::make_unique<FolderWindow>(*this, folder);
    int step = (opened_++ % 8) * 24;
    FolderWindow* raw = window.get();
    windows_.push_back(std::move(window));
    if (FAILED(raw->Create(80 + step, 60 + step))) Forget(raw);
}

void FolderWindows::Forget(FolderWindow* window) noexcept {
    auto it = std::find_if(windows_.begin(), windows_.end(), [&](const auto& w) { return w.get() == window; });
    if (it != windows_.end()) windows_.erase(it);
}

void FolderWindows::Fill(DesktopSnapshot& out) const {
    for (const auto& w : windows_)
        if (w->hwnd()) out.folders.push_back({w->hwnd(), w->title()});
}

}  // namespace testshell
