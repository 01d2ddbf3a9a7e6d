// The task switcher ("MSTaskSwWClass"): a button-style tab control with one tab per
// visible, unowned, titled top-level window, kept current on a timer.
#pragma once
#include <string>
#include <vector>

#include "snapshot.h"
#include "window.h"

namespace testshell {

class TaskSwitch final : public Window {
public:
    bool Create(HWND parent, const std::vector<HWND>& ignored);
    HWND tabs() const noexcept { return tabs_; }
    void Update();
    void Fill(TaskbarSnapshot& out) const;

private:
    struct Task {
        HWND window;
        std::wstring title;
        bool operator==(const Task& o) const { return window == o.window && title == o.title; }
    };

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    std::vector<Task> CurrentTasks() const;
    void Rebuild();
    void OnTabClick();
    void LayoutTabs();

    HWND tabs_ = nullptr;
    std::vector<HWND> ignored_;
    std::vector<Task> tasks_;
    HWND lastActive_ = nullptr;  // the last listed window that was in the foreground
};

}  // namespace testshell
