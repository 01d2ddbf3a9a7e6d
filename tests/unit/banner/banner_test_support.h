// Pixels for the banner tests: 32-bit top-down DIB sections that can be read as
// plain memory, filled from bitmaps and windows.
#pragma once
#include <windows.h>

#include <cstdint>

#include "fx/handles.h"

namespace bannertest {

constexpr COLORREF kGrey = RGB(128, 128, 128);  // the stock GRAY_BRUSH

class Pixels {
public:
    Pixels(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        dc_.reset(CreateCompatibleDC(nullptr));
        old_ = SelectObject(dc_.get(), bitmap_.get());
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;
    ~Pixels() { Unselect(); }

    // Takes the bitmap out of our DC, so that another DC can select it (a bitmap is
    // in one DC at a time); the pixels stay readable and writable.
    void Unselect() {
        if (old_) SelectObject(dc_.get(), old_);
        old_ = nullptr;
    }

    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc() const { return dc_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    bool ok() const { return bits_ != nullptr; }

    COLORREF at(int x, int y) const {
        GdiFlush();
        uint32_t v = bits_[static_cast<size_t>(y) * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    void set(int x, int y, COLORREF c) {
        bits_[static_cast<size_t>(y) * width_ + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    void fill(COLORREF c) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) set(x, y, c);
    }
    // Copies from another DC (a window's, a bitmap's) at the given point.
    void grab(HDC source, int x = 0, int y = 0) {
        BitBlt(dc_.get(), 0, 0, width_, height_, source, x, y, SRCCOPY);
        GdiFlush();
    }

private:
    int width_, height_;
    fx::UniqueBitmap bitmap_;
    fx::UniqueMemDC dc_;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

}  // namespace bannertest
