#include "launch_effect.h"

#include "effect_geometry.h"
#include "fx/handles.h"
#include "screen_wait.h"

namespace engine {
namespace {

// The two halves of an icon as bitmaps of our own. A monochrome icon has no
// colour bitmap: its mask is twice as high, the AND mask on top and the image
// below.
struct IconParts {
    fx::UniqueBitmap color;
    fx::UniqueBitmap mask;
    int width = 0;
    int height = 0;
    bool monochrome = false;
};

bool SplitIcon(HICON icon, IconParts* out) noexcept {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return false;
    out->color.reset(info.hbmColor);
    out->mask.reset(info.hbmMask);
    BITMAP bm{};
    if (out->color) {
        if (!GetObjectA(out->color.get(), sizeof bm, &bm)) return false;
        out->width = bm.bmWidth;
        out->height = bm.bmHeight;
    } else {
        if (!out->mask || !GetObjectA(out->mask.get(), sizeof bm, &bm)) return false;
        out->monochrome = true;
        out->width = bm.bmWidth;
        out->height = bm.bmHeight / 2;
    }
    return out->width > 0 && out->height > 0 && out->mask;
}

// A memory context with a bitmap of its own, both freed together.
struct Canvas {
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
    ~Canvas() {
        if (dc && previous) SelectObject(dc.get(), previous);
    }
};

// A memory context showing a bitmap that stays someone else's.
struct View {
    fx::UniqueMemDC dc;
    HGDIOBJ previous = nullptr;

    bool Create(HDC like, HBITMAP bitmap) noexcept {
        dc.reset(CreateCompatibleDC(like));
        if (!dc) return false;
        previous = SelectObject(dc.get(), bitmap);
        return previous != nullptr;
    }
    ~View() {
        if (dc && previous) SelectObject(dc.get(), previous);
    }
};

}  // namespace

int PlayLaunchEffect(HDC dc, int x, int y, HICON icon, int style, DWORD stepDelayMs) noexcept {
    if (!dc || !icon) return 0;
    if (style < kPivot || style > kMoveUp) return 1;

    IconParts parts;
    if (!SplitIcon(icon, &parts)) return 1;
    const int w = parts.width, h = parts.height;

    Canvas saved, colorWork, maskWork, compose;
    View colorSource, maskSource;
    if (!saved.Create(dc, w, h) || !colorWork.Create(dc, w, h) || !maskWork.Create(dc, w, h) ||
        !compose.Create(dc, w, h) || !maskSource.Create(dc, parts.mask.get()))
        return 1;
    // A monochrome icon's image is the lower half of its mask.
    HDC colorDc = maskSource.dc.get();
    int colorTop = h;
    if (!parts.monochrome) {
        if (!colorSource.Create(dc, parts.color.get())) return 1;
        colorDc = colorSource.dc.get();
        colorTop = 0;
    }

    fx::SelectScope black(colorWork.dc.get(), GetStockObject(BLACK_BRUSH));
    fx::SelectScope white(maskWork.dc.get(), GetStockObject(WHITE_BRUSH));
    for (HDC d : {colorWork.dc.get(), maskWork.dc.get(), colorDc, maskSource.dc.get()})
        SetStretchBltMode(d, COLORONCOLOR);

    BitBlt(saved.dc.get(), 0, 0, w, h, dc, x, y, SRCCOPY);
    const DWORD delay = style == kMoveUp ? stepDelayMs / 2 : stepDelayMs;
    for (int k = 1; k <= kLaunchSteps; ++k) {
        const StretchStep s = LaunchStep(style, w, h, k);
        PatBlt(colorWork.dc.get(), 0, 0, w, h, PATCOPY);
        PatBlt(maskWork.dc.get(), 0, 0, w, h, PATCOPY);
        BitBlt(compose.dc.get(), 0, 0, w, h, saved.dc.get(), 0, 0, SRCCOPY);
        if (s.dstW != 0 && s.dstH != 0 && s.srcH > 0) {
            StretchBlt(colorWork.dc.get(), s.dstX, s.dstY, s.dstW, s.dstH, colorDc, s.srcX, colorTop + s.srcY, s.srcW,
                       s.srcH, SRCCOPY);
            StretchBlt(maskWork.dc.get(), s.dstX, s.dstY, s.dstW, s.dstH, maskSource.dc.get(), s.srcX, s.srcY, s.srcW,
                       s.srcH, SRCCOPY);
        }
        BitBlt(compose.dc.get(), 0, 0, w, h, maskWork.dc.get(), 0, 0, SRCAND);
        BitBlt(compose.dc.get(), 0, 0, w, h, colorWork.dc.get(), 0, 0, SRCINVERT);
        BitBlt(dc, x, y, w, h, compose.dc.get(), 0, 0, SRCCOPY);
        GdiFlush();
        ShowAndWait(delay);
    }
    return 1;
}

}  // namespace engine
