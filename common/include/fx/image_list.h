// Owning wrapper for image lists (header only; users link comctl32).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "fx/handles.h"

namespace fx {

struct ImageListTraits {
    using type = HIMAGELIST;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::ImageList_Destroy(h); }
};
using UniqueImageList = UniqueHandle<ImageListTraits>;

}  // namespace fx
