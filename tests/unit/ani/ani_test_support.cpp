#include "ani_test_support.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <iomanip>

namespace fxtest::ani {
namespace {

struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int side = 0;
    explicit Canvas(int s) : side(s) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = s;
        bi.bmiHeader.biHeight = -s;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

}  // namespace

std::vector<uint32_t> DrawnPixels(int side, uint32_t background, const std::function<void(HDC)>& draw) {
    Canvas canvas(side);
    std::fill(canvas.bits, canvas.bits + size_t(side) * side, background);
    draw(canvas.dc);
    GdiFlush();
    std::vector<uint32_t> pixels(canvas.bits, canvas.bits + size_t(side) * side);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

std::vector<uint32_t> ImagePixels(HIMAGELIST list, int index, uint32_t background) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    return DrawnPixels(cx, background, [&](HDC dc) { ImageList_Draw(list, index, dc, 0, 0, ILD_TRANSPARENT); });
}

uint32_t ImageColor(HIMAGELIST list, int index) {
    std::vector<uint32_t> pixels = ImagePixels(list, index);
    int side = 0, cy = 0;
    ImageList_GetIconSize(list, &side, &cy);
    return pixels.empty() ? 0 : pixels[size_t(side / 2) * side + side / 2];
}

Outcome Take(bool loaded, fx::AniError error, fx::AniAnimation* anim) {
    Outcome o;
    o.loaded = loaded;
    o.error = error;
    o.frameCount = anim->frameCount;
    o.stepCount = anim->stepCount;
    for (uint32_t i = 0; i < anim->stepCount; ++i) o.steps.emplace_back(anim->steps[i].frame, anim->steps[i].rate);
    if (anim->frames) {
        int cy = 0;
        ImageList_GetIconSize(anim->frames, &o.imageSide, &cy);
        EXPECT_EQ(o.imageSide, cy);
        for (int i = 0; i < ImageList_GetImageCount(anim->frames); ++i) o.colors.push_back(ImageColor(anim->frames, i));
    }
    fx::FreeAniAnimation(anim);
    EXPECT_TRUE(anim->steps == nullptr && anim->frames == nullptr && anim->stepCount == 0 && anim->frameCount == 0);
    return o;
}

Outcome LoadPath(const std::string& path, int iconSize, fx::AniFrameSource source) {
    fx::AniLoadOptions options;
    options.iconSize = iconSize;
    options.source = source;
    fx::AniAnimation anim;
    fx::AniError error = fx::AniError::None;
    bool loaded = fx::LoadAniFile(path.c_str(), options, &anim, &error);
    if (!loaded) {
        EXPECT_TRUE(anim.steps == nullptr && anim.frames == nullptr && anim.stepCount == 0 && anim.frameCount == 0)
            << "a refused load must leave the record empty";
    }
    return Take(loaded, error, &anim);
}

Outcome LoadBytes(const Bytes& file, int iconSize, fx::AniFrameSource source) {
    std::string path = WriteTempFile(file, "fxani_test_case.ani");
    EXPECT_FALSE(path.empty());
    return LoadPath(path, iconSize, source);
}

std::string RealFilesDir() {
    std::string dir = "Z:" FX_ANI_REAL_DIR;
    DWORD attributes = GetFileAttributesA(dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? dir : std::string();
}

std::vector<std::string> RealFiles() {
    std::vector<std::string> files;
    std::string dir = RealFilesDir();
    if (dir.empty()) return files;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "\\*.ani").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return files;
    do files.push_back(dir + "\\" + fd.cFileName);
    while (FindNextFileA(find, &fd));
    FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
}

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    if (!o.loaded) return os << "refused (" << fx::AniErrorText(o.error) << ")";
    os << "frames " << o.frameCount << ", steps [";
    for (auto& s : o.steps) os << "[" << s.first << "," << s.second << "]";
    os << "], images [" << std::hex;
    for (uint32_t c : o.colors) os << " " << std::setw(6) << std::setfill('0') << c;
    return os << std::dec << " ] at " << o.imageSide << " px";
}

}  // namespace fxtest::ani
