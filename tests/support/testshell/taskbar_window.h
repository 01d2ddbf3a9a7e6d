// The taskbar ("Shell_TrayWnd") at the bottom of the screen, always on top: the
// Start button, the task switcher and the notification area. Lives on its own thread.
#pragma once
#include <memory>
#include <vector>

#include "notify_area.h"
#include "snapshot.h"
#include "start_menu.h"
#include "task_switch.h"
#include "window.h"

namespace testshell {

class TaskbarWindow final : public Window {
public:
    // windows the task switcher never lists (desktop, control window, ...)
    // desktop: the Progman window (kept under everything on screen too)
    bool Create(HWND desktop, const std::vector<HWND>& ignored);

    ~TaskbarWindow() override;
    HWND startButton() const noexcept { return start_; }

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Layout();
    void Paint(HDC dc) const;
    void Fill(TaskbarSnapshot& out) const;
    void EnsureFirstTaskbar() const;
    void KeepStackingOnScreen();
    void RaiseTopmost(HWND window) const;
    void RaiseWindowsAboveDesktop() const;

    HWND start_ = nullptr;
    fx::UniqueFont bold_;
    TaskSwitch tasks_;
    NotifyArea notify_;
    StartMenu menu_;
    UINT taskbarCreated_ = 0;
    HWND desktop_ = nullptr;
    HWND anchor_ = nullptr;  // hidden topmost window, see RaiseTopmost
    HWND lastForeground_ = nullptr;
    HWND lastFocus_ = nullptr;
    int restackPasses_ = 0;
    bool restackDesktop_ = false;
    int startupPasses_ = 10;  // windows made before the desktop go back above it
};

// Runs the taskbar on a new thread; returns its window once created (null on failure).
// The thread ends when the window is closed.
class TaskbarThread {
public:
    TaskbarThread() = default;
    TaskbarThread(const TaskbarThread&) = delete;
    TaskbarThread& operator=(const TaskbarThread&) = delete;
    ~TaskbarThread() { Stop(); }

    HWND Start(HWND desktop, const std::vector<HWND>& ignored);
    void Stop() noexcept;

private:
    static DWORD WINAPI Main(void* param);

    fx::UniqueHandleK thread_;
    fx::UniqueHandleK ready_;
    HWND desktop_ = nullptr;
    std::vector<HWND> ignored_;
    HWND tray_ = nullptr;
};

}  // namespace testshell
