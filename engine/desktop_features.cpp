#include "desktop_features.h"

namespace engine {

// The features add themselves here as they arrive: animation tracking and rename
// (paint, end of label edit), hover, launch and drag handling (mouse, keys, notify).
void OnDesktopViewMessage(HWND, UINT, WPARAM, LPARAM) noexcept {}

void OnDesktopListMessage(HWND, UINT, WPARAM, LPARAM) noexcept {}

}  // namespace engine
