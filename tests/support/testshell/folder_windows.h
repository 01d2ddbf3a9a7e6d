// The open folder windows of the desktop thread; at most one per folder.
#pragma once
#include <memory>
#include <vector>

#include "shell_util.h"
#include "snapshot.h"

namespace testshell {

class FolderWindow;

class FolderWindows {
public:
    FolderWindows();
    FolderWindows(const FolderWindows&) = delete;
    FolderWindows& operator=(const FolderWindows&) = delete;
    ~FolderWindows();

    // Brings the folder's window to the front, opening it when there is none.
    void Open(PCIDLIST_ABSOLUTE folder);
    // Called by a window from its last message.
    void Forget(FolderWindow* window) noexcept;
    void Fill(DesktopSnapshot& out) const;

private:
    std::vector<std::unique_ptr<FolderWindow>> windows_;
    int opened_ = 0;  // for cascading new windows
};

}  // namespace testshell
