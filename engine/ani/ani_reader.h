// ANI (RIFF "ACON") reader: turns an animated-cursor file into frame images at
// the caller's icon size plus a sequence of (frame, rate) steps for the players.
//
// The reader runs inside the shell's process, so every count and size in the file
// is treated as hostile: nothing is read outside the chunk it belongs to, counts
// that no file of that size could back are refused, and a failed load leaves the
// record empty with nothing allocated.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstddef>
#include <cstdint>

namespace fx {

// One step of the sequence. `rate` is in jiffies (1/60 s) and always lies in
// [kAniMinRate, kAniMaxRate], so a player can sleep 166 * rate / 10 ms in unsigned
// 32-bit arithmetic without wrapping and never spins on a zero rate.
struct AniStep {
    uint32_t frame;  // index into AniAnimation::frames; may name no image (then nothing is drawn)
    uint32_t rate;
};
static_assert(sizeof(AniStep) == 8, "the step array is a block of 8-byte steps");

// Filled by LoadAniFile, owned by the caller, released with FreeAniAnimation.
// Empty: both counts 0, no image list, no steps.
struct AniAnimation {
    uint32_t stepCount = 0;      // the header's step count
    uint32_t frameCount = 0;     // the header's frame count
    HIMAGELIST frames = nullptr; // masked 32-bit images, iconSize x iconSize, in "icon" chunk order
    AniStep* steps = nullptr;    // stepCount steps
};

// A zero rate would make a player redraw without sleeping; one jiffy is the floor.
constexpr uint32_t kAniMinRate = 1;
// One minute: a longer step would also delay a stop request (and the shell's unhook,
// which waits for every player) by that long.
constexpr uint32_t kAniMaxRate = 60 * 60;
// Windows icons are at most 256 pixels square.
constexpr int kAniMaxIconSize = 256;
// Pixels the frame images of one animation may take: 64 Mi (256 MB at 32 bpp);
// 65536 frames at 32 pixels, 1024 at 256.
constexpr uint64_t kAniMaxFramePixels = 64ull << 20;
// Larger files are refused before they are read; real animated cursors are far smaller.
constexpr uint32_t kAniMaxFileBytes = 64u << 20;

enum class AniError : uint32_t {
    None = 0,
    BadArgument,      // null path/record, a record that is not empty, icon size outside 1..256
    CannotOpen,       // the file does not open or cannot be read whole
    FileTooLarge,     // larger than kAniMaxFileBytes
    NotAni,           // no RIFF chunk of form type "ACON"
    ChunkPastEnd,     // a chunk reaches past the RIFF or "fram" list holding it, or the RIFF
                      // past the end of the file by more than 8 bytes
    ShortHeader,      // "anih" shorter than 36 bytes
    DuplicateChunk,   // a second "anih", "seq ", "rate" or "fram" list
    TooManyFrames,    // frame count no file of this size could hold, or beyond the pixel budget
    TooManySteps,     // step count no file of this size could describe
    MissingFrames,    // fewer "icon" chunks than the frame count (or no "fram" list)
    OutOfMemory,      // step array, image list or image could not be allocated
};

// Short English reason for tools and logs ("chunk reaches past its parent", ...).
const char* AniErrorText(AniError error) noexcept;

// The temporary icon file every reader of the session shares, and the named mutex
// (session-wide) that a reader holds while that file carries one of its frames.
constexpr char kAniTempFileName[] = "fxtmp.ico";
constexpr char kAniTempFileLock[] = "Local\\FxAniTempIconFile";

// How frame images are made. Auto writes each frame to "fxtmp.ico" in the temporary
// folder and loads it from there while no other reader (any thread, any process of
// the session) is using that file, and decodes from memory otherwise; the images are
// the same either way. The other two force one route (tests, benchmarks).
enum class AniFrameSource { Auto, TempFile, Memory };

struct AniLoadOptions {
    int iconSize = 32;
    AniFrameSource source = AniFrameSource::Auto;
};

// Reads an ANI file. `path` goes to mmioOpenA unchanged, so a bare name is searched
// for by that function's rules; paths mmio cannot open (128 characters or more,
// beyond its limit, or names it parses itself) are opened with CreateFileA. `anim` must be empty on entry. Returns true
// with the animation in `anim`, or false with `anim` empty and, when `error` is
// given, the reason in it.
bool LoadAniFile(const char* path, int iconSize, AniAnimation* anim, AniError* error = nullptr) noexcept;
bool LoadAniFile(const char* path, const AniLoadOptions& options, AniAnimation* anim,
                 AniError* error = nullptr) noexcept;

// The same reader over a file image already in memory (the bytes are only read).
bool LoadAniMemory(const void* data, size_t size, const AniLoadOptions& options, AniAnimation* anim,
                   AniError* error = nullptr) noexcept;

// Releases the step array and the image list and empties the record. Safe on an
// empty record.
void FreeAniAnimation(AniAnimation* anim) noexcept;

}  // namespace fx
