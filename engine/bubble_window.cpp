#include "bubble_window.h"

#include <commctrl.h>

#include <algorithm>

#include "bubble_layout.h"
#include "engine_shared.h"
#include "engine_state.h"
#include "fx/bubble_props.h"
#include "fx/handles.h"
#include "fx/names.h"
#include "fx/text.h"
#include "helper_windows.h"
#include "message_handler.h"

namespace engine {

HRGN g_bubbleRegion = nullptr;
bool g_bubbleVisible = false;

HWND CreateBubbleWindow() noexcept {
    RegisterEngineClass(fx::kBubbleClass, fxBubbleWndProc, kBubbleExtraBytes);
    HWND bubble = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, fx::kBubbleClass, "", WS_POPUP, 0, 0, 100, 100,
                                  nullptr, nullptr, g_engineModule, nullptr);
    g_shared.g_bubbleWindow = bubble;
    return bubble;
}

void SetBubbleOwnerView(HWND bubble, HWND view) noexcept {
    SetWindowLongPtrA(bubble, 0, reinterpret_cast<LONG_PTR>(view));
}

HWND BubbleOwnerView(HWND bubble) noexcept { return reinterpret_cast<HWND>(GetWindowLongPtrA(bubble, 0)); }

namespace {

// How each shape is painted. Brushes are system-colour or stock brushes, never ours
// to delete.
struct BrushRef {
    bool stock;
    int index;  // stock object, or system colour
    HBRUSH get() const noexcept {
        return stock ? static_cast<HBRUSH>(GetStockObject(index)) : GetSysColorBrush(index);
    }
};
struct FrameRef {
    BrushRef brush;
    int size;
};
struct ShapePaint {
    BrushRef fill;
    FrameRef frames[2];
    int frameCount;
    int textColor;  // system colour
};

ShapePaint PaintFor(int shape) noexcept {
    switch (shape) {
    case kBubbleRectangle:
        return {{false, COLOR_INFOBK}, {{{true, LTGRAY_BRUSH}, 2}, {{false, COLOR_INFOTEXT}, 1}}, 2, COLOR_INFOTEXT};
    case kBubbleEllipse:
        return {{false, COLOR_BTNFACE}, {{{false, COLOR_BTNTEXT}, 1}, {}}, 1, COLOR_BTNTEXT};
    case kBubbleRounded:
        return {{true, WHITE_BRUSH}, {{{true, LTGRAY_BRUSH}, 2}, {{true, BLACK_BRUSH}, 1}}, 2, COLOR_INFOTEXT};
    case kBubbleRickRack:
    default:
        return {{false, COLOR_INFOBK}, {{{false, COLOR_INFOTEXT}, 1}, {}}, 1, COLOR_INFOTEXT};
    }
}

// 8 points Arial for the screen.
fx::UniqueFont CreateBubbleFont(HDC screen) noexcept {
    int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    return fx::UniqueFont(CreateFontA(height, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
}

struct TextLayout {
    SIZE size;         // the laid-out text, tw0 x th0
    LONG layoutWidth;  // the width it was laid out within
};

// The text's laid-out size: within the first width when it is at most 60 pixels
// tall there, otherwise within the wide width whatever was asked for.
TextLayout MeasureText(HDC dc, HFONT font, const char* text, LONG minWidth) noexcept {
    fx::SelectScope useFont(dc, font);
    LONG width = std::max<LONG>(minWidth, kBubbleMinTextWidth);
    RECT r{0, 0, width, kBubbleMaxTextHeight};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    if (r.bottom > kBubbleMaxTextHeight) {
        width = kBubbleWideTextWidth;
        r = RECT{0, 0, width, kBubbleMaxTextHeight};
        DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    }
    return TextLayout{SIZE{r.right - r.left, r.bottom - r.top}, width};
}

// The shape's text box is as wide as the widest line, and word wrapping within
// exactly that width may break a line earlier than the measuring did (a space after
// the widest line's last word counts on some platforms), pushing the last line out
// of the bubble. Drawn within the measuring width on the same centre line, the
// lines break where they were measured and stay centred in the box.
RECT TextDrawRect(const RECT& box, LONG layoutWidth) noexcept {
    if (box.right - box.left >= layoutWidth) return box;
    const LONG left = box.left + (box.right - box.left - layoutWidth) / 2;
    return RECT{left, box.top, left + layoutWidth, box.bottom};
}

bool WindowShowsPoint(POINT screenPoint, void* window) noexcept {
    return WindowFromPoint(screenPoint) == static_cast<HWND>(window);
}

void HideBubble(HWND bubble) noexcept {
    g_bubbleVisible = false;
    if (bubble && IsWindowVisible(bubble)) ShowWindow(bubble, SW_HIDE);
    g_bubbleRegion = nullptr;
}

bool ShowBubble(HWND bubble, HWND window, const RECT& item, const char* text, LONG minWidth) noexcept {
    if (g_bubbleVisible && IsWindowVisible(bubble)) ShowWindow(bubble, SW_HIDE);
    g_bubbleVisible = false;
    g_bubbleRegion = nullptr;

    const LONG style = g_shared.g_bubbleStyle;
    if (!text || text[0] == '\0' || !IsBubbleShape(style)) return false;
    // Without the window there is nothing to shape or paint: make no GDI object.
    if (!bubble || !IsWindow(bubble)) return false;

    fx::WindowDC screen(nullptr);
    if (!screen) return false;
    fx::UniqueFont font = CreateBubbleFont(screen.get());
    if (!font) return false;
    const TextLayout layout = MeasureText(screen.get(), font.get(), text, minWidth);
    const SIZE textSize = layout.size;
    const SIZE size = BubbleWindowSize(style, textSize.cx, textSize.cy);

    AnchorCorner corner = ChooseAnchorCorner(item, window ? WindowShowsPoint : nullptr, window);
    const SIZE screenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const BubblePlacement place = PlaceBubble(item, corner, size, screenSize);
    const BubbleGeometry shape = ShapeBubble(style, textSize.cx, textSize.cy, place.toLeft, place.above);
    fx::UniqueRgn region(BuildBubbleRegion(shape));
    if (!region) return false;

    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    const POINT origin = BubbleOrigin(place, size, cursor);

    // Painted once, off screen, then copied in: the window has no painting of its own.
    fx::UniqueMemDC memory(CreateCompatibleDC(screen.get()));
    fx::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    if (!memory || !bitmap) return false;
    {
        fx::SelectScope useBitmap(memory.get(), bitmap.get());
        const ShapePaint paint = PaintFor(style);
        SelectClipRgn(memory.get(), region.get());
        FillRgn(memory.get(), region.get(), paint.fill.get());
        for (int i = 0; i < paint.frameCount; ++i) {
            const FrameRef& f = paint.frames[i];
            FrameRgn(memory.get(), region.get(), f.brush.get(), f.size, f.size);
        }
        fx::SelectScope useFont(memory.get(), font.get());
        SetBkMode(memory.get(), TRANSPARENT);
        SetTextColor(memory.get(), GetSysColor(paint.textColor));
        RECT textRect = TextDrawRect(shape.text, layout.layoutWidth);
        DrawTextA(memory.get(), text, -1, &textRect, DT_WORDBREAK | DT_CENTER);

        // The region is the window's once it takes it; a refused one is still ours.
        if (SetWindowRgn(bubble, region.get(), FALSE)) g_bubbleRegion = region.release();
        SetWindowPos(bubble, HWND_TOPMOST, origin.x, origin.y, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        fx::WindowDC target(bubble);
        if (target) BitBlt(target.get(), 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
        SelectClipRgn(memory.get(), nullptr);
    }
    g_bubbleVisible = true;
    return true;
}

// Runs in the desktop process for callers elsewhere. The control is asked with a
// pointer into this process, so a control of another process is not asked at all:
// it would write through an address that means nothing there.
void ReadTabRect(HWND tab, WPARAM index) noexcept {
    RECT r{0, 0, 0, 0};
    DWORD pid = 0;
    bool got = false;
    if (tab && IsWindow(tab) && GetWindowThreadProcessId(tab, &pid) && pid == GetCurrentProcessId())
        got = SendMessageA(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) != 0;
    if (!got) r = RECT{0, 0, 0, 0};
    g_shared.g_tabRect = EngineRect{r.left, r.top, r.right, r.bottom};
}

}  // namespace
}  // namespace engine

extern "C" LONG WINAPI fxDisplayBubble(HWND window, LONG left, LONG top, LONG right, LONG bottom, const char* text,
                                       LONG minWidth, LONG flags) {
    HWND bubble = g_shared.g_bubbleWindow;
    if (!(flags & 1)) {
        engine::HideBubble(bubble);
        return 0;
    }
    return engine::ShowBubble(bubble, window, RECT{left, top, right, bottom}, text, minWidth) ? 1 : 0;
}

extern "C" LRESULT CALLBACK fxBubbleWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == engine::TIMER_BUBBLE) {
            KillTimer(hwnd, engine::TIMER_BUBBLE);
            // The shared text may be rewritten by any process meanwhile: show a
            // terminated copy.
            char text[sizeof g_shared.g_bubbleText];
            fx::CopyText(text, g_shared.g_bubbleText);
            const EngineRect a = g_shared.g_bubbleAnchor;
            fxDisplayBubble(engine::BubbleOwnerView(hwnd), a.left, a.top, a.right, a.bottom, text,
                            engine::kBubbleTimerMinWidth, 1);
        }
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        ShowWindow(hwnd, SW_HIDE);
        break;
    case fx::FXBM_TAB_RECT:
        engine::ReadTabRect(reinterpret_cast<HWND>(wp), static_cast<WPARAM>(lp));
        return 1;
    case fx::FXBM_FORWARD:
        engine::HandleShellMessage(reinterpret_cast<HWND>(fx::GetPropValue(hwnd, fx::kPropForwardWindow)),
                                   static_cast<UINT>(fx::GetPropValue(hwnd, fx::kPropForwardMessage)), wp, lp);
        return 1;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}
