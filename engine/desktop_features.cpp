#include "desktop_features.h"

#include "desktop_animations.h"

namespace engine {

// The features add themselves here as they arrive: animation tracking and rename
// (paint, end of label edit), hover, launch and drag handling (mouse, keys, notify).
void OnDesktopViewMessage(HWND view, UINT msg, WPARAM, LPARAM lp) noexcept {
    if (msg == WM_NOTIFY) OnDesktopAnimationNotify(view, lp);
}

void OnDesktopListMessage(HWND list, UINT msg, WPARAM, LPARAM) noexcept {
    if (msg == WM_PAINT) TrackDesktopAnimations(list);
}

}  // namespace engine
