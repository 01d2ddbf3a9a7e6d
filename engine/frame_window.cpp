#include "frame_window.h"

#include "engine_shared.h"
#include "engine_state.h"
#include "frame_shape.h"
#include "fx/handles.h"
#include "fx/names.h"
#include "fx/shell_windows.h"
#include "helper_windows.h"

namespace engine {

HRGN g_frameRegion = nullptr;

HWND CreateFrameWindow(HWND parentList) noexcept {
    if (!parentList) parentList = fx::FindDesktopListView(g_shared.g_desktopWindow);
    RegisterEngineClass(fx::kFrameClass, fxFrameWndProc, 0);
    HWND frame = CreateWindowExA(WS_EX_TOOLWINDOW, fx::kFrameClass, "", WS_CHILD | WS_DISABLED, -100, -100, 50, 50,
                                 parentList, nullptr, g_engineModule, nullptr);
    g_shared.g_frameWindow = frame;
    return frame;
}

namespace {

// Cuts the window down to the ring its style draws; with no style it keeps no region.
void ShapeFrame(HWND hwnd) noexcept {
    SetWindowRgn(hwnd, nullptr, FALSE);
    g_frameRegion = nullptr;
    FrameLook look = FrameLookFor(g_flyoverStyle);
    if (!look.drawn) return;
    RECT client;
    GetClientRect(hwnd, &client);
    fx::UniqueRgn ring(BuildFrameRegion(client));
    // Once set, the region is the window's; if it was refused it is still ours.
    if (ring && SetWindowRgn(hwnd, ring.get(), look.redrawOnShape)) g_frameRegion = ring.release();
}

void PaintFrame(HWND hwnd) noexcept {
    LONG style = g_flyoverStyle;
    if (!FrameLookFor(style).drawn) return;
    RECT client;
    GetClientRect(hwnd, &client);
    fx::PaintScope paint(hwnd);
    PaintFrameBorder(paint.dc(), client, style);
}

}  // namespace
}  // namespace engine

extern "C" LRESULT CALLBACK fxFrameWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DESTROY:
        // Only our own slot: a frame made later must not be forgotten because an
        // older one went with its list view.
        InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&g_shared.g_frameWindow), nullptr, hwnd);
        break;
    case WM_MOVE:
    case WM_SIZE:
        // A new item can have the old one's corner but another size: the ring follows
        // the size as well as the place.
        engine::ShapeFrame(hwnd);
        break;
    case WM_PAINT:
        engine::PaintFrame(hwnd);
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}
