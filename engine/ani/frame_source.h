// Turns a chosen icon image into a frame of the animation's size, either through
// the shared temporary file "fxtmp.ico" or straight from memory.
#pragma once
#include <windows.h>
#include "ani_reader.h"
#include "fx/handles.h"
#include "frame_strip.h"
#include "icon_image.h"

namespace fx::ani {

class FrameSource {
public:
    // Auto takes the temporary file only when no other reader in the session holds
    // it; TempFile waits for it; Memory never touches it.
    FrameSource(int iconSize, AniFrameSource route) noexcept;
    FrameSource(const FrameSource&) = delete;
    FrameSource& operator=(const FrameSource&) = delete;
    ~FrameSource();

    // Adds the image to the strip. Whichever route is taken, an image either loads
    // on both or on neither, and looks the same.
    Added Add(const IconImage& image, FrameStrip* strip) noexcept;

private:
    UniqueIcon FromTempFile(const IconImage& image) noexcept;
    UniqueIcon FromMemory(const IconImage& image) const noexcept;

    int size_;
    UniqueHandleK lock_;  // the session-wide mutex guarding the temporary file
    bool ownsFile_ = false;
    char path_[MAX_PATH] = {};
};

}  // namespace fx::ani
