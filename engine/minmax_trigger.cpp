#include "minmax_trigger.h"

namespace engine {

MinMaxChange DetectMinMaxChange(int seenIconic, bool iconicNow, const RECT& before, SIZE minimizedSize) noexcept {
    bool wasIconic;
    if (seenIconic >= 0) {
        wasIconic = seenIconic != 0;
    } else {
        const bool parked = before.left <= -32000 && before.top <= -32000;
        const bool iconSized =
            before.right - before.left == minimizedSize.cx && before.bottom - before.top == minimizedSize.cy;
        wasIconic = parked || iconSized;
    }
    if (iconicNow && !wasIconic) return MinMaxChange::kMinimize;
    if (!iconicNow && wasIconic) return MinMaxChange::kRestore;
    return MinMaxChange::kNone;
}

}  // namespace engine
