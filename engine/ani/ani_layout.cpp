#include "ani_layout.h"

#include <cstring>

namespace fx::ani {
namespace {

constexpr size_t kChunkHeader = 8;
constexpr size_t kAnihBytes = 36;

bool IdIs(const uint8_t* p, const char (&id)[5]) noexcept { return std::memcmp(p, id, 4) == 0; }

// One chunk header at `pos`, bounded by `end`. Sizes are 32-bit and the span may be
// up to the whole address space on 32-bit builds, so everything is compared as
// remaining lengths, never as pointer sums that could wrap.
struct Chunk {
    const uint8_t* id;
    const uint8_t* data;
    size_t size;
    const uint8_t* next;  // after the data and its pad byte, never beyond `end`
};

enum class ChunkRead { Ok, NoRoom, PastEnd };

ChunkRead ReadChunk(const uint8_t* pos, const uint8_t* end, Chunk* c) noexcept {
    size_t room = size_t(end - pos);
    if (room < kChunkHeader) return ChunkRead::NoRoom;
    uint32_t size = Le32(pos + 4);
    if (size > room - kChunkHeader) return ChunkRead::PastEnd;
    c->id = pos;
    c->data = pos + kChunkHeader;
    c->size = size;
    size_t step = kChunkHeader + size;
    // The pad byte after an odd size may be missing at the very end.
    if ((size & 1) && step < room) ++step;
    c->next = pos + step;
    return ChunkRead::Ok;
}

}  // namespace

bool IconChunks::Next(ByteSpan* icon) noexcept {
    Chunk c;
    while (ReadChunk(pos_, end_, &c) == ChunkRead::Ok) {
        pos_ = c.next;
        if (IdIs(c.id, "icon")) {
            *icon = {c.data, c.size};
            return true;
        }
    }
    pos_ = end_;
    return false;
}

AniError ParseAniLayout(ByteSpan file, AniLayout* layout) noexcept {
    *layout = AniLayout{};
    if (!file.data) return AniError::NotAni;
    const uint8_t* end = file.data + file.size;

    // The RIFF "ACON": other top-level chunks (and RIFFs of other forms) are skipped.
    const uint8_t* riffData = nullptr;
    const uint8_t* riffEnd = nullptr;
    for (const uint8_t* pos = file.data; size_t(end - pos) >= kChunkHeader + 4;) {
        uint32_t size = Le32(pos + 4);
        size_t room = size_t(end - pos) - kChunkHeader;
        if (IdIs(pos, "RIFF") && IdIs(pos + 8, "ACON") && size >= 4) {
            if (size > room && size - room > kRiffSlack) return AniError::ChunkPastEnd;
            riffData = pos + kChunkHeader + 4;
            riffEnd = pos + kChunkHeader + (size < room ? size : room);
            break;
        }
        if (size >= room) break;
        pos += kChunkHeader + size + (size & 1);
    }
    if (!riffData) return AniError::NotAni;

    bool haveSeq = false, haveRate = false, haveFram = false;
    for (const uint8_t* pos = riffData; pos < riffEnd;) {
        Chunk c;
        ChunkRead r = ReadChunk(pos, riffEnd, &c);
        if (r == ChunkRead::NoRoom) break;  // a few trailing bytes hold no chunk
        if (r == ChunkRead::PastEnd) return AniError::ChunkPastEnd;
        pos = c.next;

        if (IdIs(c.id, "anih")) {
            // A second header would size the arrays by one count and fill them by another.
            if (layout->hasHeader) return AniError::DuplicateChunk;
            if (c.size < kAnihBytes) return AniError::ShortHeader;
            layout->hasHeader = true;
            layout->frameCount = Le32(c.data + 4);
            layout->stepCount = Le32(c.data + 8);
            layout->defaultRate = Le32(c.data + 28);
        } else if (IdIs(c.id, "seq ")) {
            if (haveSeq) return AniError::DuplicateChunk;
            haveSeq = true;
            layout->seq = {c.data, c.size};
        } else if (IdIs(c.id, "rate")) {
            if (haveRate) return AniError::DuplicateChunk;
            haveRate = true;
            layout->rate = {c.data, c.size};
        } else if (IdIs(c.id, "LIST") && c.size >= 4 && IdIs(c.data, "fram")) {
            if (haveFram) return AniError::DuplicateChunk;
            haveFram = true;
            layout->fram = {c.data + 4, c.size - 4};
        }
    }
    if (!layout->hasHeader) {
        // Nothing to animate (e.g. only "LIST" "INFO"): an empty animation.
        *layout = AniLayout{};
        return AniError::None;
    }

    // Each frame needs at least a chunk header, each step at least a "seq " or
    // "rate" entry or a frame of its own: anything larger was not written by anyone.
    size_t riffBytes = size_t(riffEnd - riffData);
    if (layout->frameCount > riffBytes / kChunkHeader) return AniError::TooManyFrames;
    if (layout->stepCount > riffBytes / 4) return AniError::TooManySteps;

    return AniError::None;
}

AniError CheckFrameChunks(AniLayout* layout) noexcept {
    uint32_t found = 0;
    const uint8_t* pos = layout->fram.data;
    const uint8_t* end = pos ? pos + layout->fram.size : nullptr;
    while (found < layout->frameCount) {
        Chunk c;
        ChunkRead r = pos ? ReadChunk(pos, end, &c) : ChunkRead::NoRoom;
        if (r == ChunkRead::NoRoom) return AniError::MissingFrames;
        if (r == ChunkRead::PastEnd) return AniError::ChunkPastEnd;
        if (IdIs(c.id, "icon")) ++found;
        pos = c.next;
    }
    if (pos) layout->fram.size = size_t(pos - layout->fram.data);
    return AniError::None;
}

}  // namespace fx::ani
