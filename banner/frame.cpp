#include "frame.h"

#include "fx/handles.h"
#include "scroll.h"

namespace banner {

bool PaintFrame(HDC dc, HBITMAP bitmap, LONG mode, LONG& position, int clientHeight) noexcept {
    BITMAP info{};
    if (!dc || !bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info) return false;
    const FramePlan plan = PlanFrame(mode, position, info.bmWidth, info.bmHeight, clientHeight);
    position = plan.nextPosition;
    if (!plan.greyStrip && plan.fillCount == 0 && plan.copyCount == 0) return false;

    if (plan.greyStrip || plan.fillCount > 0) {
        fx::SelectScope brush(dc, GetStockObject(GRAY_BRUSH));
        if (plan.greyStrip) PatBlt(dc, 0, 0, kStripWidth, clientHeight, PATCOPY);
        for (int i = 0; i < plan.fillCount; ++i) {
            const Fill& f = plan.fills[i];
            PatBlt(dc, f.x, f.y, f.width, f.height, PATCOPY);
        }
    }
    if (plan.copyCount > 0) {
        fx::UniqueMemDC memory(CreateCompatibleDC(dc));
        if (!memory) return false;
        fx::SelectScope selected(memory.get(), bitmap);
        for (int i = 0; i < plan.copyCount; ++i) {
            const BlockCopy& c = plan.copies[i];
            BitBlt(dc, c.dstX, c.dstY, c.width, c.height, memory.get(), c.srcX, c.srcY, SRCCOPY);
        }
    }
    return true;
}

}  // namespace banner
