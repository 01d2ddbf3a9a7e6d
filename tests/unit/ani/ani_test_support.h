// What a load produced, in a form tests compare directly: the steps, and each
// image's colour (frames in tests are solid squares of one colour).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>
#include "ani_reader.h"
#include "ani_writer.h"

namespace fxtest::ani {

using Steps = std::vector<std::pair<uint32_t, uint32_t>>;  // (frame, rate)

struct Outcome {
    bool loaded = false;
    fx::AniError error = fx::AniError::None;
    uint32_t frameCount = 0, stepCount = 0;
    Steps steps;
    std::vector<uint32_t> colors;  // centre pixel of each image, 0xRRGGBB
    int imageSide = 0;             // 0 without an image list
};

// Draws image i on white and reads its centre pixel.
uint32_t ImageColor(HIMAGELIST list, int index);
// Every pixel of image i drawn as players draw it (ILD_TRANSPARENT) on a background.
std::vector<uint32_t> ImagePixels(HIMAGELIST list, int index, uint32_t background = 0xFFFFFF);
// The pixels (0xRRGGBB) of a side x side square filled with `background` after `draw`.
std::vector<uint32_t> DrawnPixels(int side, uint32_t background, const std::function<void(HDC)>& draw);

// Fills an Outcome from a record and frees it (checking that freeing empties it).
Outcome Take(bool loaded, fx::AniError error, fx::AniAnimation* anim);
Outcome LoadBytes(const Bytes& file, int iconSize = 32,
                  fx::AniFrameSource source = fx::AniFrameSource::Auto);
Outcome LoadPath(const std::string& path, int iconSize = 32,
                 fx::AniFrameSource source = fx::AniFrameSource::Auto);

// The folder of the real-world ANI files as Wine sees it (empty when absent).
std::string RealFilesDir();
std::vector<std::string> RealFiles();  // full paths, sorted

std::ostream& operator<<(std::ostream& os, const Outcome& o);

}  // namespace fxtest::ani
