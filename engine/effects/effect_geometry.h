// Where each step of the launch and minimize/restore effects draws: plain
// arithmetic, kept apart from the drawing so it can be checked without a screen.
#pragma once
#include <windows.h>

namespace engine {

inline constexpr int kLaunchSteps = 16;
inline constexpr DWORD kLaunchStepDelayMs = 50;
inline constexpr int kZoomSteps = 12;    // minimize/restore "Rectangle" and "Circular"
inline constexpr DWORD kZoomStepDelayMs = 15;
inline constexpr int kRotateSteps = 10;  // minimize/restore "Rotate"
inline constexpr DWORD kRotateStepDelayMs = 30;

// Launch styles; 5 plays an animation file instead and is not drawn here.
enum LaunchStyle : int { kPivot = 1, kFlip = 2, kSquash = 3, kMoveUp = 4, kLaunchAni = 5 };
// Minimize/restore styles; 1 is the system's own animation.
enum MinMaxStyle : int { kSystemDefault = 1, kZoomRectangle = 2, kZoomEllipse = 3, kRotate = 4 };

// One step of an icon stretch: which part of the icon's images goes where in a
// work square of the icon's size. A negative extent mirrors the image.
struct StretchStep {
    bool draws = false;  // false for a style that draws nothing
    int dstX = 0, dstY = 0, dstW = 0, dstH = 0;
    int srcX = 0, srcY = 0, srcW = 0, srcH = 0;
};

// Step k (1..16) of launch style 1..4 for an icon of width by height pixels.
// Offsets are taken as k/8 (turns) or k/16 (squash, move up) of the side, so
// every size ends where a 32-pixel icon does: a full turn back to the icon, or
// the icon gone from its square.
StretchStep LaunchStep(int style, int width, int height, int k) noexcept;

// Step k of the outline travelling from `from` towards `to` in `steps` steps:
// each side moves by (from - to) / steps, truncated, per step, so a side that
// differs by less than `steps` stays where it is.
RECT OutlineStep(const RECT& from, const RECT& to, int steps, int k) noexcept;

// The four corners of `r` (left-top, right-top, right-bottom, left-bottom) turned
// clockwise on screen by 36 * k degrees about the rectangle's centre, truncated
// towards zero.
void RotatedCorners(const RECT& r, int k, POINT out[4]) noexcept;

}  // namespace engine
