// Collects frame icons into a strip bitmap and adds them to the image list many
// at a time. ImageList_ReplaceIcon costs far more per frame than decoding the
// frame; one ImageList_Add per strip does not.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <memory>
#include "fx/handles.h"
#include "icon_image.h"

namespace fx::ani {

enum class Added { Yes, NotAnImage, NoResources };

class FrameStrip {
public:
    // `frames`: how many icons will be appended at most (a strip holds up to 64).
    FrameStrip(HIMAGELIST list, int iconSize, uint32_t frames) noexcept;
    FrameStrip(const FrameStrip&) = delete;
    FrameStrip& operator=(const FrameStrip&) = delete;

    // Copies the icon's colour (alpha included) and mask into the next slot.
    Added Append(HICON icon) noexcept;
    // Draws a checked DIB image (colour bits, then AND mask) into the next slot,
    // scaled as the platform scales icon frames; no icon object is made.
    Added AppendDib(const IconImage& image) noexcept;
    // Adds what is left; the list then holds exactly the appended icons.
    bool Finish() noexcept;

private:
    bool BeginSlot() noexcept;
    Added EndSlot() noexcept;
    bool Allocate(uint32_t slots) noexcept;
    bool Flush() noexcept;
    bool CopyColor(HICON icon, uint32_t slot) noexcept;

    HIMAGELIST list_;
    int size_;
    uint32_t remaining_;  // icons still expected
    uint32_t slots_ = 0;  // of the current strip
    uint32_t filled_ = 0;
    uint32_t added_ = 0;  // images already in the list
    uint32_t* colorBits_ = nullptr;
    UniqueBitmap color_;
    UniqueBitmap mask_;
    UniqueMemDC colorDc_;
    UniqueMemDC maskDc_;
    UniqueMemDC scratchDc_;
    HGDIOBJ colorDcDefault_ = nullptr;
    HGDIOBJ maskDcDefault_ = nullptr;
    std::unique_ptr<uint32_t[]> scratch_;
};

}  // namespace fx::ani
