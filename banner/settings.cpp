#include "settings.h"

#include "fx/text.h"

namespace banner {

bool FallbackPath(const char* moduleDirectory, const char* name, char* out, size_t cap) noexcept {
    if (!out || cap == 0) return false;
    // Without the module's own folder the path would be taken relative to the
    // shell's current folder.
    if (moduleDirectory && moduleDirectory[0] && fx::CopyText(out, cap, moduleDirectory) && fx::AppendText(out, cap, "banners\\") &&
        fx::AppendText(out, cap, name) && fx::AppendText(out, cap, ".bmp"))
        return true;
    out[0] = '\0';
    return false;
}

fx::UniqueBitmap LoadBitmapFile(const char* path) noexcept {
    if (!path || !path[0]) return {};
    fx::UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    BITMAP info{};
    if (bitmap && (GetObjectA(bitmap.get(), sizeof info, &info) != sizeof info || info.bmWidth <= 0 ||
                   info.bmHeight <= 0))
        bitmap.reset();
    return bitmap;
}

fx::UniqueBitmap LoadBanner(const char* moduleDirectory, const char* name) noexcept {
    fx::UniqueBitmap bitmap = LoadBitmapFile(name);
    if (bitmap) return bitmap;
    char path[MAX_PATH];
    if (!FallbackPath(moduleDirectory, name, path, sizeof path)) return {};
    return LoadBitmapFile(path);
}

}  // namespace banner
