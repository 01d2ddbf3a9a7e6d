// Chooses the image of an "icon" chunk (the bytes of a .ico or .cur file) that
// best fits the icon size, after checking that every byte the platform will read
// for it lies inside the chunk.
#pragma once
#include <cstdint>
#include "ani_layout.h"

namespace fx::ani {

// Largest image side accepted; real cursor images are at most 256.
constexpr uint32_t kMaxImageSide = 1024;

struct IconImage {
    const uint8_t* bits = nullptr;  // a BITMAPINFOHEADER DIB (colour + AND mask) or a PNG stream
    uint32_t size = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitCount = 0;          // 32 for PNG
    bool png = false;
};

// Accepts icon (type 1) and cursor (type 2) directories. Picks the entry whose
// image is exactly size x size, else the smallest larger one, else the largest
// smaller one; the deeper colour wins a tie. False when no entry is a usable image.
bool PickIconImage(ByteSpan chunk, int size, IconImage* image) noexcept;

}  // namespace fx::ani
