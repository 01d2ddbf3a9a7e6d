#include "ani_writer.h"

#include <windows.h>
#include <cstring>

namespace fxtest::ani {
namespace {

void Put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutId(Bytes& b, const std::string& id) {
    for (size_t i = 0; i < 4; ++i) b.push_back(uint8_t(i < id.size() ? id[i] : ' '));
}

uint32_t RowBytes(int width, int bpp) { return uint32_t(((width * bpp + 31) / 32) * 4); }

Bytes Dib(const IconEntry& e) {
    Bytes b;
    int colors = e.bpp <= 8 ? 1 << e.bpp : 0;
    Put32(b, 40);
    Put32(b, uint32_t(e.size));
    Put32(b, uint32_t(e.size * 2));
    Put16(b, 1);
    Put16(b, uint32_t(e.bpp));
    for (int i = 0; i < 6; ++i) Put32(b, 0);  // compression .. important colours
    uint8_t r = uint8_t(e.color >> 16), g = uint8_t(e.color >> 8), bl = uint8_t(e.color);
    if (colors) {
        // Entry 0 is the colour; every pixel index is 0.
        b.insert(b.end(), {bl, g, r, 0});
        b.resize(b.size() + size_t(colors - 1) * 4, 0);
        b.resize(b.size() + size_t(RowBytes(e.size, e.bpp)) * e.size, 0);
    } else {
        for (int y = 0; y < e.size; ++y) {
            size_t row = b.size();
            for (int x = 0; x < e.size; ++x) {
                b.insert(b.end(), {bl, g, r});
                if (e.bpp == 32) b.push_back(0xFF);
            }
            b.resize(row + RowBytes(e.size, e.bpp), 0);
        }
    }
    b.resize(b.size() + size_t(RowBytes(e.size, 1)) * e.size, 0);  // AND mask: opaque
    return b;
}

}  // namespace

Bytes IconFile(std::initializer_list<IconEntry> entries, uint16_t type) {
    Bytes b;
    Put16(b, 0);
    Put16(b, type);
    Put16(b, uint32_t(entries.size()));
    std::vector<Bytes> images;
    for (const IconEntry& e : entries) images.push_back(Dib(e));
    uint32_t offset = uint32_t(6 + 16 * entries.size());
    size_t i = 0;
    for (const IconEntry& e : entries) {
        b.push_back(uint8_t(e.size >= 256 ? 0 : e.size));
        b.push_back(uint8_t(e.size >= 256 ? 0 : e.size));
        b.push_back(0);
        b.push_back(0);
        Put16(b, 1);                                    // planes, or hot spot x
        Put16(b, type == 2 ? 2 : uint32_t(e.bpp));      // bit count, or hot spot y
        Put32(b, uint32_t(images[i].size()));
        Put32(b, offset);
        offset += uint32_t(images[i].size());
        ++i;
    }
    for (const Bytes& image : images) b.insert(b.end(), image.begin(), image.end());
    return b;
}

Bytes IconFile(uint32_t color, uint16_t type) { return IconFile({IconEntry{color}}, type); }

Chunk Raw(const std::string& id, Bytes data) { return Chunk{id, std::move(data), std::nullopt, true}; }

Chunk Anih(uint32_t frames, uint32_t steps, uint32_t rate, uint32_t flags, size_t bytes) {
    Bytes b;
    for (uint32_t v : {36u, frames, steps, 0u, 0u, 32u, 1u, rate, flags}) Put32(b, v);
    b.resize(bytes, 0);
    return Raw("anih", std::move(b));
}

Chunk Seq(std::vector<uint32_t> frames) {
    Bytes b;
    for (uint32_t v : frames) Put32(b, v);
    return Raw("seq ", std::move(b));
}

Chunk Rate(std::vector<uint32_t> rates) {
    Bytes b;
    for (uint32_t v : rates) Put32(b, v);
    return Raw("rate", std::move(b));
}

Chunk List(const std::string& type, const std::vector<Chunk>& children) {
    Bytes b;
    PutId(b, type);
    for (const Chunk& c : children) {
        Bytes s = Serialize(c);
        b.insert(b.end(), s.begin(), s.end());
    }
    return Raw("LIST", std::move(b));
}

Chunk Icon(Bytes iconFile) { return Raw("icon", std::move(iconFile)); }

Chunk Frames(std::initializer_list<uint32_t> colors, uint16_t iconType) {
    std::vector<Chunk> icons;
    for (uint32_t c : colors) icons.push_back(Icon(IconFile(c, iconType)));
    return List("fram", icons);
}

Bytes Serialize(const Chunk& chunk) {
    Bytes b;
    PutId(b, chunk.id);
    Put32(b, chunk.size.value_or(uint32_t(chunk.data.size())));
    b.insert(b.end(), chunk.data.begin(), chunk.data.end());
    if (chunk.pad && (chunk.data.size() & 1)) b.push_back(0);
    return b;
}

Bytes Riff(const std::vector<Chunk>& children, const std::string& form, std::optional<uint32_t> riffSize) {
    Bytes body;
    PutId(body, form);
    for (const Chunk& c : children) {
        Bytes s = Serialize(c);
        body.insert(body.end(), s.begin(), s.end());
    }
    Bytes b;
    PutId(b, "RIFF");
    Put32(b, riffSize.value_or(uint32_t(body.size())));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes Build(const AniRecipe& recipe) {
    uint32_t frames = uint32_t(recipe.colors.size());
    std::vector<Chunk> chunks{Anih(frames, recipe.steps.value_or(frames), recipe.rate, recipe.seq ? 3 : 1)};
    if (recipe.seq) chunks.push_back(Seq(*recipe.seq));
    if (recipe.rates) chunks.push_back(Rate(*recipe.rates));
    std::vector<Chunk> icons;
    for (uint32_t c : recipe.colors) icons.push_back(Icon(IconFile(c, recipe.iconType)));
    chunks.push_back(List("fram", icons));
    return Riff(chunks);
}

std::string WriteTempFile(const Bytes& bytes, const std::string& name) {
    char dir[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir, n) + name;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::string();
    DWORD written = 0;
    bool ok = bytes.empty() ||
              (WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size());
    CloseHandle(f);
    return ok ? path : std::string();
}

Bytes ReadFileBytes(const std::string& path) {
    Bytes b;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return b;
    LARGE_INTEGER size;
    if (GetFileSizeEx(f, &size) && size.QuadPart > 0 && size.QuadPart < (1ll << 30)) {
        b.resize(size_t(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(f, b.data(), DWORD(b.size()), &got, nullptr) || got != b.size()) b.clear();
    }
    CloseHandle(f);
    return b;
}

}  // namespace fxtest::ani
