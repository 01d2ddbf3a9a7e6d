#include "minmax_effect.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "effect_geometry.h"
#include "fx/handles.h"
#include "screen_wait.h"

namespace engine {
namespace {

// The outlines are shown in a window of their own above everything (Overlay,
// below), never written onto the screen's own pixels. Drawing with R2_NOT
// straight onto the screen gives the same picture, but its second inversion
// restores only the pixels that nobody painted in between (the taskbar, a clock,
// an animated icon under the outline) and leaves what they painted inverted.
constexpr char kOverlayClass[] = "FXClassOutline";

HMODULE ThisModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

struct Shape {
    int style = 0;
    RECT rect{};
    POINT corners[4]{};
};

RECT Normalized(const RECT& r) noexcept {
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

RECT Bounds(const Shape& s) noexcept {
    if (s.style != kRotate) return Normalized(s.rect);
    RECT b{s.corners[0].x, s.corners[0].y, s.corners[0].x, s.corners[0].y};
    for (const POINT& p : s.corners) {
        b.left = std::min(b.left, p.x);
        b.top = std::min(b.top, p.y);
        b.right = std::max(b.right, p.x);
        b.bottom = std::max(b.bottom, p.y);
    }
    return b;
}

// The pixels that drawing the shape with R2_NOT would invert, as a region in the
// coordinates of a window whose top-left corner is at `origin` on the screen.
// The shape is drawn exactly so into a 1-bit picture and read back row by row,
// so a pixel the pen covers twice stays untouched, as it would on the screen.
// Throws only when memory runs out.
fx::UniqueRgn ShapeRegion(const Shape& s, POINT origin) {
    RECT b = Bounds(s);
    InflateRect(&b, 3, 3);  // the 2-pixel pen reaches past the corners
    const int w = b.right - b.left, h = b.bottom - b.top;
    fx::UniqueRgn empty(CreateRectRgn(0, 0, 0, 0));
    if (w <= 0 || h <= 0) return empty;

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = w;
    info.header.biHeight = -h;  // top-down rows
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.colors[1] = RGBQUAD{255, 255, 255, 0};
    void* bits = nullptr;
    fx::UniqueBitmap picture(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                              nullptr, 0));
    fx::UniqueMemDC dc(CreateCompatibleDC(nullptr));
    if (!picture || !dc || !bits) return empty;
    {
        fx::SelectScope bitmap(dc.get(), picture.get());
        PatBlt(dc.get(), 0, 0, w, h, BLACKNESS);
        SetViewportOrgEx(dc.get(), -b.left, -b.top, nullptr);
        SetROP2(dc.get(), R2_NOT);
        fx::SelectScope brush(dc.get(), GetStockObject(HOLLOW_BRUSH));
        if (s.style == kRotate) {
            fx::UniquePen pen(CreatePen(PS_SOLID, 2, RGB(0, 0, 0)));
            fx::SelectScope selected(dc.get(), pen.get());
            Polygon(dc.get(), s.corners, 4);
        } else {
            fx::SelectScope selected(dc.get(), GetStockObject(BLACK_PEN));
            if (s.style == kZoomEllipse)
                Ellipse(dc.get(), s.rect.left, s.rect.top, s.rect.right, s.rect.bottom);
            else
                Rectangle(dc.get(), s.rect.left, s.rect.top, s.rect.right, s.rect.bottom);
        }
        GdiFlush();
    }

    const int stride = ((w + 31) / 32) * 4;
    const auto* row = static_cast<const BYTE*>(bits);
    std::vector<RECT> runs;
    const LONG dx = b.left - origin.x, dy = b.top - origin.y;
    for (int y = 0; y < h; ++y, row += stride) {
        auto set = [row](int x) { return (row[x >> 3] & (0x80 >> (x & 7))) != 0; };
        for (int x = 0; x < w;) {
            if ((x & 7) == 0 && row[x >> 3] == 0) {  // eight clear pixels at once
                x += 8;
                continue;
            }
            if (!set(x)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < w && set(x)) ++x;
            runs.push_back(RECT{start + dx, y + dy, x + dx, y + 1 + dy});
        }
    }
    if (runs.empty()) return empty;

    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(runs.size());
    header->nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    header->rcBound = RECT{b.left - origin.x, b.top - origin.y, b.right - origin.x, b.bottom - origin.y};
    std::memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
    fx::UniqueRgn region(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                         reinterpret_cast<const RGNDATA*>(data.data())));
    return region ? std::move(region) : std::move(empty);
}

// A top-most window over `bounds`, cut down to every pixel the effect's outlines
// will touch, showing the screen as it was when the effect began with the pixels
// of the outlines drawn so far inverted. Inverting twice gives back the
// original, so a shape is drawn and erased by the same call. Where no outline is
// drawn it shows the saved picture, so no window under it needs to repaint while
// the effect runs, not even one of the thread that runs it; its shape is set once.
class Overlay {
public:
    // shapes: the region of each shape, in coordinates relative to bounds.
    bool Create(const RECT& bounds, const std::vector<fx::UniqueRgn>& shapes) noexcept {
        origin_ = POINT{bounds.left, bounds.top};
        width_ = bounds.right - bounds.left;
        height_ = bounds.bottom - bounds.top;
        if (width_ <= 0 || height_ <= 0) return false;
        {
            fx::WindowDC screen(nullptr);
            if (!screen || !plain_.Create(screen.get(), width_, height_) ||
                !inverted_.Create(screen.get(), width_, height_))
                return false;
            BitBlt(plain_.dc.get(), 0, 0, width_, height_, screen.get(), origin_.x, origin_.y, SRCCOPY);
        }
        BitBlt(inverted_.dc.get(), 0, 0, width_, height_, plain_.dc.get(), 0, 0, NOTSRCCOPY);

        inverted_now_.reset(CreateRectRgn(0, 0, 0, 0));
        both_.reset(CreateRectRgn(0, 0, 0, 0));
        HRGN touched = CreateRectRgn(0, 0, 0, 0);
        if (!inverted_now_ || !both_ || !touched) {
            if (touched) DeleteObject(touched);
            return false;
        }
        for (const fx::UniqueRgn& shape : shapes)
            if (shape) CombineRgn(touched, touched, shape.get(), RGN_OR);

        module_ = ThisModule();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = module_;
        wc.lpszClassName = kOverlayClass;
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE,
                                  kOverlayClass, "", WS_POPUP | WS_DISABLED, origin_.x, origin_.y, width_, height_,
                                  nullptr, nullptr, module_, nullptr);
        // Once set, the region is the window's.
        if (!window_ || !SetWindowRgn(window_, touched, FALSE)) {
            DeleteObject(touched);
            return false;
        }
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOREDRAW);
        fx::WindowDC dc(window_);
        if (dc) BitBlt(dc.get(), 0, 0, width_, height_, plain_.dc.get(), 0, 0, SRCCOPY);
        return true;
    }

    ~Overlay() {
        if (window_) DestroyWindow(window_);
        if (module_) UnregisterClassA(kOverlayClass, module_);  // fails while another thread still uses it
    }

    // Inverts the shape's pixels on screen (drawn, or erased when drawn before).
    void Toggle(HRGN shape) noexcept {
        if (!shape) return;
        CombineRgn(inverted_now_.get(), inverted_now_.get(), shape, RGN_XOR);
        fx::WindowDC dc(window_);
        if (!dc) return;
        // Only the shape's pixels change: plain where it is now off, inverted where on.
        ExtSelectClipRgn(dc.get(), shape, RGN_AND);
        BitBlt(dc.get(), 0, 0, width_, height_, plain_.dc.get(), 0, 0, SRCCOPY);
        CombineRgn(both_.get(), shape, inverted_now_.get(), RGN_AND);
        SelectClipRgn(dc.get(), both_.get());
        BitBlt(dc.get(), 0, 0, width_, height_, inverted_.dc.get(), 0, 0, SRCCOPY);
    }

private:
    struct Picture {
        fx::UniqueMemDC dc;
        fx::UniqueBitmap bitmap;
        HGDIOBJ previous = nullptr;
        bool Create(HDC like, int w, int h) noexcept {
            dc.reset(CreateCompatibleDC(like));
            bitmap.reset(CreateCompatibleBitmap(like, w, h));
            if (!dc || !bitmap) return false;
            previous = SelectObject(dc.get(), bitmap.get());
            return true;
        }
        ~Picture() {
            if (dc && previous) SelectObject(dc.get(), previous);
        }
    };

    Picture plain_, inverted_;
    fx::UniqueRgn inverted_now_, both_;
    HMODULE module_ = nullptr;
    HWND window_ = nullptr;
    POINT origin_{};
    int width_ = 0, height_ = 0;
};

RECT Union(const RECT& a, const RECT& b) noexcept {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// Everything the outlines of one effect can touch, on the screen.
RECT EffectBounds(const std::vector<Shape>& shapes) noexcept {
    RECT all = Bounds(shapes.front());
    for (const Shape& s : shapes) all = Union(all, Bounds(s));
    InflateRect(&all, 3, 3);
    RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT clipped{};
    IntersectRect(&clipped, &all, &screen);
    return clipped;
}

// Throws only when memory runs out.
void Play(const RECT& from, const RECT& to, int style, DWORD zoomDelayMs, DWORD rotateDelayMs) {
    std::vector<Shape> shapes;
    if (style == kZoomRectangle || style == kZoomEllipse) {
        for (int k = 1; k <= kZoomSteps; ++k) shapes.push_back(Shape{style, OutlineStep(from, to, kZoomSteps, k), {}});
    } else if (style == kRotate) {
        for (int k = 1; k <= kRotateSteps; ++k) {
            Shape s{style, OutlineStep(from, to, kRotateSteps, k), {}};
            RotatedCorners(s.rect, k, s.corners);
            shapes.push_back(s);
        }
    } else {
        return;
    }

    const RECT bounds = EffectBounds(shapes);
    std::vector<fx::UniqueRgn> regions;
    for (const Shape& s : shapes) regions.push_back(ShapeRegion(s, POINT{bounds.left, bounds.top}));
    Overlay overlay;
    if (!overlay.Create(bounds, regions)) return;
    if (style == kRotate) {
        for (const fx::UniqueRgn& r : regions) {
            overlay.Toggle(r.get());
            ShowAndWait(rotateDelayMs);
            overlay.Toggle(r.get());
        }
        ShowAndWait(0);
        return;
    }
    // A trail of outlines closing in, then taken away in the order they came.
    for (int pass = 0; pass < 2; ++pass) {
        for (const fx::UniqueRgn& r : regions) {
            overlay.Toggle(r.get());
            ShowAndWait(zoomDelayMs);
        }
    }
}

}  // namespace

void PlayMinMaxEffect(HWND window, const RECT& from, const RECT& to, int style, DWORD zoomDelayMs,
                      DWORD rotateDelayMs) noexcept {
    (void)window;
    try {
        Play(from, to, style, zoomDelayMs, rotateDelayMs);
    } catch (...) {
        // Out of memory: the effect is skipped, the shell goes on.
    }
}

void PlayMinMaxEffect(HWND window, const RECT& from, const RECT& to, int style) noexcept {
    PlayMinMaxEffect(window, from, to, style, kZoomStepDelayMs, kRotateStepDelayMs);
}

}  // namespace engine
