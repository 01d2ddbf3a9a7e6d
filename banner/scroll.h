// What each frame of the banner paints, and where the next one starts: plain
// arithmetic, kept apart from the hook so it can be checked without a shell.
#pragma once
#include <windows.h>

namespace banner {

// The Start menu's side strip, in pixels.
inline constexpr int kStripWidth = 21;
// Position meaning "the first frame of this opening is not painted yet".
inline constexpr LONG kFirstFrame = -999;

enum Mode : LONG { kStill = 0, kHorizontal = 1, kVertical = 2, kRandomDirection = 3 };

// A grey area of the strip, in the menu window's client coordinates.
struct Fill {
    int x, y, width, height;
};

// One BitBlt: source rectangle in the bitmap, destination point in the menu window.
struct BlockCopy {
    int srcX, srcY, width, height, dstX, dstY;
};

struct FramePlan {
    // The whole strip (21 x client height) is filled grey first: the first frame of
    // a moving banner.
    bool greyStrip = false;
    // Grey bands where the banner was on the previous tick and is no longer; only a
    // banner smaller than the strip leaves any.
    int fillCount = 0;
    Fill fills[2] = {};
    int copyCount = 0;
    BlockCopy copies[2] = {};
    LONG nextPosition = kFirstFrame;
};

// The frame for the given movement mode and position, for a bitmap of the given
// size in a menu whose client area is clientHeight pixels high.
//
// Every copy lies inside both the bitmap and the strip. A position that does not fit
// the rule (kFirstFrame, or one left from another bitmap or mode) starts the cycle
// over as a first frame. Nothing is painted, and the position is kept, for an empty
// bitmap, an empty client area or a mode other than 0, 1 and 2.
FramePlan PlanFrame(LONG mode, LONG position, int bitmapWidth, int bitmapHeight, int clientHeight) noexcept;

// Timer period in milliseconds for a "BannerSpeed" value: 56 x speed - 55, with any
// speed outside 1..6 counting as 2.
UINT TimerPeriod(LONG speed) noexcept;

// "MoveBanner" 3 becomes 1 or 2 by the low bit of randomValue; others stay.
LONG ResolveMode(LONG mode, unsigned randomValue) noexcept;

}  // namespace banner
