#include "scroll.h"

#include <algorithm>

namespace banner {
namespace {

// Adds a copy after cutting it to the bitmap (bw x bh) and to the strip
// (kStripWidth x clientHeight); a copy with nothing left is dropped.
void AddCopy(FramePlan& plan, BlockCopy c, int bw, int bh, int clientHeight) noexcept {
    auto cut = [](int& src, int& dst, int& len, int srcLimit, int dstLimit) {
        if (src < 0) { dst -= src; len += src; src = 0; }
        if (dst < 0) { src -= dst; len += dst; dst = 0; }
        len = std::min({len, srcLimit - src, dstLimit - dst});
    };
    cut(c.srcX, c.dstX, c.width, bw, kStripWidth);
    cut(c.srcY, c.dstY, c.height, bh, clientHeight);
    if (c.width > 0 && c.height > 0 && plan.copyCount < 2) plan.copies[plan.copyCount++] = c;
}

void AddFill(FramePlan& plan, Fill f, int clientHeight) noexcept {
    int top = std::max(f.y, 0), bottom = std::min(f.y + f.height, clientHeight);
    int left = std::max(f.x, 0), right = std::min(f.x + f.width, kStripWidth);
    if (right > left && bottom > top && plan.fillCount < 2) plan.fills[plan.fillCount++] = {left, top, right - left, bottom - top};
}

// The band of `step` lines that a banner of `size` lines, now at `position` in a
// loop of `period` lines, has just uncovered: the lines after its end, wrapping to
// the start of the loop. Never more than the gap between two turns of the banner.
void UncoveredBand(int position, int size, int step, int period, int* starts, int* lengths, int* count) noexcept {
    int length = std::min(step, period - size);
    int start = ((position + size) % period + period) % period;
    *count = 0;
    if (length <= 0) return;
    int first = std::min(length, period - start);
    starts[0] = start;
    lengths[(*count)++] = first;
    if (first < length) {
        starts[1] = 0;
        lengths[(*count)++] = length - first;
    }
}

// Mode 1, bitmap narrower than the strip: the strip is a loop of 21 columns in which
// the bitmap moves left by one column per tick.
void PlanNarrowHorizontal(FramePlan& plan, LONG pos, int w, int h, int b) noexcept {
    const int y = b - h;
    if (pos == kFirstFrame || pos <= -w || pos > kStripWidth - w) {
        pos = 0;
        plan.greyStrip = true;
    } else {
        int starts[2], lengths[2], n;
        UncoveredBand(pos, w, 1, kStripWidth, starts, lengths, &n);
        for (int i = 0; i < n; ++i) AddFill(plan, {starts[i], y, lengths[i], h}, b);
    }
    AddCopy(plan, {0, 0, w, h, static_cast<int>(pos), y}, w, h, b);
    // What has left on the left comes in again on the right.
    if (pos < 0) AddCopy(plan, {0, 0, static_cast<int>(-pos), h, static_cast<int>(pos) + kStripWidth, y}, w, h, b);
    LONG next = pos - 1;
    if (next <= -w) next += kStripWidth;
    plan.nextPosition = next;
}

// Mode 1, bitmap at least as wide as the strip: a 21-column window onto the bitmap
// that moves right by one column per tick, the bitmap's start following its end.
void PlanWideHorizontal(FramePlan& plan, LONG pos, int w, int h, int b) noexcept {
    const int y = b - h;
    if (pos == kFirstFrame || pos < 0 || pos >= w) {
        pos = 0;
        plan.greyStrip = true;
    }
    const int p = static_cast<int>(pos);
    AddCopy(plan, {p, 0, kStripWidth, h, 0, y}, w, h, b);
    if (p > w - kStripWidth) AddCopy(plan, {0, 0, p - w + kStripWidth, h, w - p, y}, w, h, b);
    LONG next = pos + 1;
    if (next >= w) next -= w;
    plan.nextPosition = next;
}

// Mode 2, bitmap shorter than the client area: the strip is a loop of clientHeight
// rows in which the bitmap moves up by two rows per tick.
void PlanShortVertical(FramePlan& plan, LONG pos, int w, int h, int b) noexcept {
    const int cw = std::min(w, kStripWidth);
    if (pos == kFirstFrame || pos <= -h || pos > b - h) {
        pos = b - h;
        plan.greyStrip = true;
    } else {
        int starts[2], lengths[2], n;
        UncoveredBand(pos, h, 2, b, starts, lengths, &n);
        for (int i = 0; i < n; ++i) AddFill(plan, {0, starts[i], cw, lengths[i]}, b);
    }
    const int p = static_cast<int>(pos);
    AddCopy(plan, {0, 0, cw, h, 0, p}, w, h, b);
    // What has left at the top comes in again at the bottom.
    if (p < 0) AddCopy(plan, {0, 0, cw, -p, 0, b + p}, w, h, b);
    // Adding the loop's length keeps the step at two rows across the wrap.
    LONG next = pos - 2;
    if (next <= -h) next += b;
    plan.nextPosition = next;
}

// Mode 2, bitmap at least as tall as the client area: a window of clientHeight rows
// onto the bitmap that moves down by two rows per tick.
void PlanTallVertical(FramePlan& plan, LONG pos, int w, int h, int b) noexcept {
    const int cw = std::min(w, kStripWidth);
    if (pos == kFirstFrame || pos < 0 || pos >= h) {
        pos = 0;
        plan.greyStrip = true;
    }
    const int p = static_cast<int>(pos);
    AddCopy(plan, {0, p, cw, h - p, 0, 0}, w, h, b);
    if (p > h - b) AddCopy(plan, {0, 0, cw, b - h + p, 0, h - p}, w, h, b);
    // An odd height is passed over, not landed on: wrap by subtracting it.
    LONG next = pos + 2;
    if (next >= h) next -= h;
    plan.nextPosition = next;
}

}  // namespace

FramePlan PlanFrame(LONG mode, LONG position, int bitmapWidth, int bitmapHeight, int clientHeight) noexcept {
    FramePlan plan;
    plan.nextPosition = position;
    const int w = bitmapWidth, h = bitmapHeight, b = clientHeight;
    if (w <= 0 || h <= 0 || b <= 0) return plan;
    switch (mode) {
    case kStill:
        // Bottom-aligned, leftmost columns; the position is not used.
        AddCopy(plan, {0, 0, kStripWidth, h, 0, b - h}, w, h, b);
        break;
    case kHorizontal:
        if (w < kStripWidth) PlanNarrowHorizontal(plan, position, w, h, b);
        else PlanWideHorizontal(plan, position, w, h, b);
        break;
    case kVertical:
        if (h < b) PlanShortVertical(plan, position, w, h, b);
        else PlanTallVertical(plan, position, w, h, b);
        break;
    default:
        break;
    }
    return plan;
}

UINT TimerPeriod(LONG speed) noexcept {
    if (speed < 1 || speed > 6) speed = 2;
    return static_cast<UINT>(56 * speed - 55);
}

LONG ResolveMode(LONG mode, unsigned randomValue) noexcept {
    return mode == kRandomDirection ? static_cast<LONG>(randomValue % 2) + 1 : mode;
}

}  // namespace banner
