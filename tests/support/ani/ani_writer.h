// A small ANI writer for tests: frames from generated solid-colour images, optional
// "seq " and "rate", and a size override on every chunk, so each fixture is a few
// lines of a table instead of a stored blob.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace fxtest::ani {

using Bytes = std::vector<uint8_t>;

// Colours as 0xRRGGBB; frames in tests are told apart by colour.
constexpr uint32_t kRed = 0xE01010, kGreen = 0x10C010, kBlue = 0x1010E0, kYellow = 0xE0E010, kCyan = 0x10E0E0,
                   kMagenta = 0xC010C0;

// One image of an icon directory: a size x size square of one colour with an
// all-opaque mask, as a BITMAPINFOHEADER DIB of `bpp` bits (32, 24, 8 or 4).
struct IconEntry {
    uint32_t color = kRed;
    int size = 32;
    int bpp = 32;
};

// The bytes of an .ico (type 1) or .cur (type 2, hot spot (1, 2) in every entry) file.
Bytes IconFile(std::initializer_list<IconEntry> entries, uint16_t type = 1);
Bytes IconFile(uint32_t color, uint16_t type = 1);

struct Chunk {
    std::string id;                 // four characters
    Bytes data;
    std::optional<uint32_t> size;   // written in place of data.size() when set
    bool pad = true;                // add the pad byte after odd data
};

Chunk Raw(const std::string& id, Bytes data);
Chunk Anih(uint32_t frames, uint32_t steps, uint32_t rate, uint32_t flags = 1, size_t bytes = 36);
Chunk Seq(std::vector<uint32_t> frames);
Chunk Rate(std::vector<uint32_t> rates);
Chunk List(const std::string& type, const std::vector<Chunk>& children);
Chunk Icon(Bytes iconFile);
// "LIST" "fram" with one solid-colour icon per colour.
Chunk Frames(std::initializer_list<uint32_t> colors, uint16_t iconType = 1);

Bytes Serialize(const Chunk& chunk);
// "RIFF" of the given form type; riffSize replaces the true size when set.
Bytes Riff(const std::vector<Chunk>& children, const std::string& form = "ACON",
           std::optional<uint32_t> riffSize = std::nullopt);

// A plain animation: anih (frames = colours, steps = frames unless given), the
// optional chunks, then the frames.
struct AniRecipe {
    std::vector<uint32_t> colors = {kRed, kGreen, kBlue};
    std::optional<uint32_t> steps;
    uint32_t rate = 6;
    std::optional<std::vector<uint32_t>> seq;
    std::optional<std::vector<uint32_t>> rates;
    uint16_t iconType = 1;
};
Bytes Build(const AniRecipe& recipe);

// Test files on disk (under the temporary folder, removed by the caller or left for
// the next run to overwrite).
std::string WriteTempFile(const Bytes& bytes, const std::string& name);
Bytes ReadFileBytes(const std::string& path);

}  // namespace fxtest::ani
