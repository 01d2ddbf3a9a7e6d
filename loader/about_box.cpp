#include "about_box.h"

#include "fx/handles.h"
#include "resource.h"

namespace loader {
namespace {

class AboutBox {
public:
    explicit AboutBox(HINSTANCE instance) : instance_(instance) {}

    static INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM, LPARAM lp) {
        if (msg == WM_INITDIALOG) SetWindowLongPtrA(dlg, DWLP_USER, lp);
        auto* self = reinterpret_cast<AboutBox*>(GetWindowLongPtrA(dlg, DWLP_USER));
        return self ? self->Handle(dlg, msg) : FALSE;
    }

private:
    INT_PTR Handle(HWND dlg, UINT msg) {
        switch (msg) {
        case WM_INITDIALOG: OnInit(dlg); return TRUE;
        case WM_PAINT: OnPaint(dlg); return TRUE;
        case WM_COMMAND:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            bitmap_.reset();
            EndDialog(dlg, 1);
            return TRUE;
        default: return FALSE;
        }
    }

    SIZE LogicalSize(HDC dc) const {
        POINT size{bitmapSize_.cx, bitmapSize_.cy};
        DPtoLP(dc, &size, 1);
        return {size.x, size.y};
    }

    void OnInit(HWND dlg) {
        bitmap_.reset(static_cast<HBITMAP>(LoadImageA(instance_, "ABOUTBOX", IMAGE_BITMAP, 0, 0, 0)));
        BITMAP info{};
        if (bitmap_ && GetObjectA(bitmap_.get(), sizeof info, &info)) bitmapSize_ = {info.bmWidth, info.bmHeight};
        fx::WindowDC dc(dlg);
        int left = (GetDeviceCaps(dc.get(), HORZRES) - bitmapSize_.cx) / 2;
        int top = (GetDeviceCaps(dc.get(), VERTRES) - bitmapSize_.cy) / 2;
        SIZE size = LogicalSize(dc.get());
        MoveWindow(dlg, left, top, size.cx, size.cy, FALSE);
    }

    void OnPaint(HWND dlg) {
        fx::PaintScope paint(dlg);
        if (!bitmap_) return;
        fx::UniqueMemDC mem(CreateCompatibleDC(paint.dc()));
        if (!mem) return;
        SetMapMode(mem.get(), GetMapMode(paint.dc()));
        fx::SelectScope select(mem.get(), bitmap_.get());
        SIZE size = LogicalSize(paint.dc());
        BitBlt(paint.dc(), 0, 0, size.cx, size.cy, mem.get(), 0, 0, SRCCOPY);
    }

    HINSTANCE instance_;
    fx::UniqueBitmap bitmap_;
    SIZE bitmapSize_{0, 0};
};

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner) noexcept {
    AboutBox box(instance);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutBox::DialogProc,
                    reinterpret_cast<LPARAM>(&box));
}

}  // namespace loader
