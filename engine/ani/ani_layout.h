// The structure of an ANI file image, found without creating anything: where the
// header, "seq ", "rate" and the frames are. Every span lies inside the chunk that
// holds it; callers never look outside a span.
#pragma once
#include <cstddef>
#include <cstdint>
#include "ani_reader.h"

namespace fx::ani {

struct ByteSpan {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

inline uint16_t Le16(const uint8_t* p) noexcept { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p) noexcept {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint32_t Be32(const uint8_t* p) noexcept {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

struct AniLayout {
    bool hasHeader = false;  // an "anih" chunk was found
    uint32_t frameCount = 0;
    uint32_t stepCount = 0;
    uint32_t defaultRate = 0;
    ByteSpan seq;   // data of "seq " (data == nullptr when absent)
    ByteSpan rate;  // data of "rate"
    ByteSpan fram;  // contents of the "fram" list after its list type
};

// Some writers store the file's size as the RIFF size, 8 bytes more than it holds;
// such files load as cursors elsewhere, so a RIFF may overshoot the file by this
// much. A larger overshoot is a cut file and is refused.
constexpr size_t kRiffSlack = 8;

// Finds the RIFF "ACON" chunk the way mmioDescend(MMIO_FINDRIFF) does (top-level
// chunks from the start of the file) and checks every child.
AniError ParseAniLayout(ByteSpan file, AniLayout* layout) noexcept;

// Checks that the "fram" list starts with frameCount "icon" chunks, each inside
// the list, and trims layout->fram to them: later chunks are never looked at.
AniError CheckFrameChunks(AniLayout* layout) noexcept;

// Walks the "icon" chunks of a "fram" list that ParseAniLayout accepted.
class IconChunks {
public:
    explicit IconChunks(ByteSpan fram) noexcept : pos_(fram.data), end_(fram.data + fram.size) {}
    // The next "icon" chunk's data, or false at the end of the list.
    bool Next(ByteSpan* icon) noexcept;

private:
    const uint8_t* pos_;
    const uint8_t* end_;
};

}  // namespace fx::ani
