#include "folder_watch.h"

namespace testshell {

bool FolderWatch::Start(const std::wstring& dir, HWND target, UINT message) {
    Stop();
    change_.reset(FindFirstChangeNotificationW(
        dir.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES));
    if (!change_) return false;
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    target_ = target;
    message_ = message;
    thread_.reset(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    if (!thread_ || !stop_) {
        Stop();
        return false;
    }
    return true;
}

void FolderWatch::Stop() noexcept {
    if (thread_) {
        SetEvent(stop_.get());
        WaitForSingleObject(thread_.get(), INFINITE);
    }
    thread_.reset();
    stop_.reset();
    change_.reset();  // FindCloseChangeNotification is CloseHandle for these handles
}

DWORD WINAPI FolderWatch::ThreadMain(void* param) {
    auto* self = static_cast<FolderWatch*>(param);
    HANDLE waits[2] = {self->stop_.get(), self->change_.get()};
    for (;;) {
        DWORD r = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (r != WAIT_OBJECT_0 + 1) return 0;
        PostMessageW(self->target_, self->message_, 0, 0);
        if (!FindNextChangeNotification(self->change_.get())) return 0;
    }
}

}  // namespace testshell
