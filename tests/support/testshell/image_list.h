// Owning image list handle.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "fx/handles.h"

namespace testshell {

struct ImageListTraits {
    using type = HIMAGELIST;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ImageList_Destroy(h); }
};
using UniqueImageList = fx::UniqueHandle<ImageListTraits>;

// A copy of every icon of source drawn at size x size pixels.
UniqueImageList ScaledCopy(HIMAGELIST source, int size);

}  // namespace testshell
