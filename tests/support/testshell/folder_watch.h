// Watches a directory for added, removed and renamed entries and posts a message
// to a window each time; Wine's shell view does not notice such changes itself.
#pragma once
#include <windows.h>
#include <string>

#include "fx/handles.h"

namespace testshell {

class FolderWatch {
public:
    FolderWatch() = default;
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;
    ~FolderWatch() { Stop(); }

    bool Start(const std::wstring& dir, HWND target, UINT message);
    void Stop() noexcept;

private:
    static DWORD WINAPI ThreadMain(void* self);

    fx::UniqueFile change_;  // FindFirstChangeNotification gives INVALID_HANDLE_VALUE on failure
    fx::UniqueHandleK stop_;
    fx::UniqueHandleK thread_;
    HWND target_ = nullptr;
    UINT message_ = 0;
};

}  // namespace testshell
