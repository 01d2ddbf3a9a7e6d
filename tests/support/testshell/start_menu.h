// The Start menu: an owner-drawn popup menu with Win95-sized items (32 pixels with
// large icons) that leaves the 21-pixel side strip on the left to whoever paints
// a banner there. Owned by the taskbar window, which forwards the owner-draw messages.
#pragma once
#include <windows.h>

#include "fx/handles.h"
#include "snapshot.h"

namespace testshell {

inline constexpr int kSideStripWidth = 21;
inline constexpr int kStartItemHeight = 32;

class StartMenu {
public:
    StartMenu();
    StartMenu(const StartMenu&) = delete;
    StartMenu& operator=(const StartMenu&) = delete;

    // Runs the menu's modal loop above the anchor rectangle (the Start button).
    void Track(HWND owner, const RECT& anchor);

    // Owner-draw messages for our items; false when the item is not ours.
    bool Measure(MEASUREITEMSTRUCT& mis) const;
    bool Draw(const DRAWITEMSTRUCT& dis) const;
    // WM_ENTERIDLE from the menu loop names the menu window.
    void NoteMenuWindow(HWND window) noexcept { if (open_) window_ = window; }

    void Fill(TaskbarSnapshot& out) const;

private:
    void Run(UINT command) const;

    fx::UniqueMenu menu_;
    fx::UniqueFont font_;
    fx::UniqueIcon icons_[8];
    bool open_ = false;
    int openings_ = 0;
    HWND window_ = nullptr;
};

}  // namespace testshell
