#include "icon_image.h"

#include <cstring>

namespace fx::ani {
namespace {

constexpr size_t kDirHeader = 6;
constexpr size_t kDirEntry = 16;
constexpr size_t kInfoHeader = 40;  // BITMAPINFOHEADER, the only header icon images use

uint64_t RowBytes(uint64_t width, uint64_t bits) noexcept { return ((width * bits + 31) / 32) * 4; }

// A PNG stream: the signature and a well-formed IHDR are checked here; the decoder
// checks the rest.
bool CheckPng(const uint8_t* p, uint32_t size, IconImage* image) noexcept {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 + 8 + 13 + 4 || std::memcmp(p, kSignature, 8) != 0) return false;
    if (Be32(p + 8) != 13 || std::memcmp(p + 12, "IHDR", 4) != 0) return false;
    uint32_t w = Be32(p + 16), h = Be32(p + 20);
    if (w == 0 || h == 0 || w > kMaxImageSide || h > kMaxImageSide) return false;
    *image = {p, size, w, h, 32, true};
    return true;
}

// A DIB as icons store it: header, colour table, colour bits, AND mask, all of
// which must be inside the image's bytes.
bool CheckDib(const uint8_t* p, uint32_t size, IconImage* image) noexcept {
    if (size < kInfoHeader || Le32(p) != kInfoHeader) return false;
    int32_t width = int32_t(Le32(p + 4));
    int32_t doubledHeight = int32_t(Le32(p + 8));  // colour rows plus mask rows
    uint16_t bits = Le16(p + 14);
    uint32_t compression = Le32(p + 16);
    uint32_t colorsUsed = Le32(p + 32);
    if (width <= 0 || uint32_t(width) > kMaxImageSide) return false;
    if (doubledHeight < 2 || uint32_t(doubledHeight / 2) > kMaxImageSide) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (compression != 0 /* BI_RGB */) return false;
    uint64_t tableEntries;
    if (bits <= 8) {
        if (colorsUsed > (1u << bits)) return false;
        tableEntries = colorsUsed ? colorsUsed : (1u << bits);
    } else {
        if (colorsUsed > 256) return false;
        tableEntries = colorsUsed;
    }
    uint64_t height = uint32_t(doubledHeight / 2);
    uint64_t needed = kInfoHeader + tableEntries * 4 + RowBytes(uint32_t(width), bits) * height +
                      RowBytes(uint32_t(width), 1) * height;
    if (needed > size) return false;
    *image = {p, size, uint32_t(width), uint32_t(height), bits, false};
    return true;
}

// Lower is better: exact size, then the nearest larger, then the nearest smaller;
// then the deeper colour.
uint64_t Rank(const IconImage& image, uint32_t want) noexcept {
    uint32_t side = image.width > image.height ? image.width : image.height;
    uint64_t kind, distance;
    if (image.width == want && image.height == want) {
        kind = 0, distance = 0;
    } else if (side >= want) {
        kind = 1, distance = side - want;
    } else {
        kind = 2, distance = want - side;
    }
    return (kind << 48) | (distance << 16) | uint64_t(64 - image.bitCount);
}

}  // namespace

bool PickIconImage(ByteSpan chunk, int size, IconImage* image) noexcept {
    const uint8_t* p = chunk.data;
    if (!p || chunk.size < kDirHeader) return false;
    uint16_t type = Le16(p + 2), count = Le16(p + 4);
    if (Le16(p) != 0 || (type != 1 && type != 2) || count == 0) return false;
    if (count > (chunk.size - kDirHeader) / kDirEntry) return false;

    bool found = false;
    uint64_t bestRank = 0;
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* entry = p + kDirHeader + size_t(i) * kDirEntry;
        uint32_t bytes = Le32(entry + 8), offset = Le32(entry + 12);
        if (offset > chunk.size || bytes > chunk.size - offset) continue;
        IconImage candidate;
        if (!CheckPng(p + offset, bytes, &candidate) && !CheckDib(p + offset, bytes, &candidate)) continue;
        uint64_t rank = Rank(candidate, uint32_t(size));
        if (!found || rank < bestRank) {
            *image = candidate;
            bestRank = rank;
            found = true;
        }
    }
    return found;
}

}  // namespace fx::ani
