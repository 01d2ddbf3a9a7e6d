#include "frame_strip.h"

#include <cstring>
#include <new>

namespace fx::ani {
namespace {

constexpr uint32_t kSlotsPerStrip = 64;

struct MonoInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
};

BITMAPINFOHEADER TopDown(int width, int height, WORD bits) noexcept {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(h);
    h.biWidth = width;
    h.biHeight = -height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = BI_RGB;
    return h;
}

// GetIconInfo hands out copies of the icon's bitmaps; they are ours to delete.
struct IconBitmaps {
    ICONINFO info{};
    bool ok = false;
    explicit IconBitmaps(HICON icon) noexcept : ok(::GetIconInfo(icon, &info) != FALSE) {}
    ~IconBitmaps() {
        if (info.hbmColor) ::DeleteObject(info.hbmColor);
        if (info.hbmMask) ::DeleteObject(info.hbmMask);
    }
};

}  // namespace

FrameStrip::FrameStrip(HIMAGELIST list, int iconSize, uint32_t frames) noexcept
    : list_(list), size_(iconSize), remaining_(frames) {}

bool FrameStrip::Allocate(uint32_t slots) noexcept {
    if (!scratchDc_) {
        scratchDc_.reset(::CreateCompatibleDC(nullptr));
        colorDc_.reset(::CreateCompatibleDC(nullptr));
        maskDc_.reset(::CreateCompatibleDC(nullptr));
        // Room for one icon read whole, twice as tall for monochrome icons.
        scratch_.reset(new (std::nothrow) uint32_t[size_t(2) * size_t(size_) * size_t(size_)]);
        if (!scratchDc_ || !colorDc_ || !maskDc_ || !scratch_) return false;
    }
    int width = int(slots) * size_;
    BITMAPINFO colorInfo{};
    colorInfo.bmiHeader = TopDown(width, size_, 32);
    void* bits = nullptr;
    color_.reset(::CreateDIBSection(scratchDc_.get(), &colorInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    MonoInfo maskInfo{TopDown(width, size_, 1), {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    void* maskBits = nullptr;
    mask_.reset(::CreateDIBSection(scratchDc_.get(), reinterpret_cast<BITMAPINFO*>(&maskInfo), DIB_RGB_COLORS,
                                   &maskBits, nullptr, 0));
    if (!color_ || !mask_) return false;
    colorBits_ = static_cast<uint32_t*>(bits);
    colorDcDefault_ = ::SelectObject(colorDc_.get(), color_.get());
    maskDcDefault_ = ::SelectObject(maskDc_.get(), mask_.get());
    slots_ = slots;
    filled_ = 0;
    return true;
}

bool FrameStrip::CopyColor(HICON icon, uint32_t slot) noexcept {
    IconBitmaps bitmaps(icon);
    if (!bitmaps.ok) return false;
    // A monochrome icon has no colour bitmap: its mask is twice as tall, AND over XOR.
    bool mono = bitmaps.info.hbmColor == nullptr;
    HBITMAP source = mono ? bitmaps.info.hbmMask : bitmaps.info.hbmColor;
    int rows = mono ? 2 * size_ : size_;
    BITMAPINFO info{};
    info.bmiHeader = TopDown(size_, rows, 32);
    if (::GetDIBits(scratchDc_.get(), source, 0, UINT(rows), scratch_.get(), &info, DIB_RGB_COLORS) != rows)
        return false;
    const uint32_t* from = scratch_.get() + (mono ? size_t(size_) * size_t(size_) : 0);
    size_t stride = size_t(slots_) * size_t(size_);
    for (int y = 0; y < size_; ++y)
        std::memcpy(colorBits_ + size_t(y) * stride + size_t(slot) * size_t(size_), from + size_t(y) * size_t(size_),
                    size_t(size_) * sizeof(uint32_t));
    return true;
}

bool FrameStrip::BeginSlot() noexcept {
    if (remaining_ == 0) return false;
    return slots_ != 0 || Allocate(remaining_ < kSlotsPerStrip ? remaining_ : kSlotsPerStrip);
}

// Only a filled slot counts: a frame may fail one way and then load another.
Added FrameStrip::EndSlot() noexcept {
    --remaining_;
    ++filled_;
    return filled_ < slots_ || Flush() ? Added::Yes : Added::NoResources;
}

// A failed copy leaves the slot to the next frame.
Added FrameStrip::Append(HICON icon) noexcept {
    if (!BeginSlot()) return Added::NoResources;
    if (!CopyColor(icon, filled_) ||
        !::DrawIconEx(maskDc_.get(), int(filled_) * size_, 0, icon, size_, size_, 0, nullptr, DI_MASK))
        return Added::NotAnImage;
    return EndSlot();
}

Added FrameStrip::AppendDib(const IconImage& image) noexcept {
    // The header as StretchDIBits wants it: the colour rows only, with the colour table.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info;
    const uint8_t* p = image.bits;
    const uint32_t colorsUsed = Le32(p + 32);
    const uint32_t entries = image.bitCount <= 8 ? (colorsUsed ? colorsUsed : 1u << image.bitCount) : colorsUsed;
    std::memcpy(&info.header, p, sizeof(info.header));
    std::memcpy(info.colors, p + sizeof(info.header), size_t(entries) * sizeof(RGBQUAD));
    info.header.biHeight = LONG(image.height);
    info.header.biPlanes = 1;  // meaningless for a DIB; some writers leave 0
    info.header.biSizeImage = 0;
    const uint8_t* colorRows = p + sizeof(info.header) + size_t(entries) * sizeof(RGBQUAD);
    const uint8_t* maskRows =
        colorRows + size_t((uint64_t(image.width) * image.bitCount + 31) / 32 * 4) * size_t(image.height);
    MonoInfo maskInfo{info.header, {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    maskInfo.header.biBitCount = 1;
    maskInfo.header.biClrUsed = 0;
    maskInfo.header.biClrImportant = 0;

    if (!BeginSlot()) return Added::NoResources;
    int x = int(filled_) * size_, w = int(image.width), h = int(image.height);
    int colorLines = ::StretchDIBits(colorDc_.get(), x, 0, size_, size_, 0, 0, w, h, colorRows,
                                     reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
    int maskLines = ::StretchDIBits(maskDc_.get(), x, 0, size_, size_, 0, 0, w, h, maskRows,
                                    reinterpret_cast<const BITMAPINFO*>(&maskInfo), DIB_RGB_COLORS, SRCCOPY);
    if (colorLines <= 0 || maskLines <= 0)  // 0 or GDI_ERROR
        return Added::NotAnImage;
    return EndSlot();
}

bool FrameStrip::Flush() noexcept {
    if (slots_ == 0) return true;
    ::GdiFlush();
    // The list selects the bitmaps into its own DCs; a bitmap lives in one DC at a time.
    ::SelectObject(colorDc_.get(), colorDcDefault_);
    ::SelectObject(maskDc_.get(), maskDcDefault_);
    bool ok = ::ImageList_Add(list_, color_.get(), mask_.get()) >= 0;
    added_ += slots_;
    // Frames that failed to load left empty slots at the end of this strip.
    if (ok && filled_ < slots_) ok = ::ImageList_SetImageCount(list_, added_ - (slots_ - filled_)) != FALSE;
    if (filled_ < slots_) added_ -= slots_ - filled_;
    color_.reset();
    mask_.reset();
    colorBits_ = nullptr;
    slots_ = filled_ = 0;
    return ok;
}

bool FrameStrip::Finish() noexcept { return Flush(); }

}  // namespace fx::ani
