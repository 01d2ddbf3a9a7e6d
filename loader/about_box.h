#pragma once
#include <windows.h>

namespace loader {

// The modal about box: the "ABOUTBOX" bitmap centred on the screen; any click or
// command closes it.
void ShowAboutBox(HINSTANCE instance, HWND owner) noexcept;

}  // namespace loader
