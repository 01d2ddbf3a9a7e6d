#include "ani_reader.h"

#include <mmsystem.h>
#include <cstring>
#include "ani_layout.h"
#include "frame_source.h"
#include "fx/handles.h"
#include "fx/image_list.h"
#include "fx/log.h"
#include "icon_image.h"

namespace fx {
namespace {

using ani::ByteSpan;

// A block of the process heap; HeapAlloc reports failure instead of throwing.
class HeapBlock {
public:
    HeapBlock() noexcept = default;
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    ~HeapBlock() { reset(); }
    bool allocate(size_t bytes) noexcept {
        reset();
        p_ = ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, bytes ? bytes : 1);  // a 0-byte file still gets a buffer
        return p_ != nullptr;
    }
    void* get() const noexcept { return p_; }
    void* release() noexcept {
        void* p = p_;
        p_ = nullptr;
        return p;
    }
    void reset() noexcept {
        if (p_) ::HeapFree(::GetProcessHeap(), 0, p_);
        p_ = nullptr;
    }

private:
    void* p_ = nullptr;
};

struct MmioTraits {
    using type = HMMIO;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::mmioClose(h, 0); }
};
using UniqueMmio = UniqueHandle<MmioTraits>;

// mmioOpen documents 128 characters as its limit (the OFSTRUCT path buffer).
constexpr size_t kMmioPathLimit = 128;

AniError ReadWithMmio(const char* path, HeapBlock* buffer, size_t* size) noexcept {
    char name[kMmioPathLimit];
    std::memcpy(name, path, std::strlen(path) + 1);
    UniqueMmio file(::mmioOpenA(name, nullptr, MMIO_READ));
    if (!file) return AniError::CannotOpen;
    LONG length = ::mmioSeek(file.get(), 0, SEEK_END);
    if (length < 0 || ::mmioSeek(file.get(), 0, SEEK_SET) != 0) return AniError::CannotOpen;
    if (uint32_t(length) > kAniMaxFileBytes) return AniError::FileTooLarge;
    if (!buffer->allocate(size_t(length))) return AniError::OutOfMemory;
    if (length > 0 && ::mmioRead(file.get(), static_cast<HPSTR>(buffer->get()), length) != length)
        return AniError::CannotOpen;
    *size = size_t(length);
    return AniError::None;
}

AniError ReadWithCreateFile(const char* path, HeapBlock* buffer, size_t* size) noexcept {
    UniqueFile file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return AniError::CannotOpen;
    LARGE_INTEGER length;
    if (!::GetFileSizeEx(file.get(), &length) || length.QuadPart < 0) return AniError::CannotOpen;
    if (uint64_t(length.QuadPart) > kAniMaxFileBytes) return AniError::FileTooLarge;
    DWORD want = DWORD(length.QuadPart), got = 0;
    if (!buffer->allocate(want)) return AniError::OutOfMemory;
    if (want > 0 && (!::ReadFile(file.get(), buffer->get(), want, &got, nullptr) || got != want))
        return AniError::CannotOpen;
    *size = want;
    return AniError::None;
}

bool Fail(AniError reason, AniError* error) noexcept {
    if (error) *error = reason;
    return false;
}

uint32_t ClampRate(uint32_t rate) noexcept {
    return rate < kAniMinRate ? kAniMinRate : rate > kAniMaxRate ? kAniMaxRate : rate;
}

bool ValidArguments(const AniLoadOptions& options, const AniAnimation* anim) noexcept {
    return anim && !anim->steps && !anim->frames && anim->stepCount == 0 && anim->frameCount == 0 &&
           options.iconSize >= 1 && options.iconSize <= kAniMaxIconSize;
}

AniError Load(ByteSpan file, const AniLoadOptions& options, AniAnimation* anim) noexcept {
    if (file.size > kAniMaxFileBytes) return AniError::FileTooLarge;
    ani::AniLayout layout;
    if (AniError e = ani::ParseAniLayout(file, &layout); e != AniError::None) return e;
    if (!layout.hasHeader) return AniError::None;  // stays empty

    uint64_t side = uint64_t(options.iconSize);
    if (uint64_t(layout.frameCount) * side * side > kAniMaxFramePixels) return AniError::TooManyFrames;
    if (AniError e = ani::CheckFrameChunks(&layout); e != AniError::None) return e;

    // Steps: frame i at the default rate, then "seq " and "rate" for as many values
    // as they hold; values beyond the step count are ignored.
    HeapBlock stepBlock;
    if (uint64_t(layout.stepCount) * sizeof(AniStep) > SIZE_MAX) return AniError::TooManySteps;
    if (layout.stepCount > 0 && !stepBlock.allocate(size_t(layout.stepCount) * sizeof(AniStep)))
        return AniError::OutOfMemory;
    auto* steps = static_cast<AniStep*>(stepBlock.get());
    for (uint32_t i = 0; i < layout.stepCount; ++i) steps[i] = {i, layout.defaultRate};
    size_t seqValues = layout.seq.size / 4, rateValues = layout.rate.size / 4;
    for (size_t i = 0; i < seqValues && i < layout.stepCount; ++i) steps[i].frame = ani::Le32(layout.seq.data + 4 * i);
    for (size_t i = 0; i < rateValues && i < layout.stepCount; ++i) steps[i].rate = ani::Le32(layout.rate.data + 4 * i);
    for (uint32_t i = 0; i < layout.stepCount; ++i) steps[i].rate = ClampRate(steps[i].rate);

    // Frames: the list is sized by the images that can load, so a header that
    // promises many frames costs nothing until their bytes are there.
    uint32_t usable = 0;
    ani::IconImage image;
    ani::ByteSpan chunk;
    for (ani::IconChunks it(layout.fram); it.Next(&chunk);)
        if (ani::PickIconImage(chunk, options.iconSize, &image)) ++usable;
    UniqueImageList frames(::ImageList_Create(options.iconSize, options.iconSize, ILC_MASK | ILC_COLOR32,
                                              int(usable), 0));
    if (!frames) return AniError::OutOfMemory;
    if (usable > 0) {
        ani::FrameSource source(options.iconSize, options.source);
        ani::FrameStrip strip(frames.get(), options.iconSize, usable);
        for (ani::IconChunks it(layout.fram); it.Next(&chunk);) {
            if (!ani::PickIconImage(chunk, options.iconSize, &image)) continue;
            // A frame that does not load adds no image: later frames move down.
            if (source.Add(image, &strip) == ani::Added::NoResources) return AniError::OutOfMemory;
        }
        if (!strip.Finish()) return AniError::OutOfMemory;
    }

    anim->stepCount = layout.stepCount;
    anim->frameCount = layout.frameCount;
    anim->frames = frames.release();
    anim->steps = static_cast<AniStep*>(stepBlock.release());
    return AniError::None;
}

}  // namespace

const char* AniErrorText(AniError error) noexcept {
    switch (error) {
    case AniError::None: return "none";
    case AniError::BadArgument: return "bad argument";
    case AniError::CannotOpen: return "cannot open or read the file";
    case AniError::FileTooLarge: return "file too large";
    case AniError::NotAni: return "no RIFF ACON chunk";
    case AniError::ChunkPastEnd: return "chunk reaches past its parent";
    case AniError::ShortHeader: return "anih shorter than 36 bytes";
    case AniError::DuplicateChunk: return "duplicate anih, seq, rate or fram chunk";
    case AniError::TooManyFrames: return "frame count beyond what the file can hold";
    case AniError::TooManySteps: return "step count beyond what the file can describe";
    case AniError::MissingFrames: return "fewer icon chunks than frames";
    case AniError::OutOfMemory: return "out of memory";
    }
    return "unknown";
}

bool LoadAniMemory(const void* data, size_t size, const AniLoadOptions& options, AniAnimation* anim,
                   AniError* error) noexcept {
    if (error) *error = AniError::None;
    if (!ValidArguments(options, anim) || (!data && size)) return Fail(AniError::BadArgument, error);
    AniError e = Load({static_cast<const uint8_t*>(data), size}, options, anim);
    return e == AniError::None || Fail(e, error);
}

bool LoadAniFile(const char* path, const AniLoadOptions& options, AniAnimation* anim, AniError* error) noexcept {
    if (error) *error = AniError::None;
    if (!path || !ValidArguments(options, anim)) return Fail(AniError::BadArgument, error);
    HeapBlock buffer;
    size_t size = 0;
    // mmio first, for its search rules on bare names; CreateFile for what mmio cannot
    // open (long paths, and names that mmio parses, such as "+" compound-file syntax).
    AniError e = std::strlen(path) < kMmioPathLimit ? ReadWithMmio(path, &buffer, &size) : AniError::CannotOpen;
    if (e == AniError::CannotOpen) e = ReadWithCreateFile(path, &buffer, &size);
    if (e == AniError::None) e = Load({static_cast<const uint8_t*>(buffer.get()), size}, options, anim);
    if (e != AniError::None) FX_LOG("ANI file refused: %s (%s)", path, AniErrorText(e));
    return e == AniError::None || Fail(e, error);
}

bool LoadAniFile(const char* path, int iconSize, AniAnimation* anim, AniError* error) noexcept {
    AniLoadOptions options;
    options.iconSize = iconSize;
    return LoadAniFile(path, options, anim, error);
}

void FreeAniAnimation(AniAnimation* anim) noexcept {
    if (!anim) return;
    if (anim->steps) ::HeapFree(::GetProcessHeap(), 0, anim->steps);
    if (anim->frames) ::ImageList_Destroy(anim->frames);
    *anim = AniAnimation{};
}

}  // namespace fx
