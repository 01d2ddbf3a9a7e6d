// anidump: runs the engine's ANI reader on one file and prints what a player would
// get, as one JSON object:
//   {"frameCount": N, "stepCount": N, "images": N, "steps": [[frame, rate], ...]}
// A refused file prints "refused: REASON" and exits with 1.
//   usage: anidump [--size PIXELS] FILE      (icon size, 32 by default)
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "ani_reader.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: anidump [--size PIXELS] FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    fx::AniLoadOptions options;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            options.iconSize = std::atoi(argv[++i]);
        } else if (!path) {
            path = argv[i];
        } else {
            return Usage();
        }
    }
    if (!path) return Usage();

    fx::AniAnimation anim;
    fx::AniError why = fx::AniError::None;
    if (!fx::LoadAniFile(path, options, &anim, &why)) {
        std::printf("refused: %s\n", fx::AniErrorText(why));
        return 1;
    }
    int images = anim.frames ? ImageList_GetImageCount(anim.frames) : 0;
    std::printf("{\"frameCount\": %u, \"stepCount\": %u, \"images\": %d, \"steps\": [", unsigned(anim.frameCount),
                unsigned(anim.stepCount), images);
    for (uint32_t i = 0; i < anim.stepCount; ++i)
        std::printf("%s[%u, %u]", i ? ", " : "", unsigned(anim.steps[i].frame), unsigned(anim.steps[i].rate));
    std::printf("]}\n");
    fx::FreeAniAnimation(&anim);
    return 0;
}
