// The notification area ("TrayNotifyWnd"): icons that other programs add with
// Shell_NotifyIcon, their tips, and their callback messages on mouse input.
#pragma once
#include <string>
#include <vector>

#include "fx/handles.h"
#include "snapshot.h"
#include "tray_message.h"
#include "window.h"

namespace testshell {

class NotifyArea final : public Window {
public:
    bool Create(HWND parent);
    // A Shell_NotifyIcon request; the result is what Shell_NotifyIcon returns.
    BOOL Apply(TrayRequest& request);
    // Drops icons whose owner window has gone; true when something changed.
    bool Prune();
    int PreferredWidth() const noexcept;
    void Fill(TaskbarSnapshot& out) const;

private:
    struct Icon {
        HWND owner = nullptr;
        UINT id = 0;
        UINT callback = 0;
        std::wstring tip;
        fx::UniqueIcon image;
        bool hidden = false;
    };

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Paint(HDC dc) const;
    RECT IconRect(size_t visibleIndex) const noexcept;
    int HitTest(POINT pt) const noexcept;  // index in icons_, or -1
    std::vector<size_t> Visible() const;
    Icon* Find(HWND owner, UINT id) noexcept;
    void Changed();
    void RebuildTips();

    std::vector<Icon> icons_;
    HWND tooltip_ = nullptr;  // owned by our window, destroyed with it
    size_t tools_ = 0;
};

}  // namespace testshell
