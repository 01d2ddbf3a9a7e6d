#include "image_list.h"

namespace testshell {

UniqueImageList ScaledCopy(HIMAGELIST source, int size) {
    int count = ImageList_GetImageCount(source);
    UniqueImageList copy(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, count, 16));
    if (!copy) return copy;
    for (int i = 0; i < count; ++i) {
        fx::UniqueIcon icon(ImageList_GetIcon(source, i, ILD_NORMAL));
        // Keep indices aligned with the source even where an icon cannot be read.
        if (!icon || ImageList_ReplaceIcon(copy.get(), -1, icon.get()) < 0)
            ImageList_ReplaceIcon(copy.get(), -1, LoadIconW(nullptr, IDI_APPLICATION));
    }
    return copy;
}

}  // namespace testshell
