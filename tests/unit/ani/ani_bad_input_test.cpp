// Hostile and broken ANI files: each row is a fixture made by the writer (or a
// real file) and the one outcome it must have, refused or exactly these steps and
// images.
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include "ani_test_support.h"

namespace fxtest::ani {
namespace {

using fx::AniError;

struct Expect {
    bool loads;
    AniError error;  // when refused; AniError::None accepts any reason
    Steps steps;
    std::vector<uint32_t> colors;
    std::optional<size_t> imageCount;  // for real files, whose colours are not solid
};
Expect Refused(AniError e = AniError::None) { return {false, e, {}, {}, std::nullopt}; }
Expect Loads(Steps steps, std::vector<uint32_t> colors) {
    return {true, AniError::None, std::move(steps), std::move(colors), std::nullopt};
}
Expect LoadsImages(Steps steps, size_t images) { return {true, AniError::None, std::move(steps), {}, images}; }

struct Row {
    const char* name;
    std::function<Bytes()> file;  // lazily: the real files are read only when present
    Expect expect;
    int iconSize = 32;
};

Steps InOrder(std::initializer_list<uint32_t> frames, uint32_t rate) {
    Steps s;
    for (uint32_t f : frames) s.emplace_back(f, rate);
    return s;
}

void Patch32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// "icon" chunks whose bytes are not a usable icon, each in its own way.
std::vector<Chunk> NotIcons() {
    Bytes badOffset = IconFile(kBlue);
    Patch32(badOffset, 6 + 12, uint32_t(badOffset.size()));  // image starts at the chunk's end
    Bytes cutMask = IconFile(kBlue);
    cutMask.resize(cutMask.size() - 1);                       // AND mask one byte short
    Patch32(cutMask, 6 + 8, uint32_t(cutMask.size() - 22));
    Bytes badDepth = IconFile(kBlue);
    badDepth[22 + 14] = 7;                                   // 7 bits per pixel
    Bytes hugeWidth = IconFile(kBlue);
    Patch32(hugeWidth, 22 + 4, 0x7FFFFFFF);
    Bytes cursorType3 = IconFile(kBlue);
    cursorType3[2] = 3;
    Bytes tooManyEntries = IconFile(kBlue);
    tooManyEntries[4] = tooManyEntries[5] = 0xFF;             // 65535 entries in a one-entry file
    // A PNG with a well-formed header and no image data: only the decoder can tell.
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
              0, 0, 0, 32, 0, 0, 0, 32, 8, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'I', 'E', 'N', 'D', 0, 0, 0, 0};
    Bytes pngIcon{0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0};
    for (uint32_t v : {uint32_t(png.size()), 22u})
        for (int i = 0; i < 4; ++i) pngIcon.push_back(uint8_t(v >> (8 * i)));
    pngIcon.insert(pngIcon.end(), png.begin(), png.end());
    Bytes text{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'c', 'o', 'n'};
    return {Icon(text), Icon(badOffset), Icon(cutMask), Icon(badDepth), Icon(hugeWidth),
            Icon(cursorType3), Icon(tooManyEntries), Icon(pngIcon), Icon({})};
}

Bytes RealFile(const char* name) {
    std::string dir = RealFilesDir();
    return dir.empty() ? Bytes() : ReadFileBytes(dir + "\\" + name);
}

const std::vector<Row>& Table() {
    static const std::vector<Row> rows = {
        {"zero frames", [] { return Riff({Anih(0, 2, 6), Frames({})}); }, Loads(InOrder({0, 1}, 6), {})},
        {"zero steps", [] { return Riff({Anih(2, 0, 6), Frames({kRed, kGreen})}); }, Loads({}, {kRed, kGreen})},
        {"steps beyond the frames without seq", [] { return Riff({Anih(2, 4, 6), Frames({kRed, kGreen})}); },
         Loads(InOrder({0, 1, 2, 3}, 6), {kRed, kGreen})},
        {"frame count 0xFFFFFFFF", [] { return Riff({Anih(0xFFFFFFFF, 1, 6), Frames({kRed})}); },
         Refused(AniError::TooManyFrames)},
        {"step count 0xFFFFFFFF", [] { return Riff({Anih(1, 0xFFFFFFFF, 6), Frames({kRed})}); },
         Refused(AniError::TooManySteps)},
        {"both counts 0xFFFFFFFF", [] { return Riff({Anih(0xFFFFFFFF, 0xFFFFFFFF, 6), Frames({kRed})}); }, Refused()},
        {"step count no file of this size describes",
         [] { return Riff({Anih(1, 100000, 6), Frames({kRed})}); }, Refused(AniError::TooManySteps)},
        {"frames beyond the image budget at 256 pixels",
         [] { return Riff({Anih(1025, 1, 6), Raw("JUNK", Bytes(1025 * 8)), Frames({kRed})}); },
         Refused(AniError::TooManyFrames), 256},
        {"anih of 35 bytes", [] { return Riff({Anih(1, 1, 6, 1, 35), Frames({kRed})}); },
         Refused(AniError::ShortHeader)},
        {"anih of 0 bytes", [] { return Riff({Raw("anih", {}), Frames({kRed})}); }, Refused(AniError::ShortHeader)},
        {"anih of 64 bytes", [] { return Riff({Anih(1, 1, 6, 1, 64), Frames({kRed})}); },
         Loads(InOrder({0}, 6), {kRed})},
        {"anih twice, the second with larger counts",
         [] { return Riff({Anih(1, 1, 6), Anih(3, 3, 6), Frames({kRed, kGreen, kBlue})}); },
         Refused(AniError::DuplicateChunk)},
        {"anih twice, after the frames",
         [] { return Riff({Anih(3, 3, 6), Frames({kRed, kGreen, kBlue}), Anih(1, 1, 6)}); },
         Refused(AniError::DuplicateChunk)},
        {"seq twice", [] { return Riff({Anih(1, 1, 6), Seq({0}), Seq({0}), Frames({kRed})}); },
         Refused(AniError::DuplicateChunk)},
        {"rate twice", [] { return Riff({Anih(1, 1, 6), Rate({1}), Rate({1}), Frames({kRed})}); },
         Refused(AniError::DuplicateChunk)},
        {"two fram lists", [] { return Riff({Anih(1, 1, 6), Frames({kRed}), Frames({kGreen})}); },
         Refused(AniError::DuplicateChunk)},
        {"seq entries at and beyond the frame count",
         [] { return Riff({Anih(2, 4, 6), Seq({1, 2, 0, 0xFFFFFFFF}), Frames({kRed, kGreen})}); },
         Loads({{1, 6}, {2, 6}, {0, 6}, {0xFFFFFFFF, 6}}, {kRed, kGreen})},
        {"seq shorter than the steps, with an odd tail",
         [] {
             Chunk seq = Seq({1, 1});
             seq.data.push_back(0);
             return Riff({Anih(3, 3, 6), seq, Frames({kRed, kGreen, kBlue})});
         },
         Loads({{1, 6}, {1, 6}, {2, 6}}, {kRed, kGreen, kBlue})},
        {"rate shorter than the steps", [] { return Riff({Anih(3, 3, 6), Rate({10}), Frames({kRed, kGreen, kBlue})}); },
         Loads({{0, 10}, {1, 6}, {2, 6}}, {kRed, kGreen, kBlue})},
        {"rate longer than the steps",
         [] { return Riff({Anih(2, 2, 6), Rate({10, 11, 12, 13}), Frames({kRed, kGreen})}); },
         Loads({{0, 10}, {1, 11}}, {kRed, kGreen})},
        {"zero and huge rates are clamped",
         [] { return Riff({Anih(3, 3, 0), Rate({0, 0xFFFFFFFF}), Frames({kRed, kGreen, kBlue})}); },
         Loads({{0, fx::kAniMinRate}, {1, fx::kAniMaxRate}, {2, fx::kAniMinRate}}, {kRed, kGreen, kBlue})},
        {"seq and rate before anih",
         [] { return Riff({Seq({2, 1, 0}), Rate({7, 8, 9}), Anih(3, 3, 6), Frames({kRed, kGreen, kBlue})}); },
         Loads({{2, 7}, {1, 8}, {0, 9}}, {kRed, kGreen, kBlue})},
        {"fram list before anih", [] { return Riff({Frames({kRed, kGreen}), Anih(2, 2, 6)}); },
         Loads(InOrder({0, 1}, 6), {kRed, kGreen})},
        {"fewer icon chunks than frames", [] { return Riff({Anih(3, 3, 6), Frames({kRed, kGreen})}); },
         Refused(AniError::MissingFrames)},
        {"no fram list", [] { return Riff({Anih(2, 2, 6)}); }, Refused(AniError::MissingFrames)},
        {"more icon chunks than frames: the extra ones are not read",
         [] {
             Chunk list = Frames({kRed, kGreen});
             Bytes broken = Serialize(Icon(IconFile(kBlue)));
             Patch32(broken, 4, 0xFFFFFF00);  // would reach past the list if it were read
             list.data.insert(list.data.end(), broken.begin(), broken.end());
             return Riff({Anih(2, 2, 6), list});
         },
         Loads(InOrder({0, 1}, 6), {kRed, kGreen})},
        {"icon chunks that are not icons: later frames move down",
         [] {
             std::vector<Chunk> icons{Icon(IconFile(kRed))};
             for (Chunk& c : NotIcons()) icons.push_back(c);
             icons.push_back(Icon(IconFile(kGreen)));
             uint32_t n = uint32_t(icons.size());
             return Riff({Anih(n, 2, 6), List("fram", icons)});
         },
         Loads(InOrder({0, 1}, 6), {kRed, kGreen})},
        {"a frame whose image header says zero planes (found by fuzzing)",
         [] {
             Bytes zeroPlanes = IconFile(kGreen);
             zeroPlanes[22 + 12] = 0;
             return Riff(
                 {Anih(3, 3, 6), List("fram", {Icon(IconFile(kRed)), Icon(zeroPlanes), Icon(IconFile(kBlue))})});
         },
         Loads(InOrder({0, 1, 2}, 6), {kRed, kGreen, kBlue})},
        {"other chunks between the icon chunks",
         [] {
             return Riff({Anih(2, 2, 6), List("fram", {Raw("JUNK", {1, 2, 3}), Icon(IconFile(kRed)), Raw("ICON", {}),
                                                      Icon(IconFile(kGreen))})});
         },
         Loads(InOrder({0, 1}, 6), {kRed, kGreen})},
        {"odd sizes with pad bytes",
         [] {
             Bytes odd = IconFile(kRed);
             odd.push_back(0xAA);  // an odd icon chunk; its pad byte follows
             return Riff({Raw("JUNK", {1, 2, 3}), Anih(2, 2, 6), Raw("odd ", {1, 2, 3, 4, 5}),
                          List("fram", {Icon(odd), Icon(IconFile(kGreen))})});
         },
         Loads(InOrder({0, 1}, 6), {kRed, kGreen})},
        {"odd last chunk without its pad byte",
         [] {
             Chunk last = Raw("JUNK", {1});
             last.pad = false;
             return Riff({Anih(1, 1, 6), Frames({kRed}), last});
         },
         Loads(InOrder({0}, 6), {kRed})},
        {"a few trailing bytes after the last chunk",
         [] {
             Bytes f = Riff({Anih(1, 1, 6), Frames({kRed}), Raw("ab", {})});
             f.resize(f.size() - 5);  // 3 bytes of a chunk header
             Patch32(f, 4, uint32_t(f.size() - 8));
             return f;
         },
         Loads(InOrder({0}, 6), {kRed})},
        {"chunk reaching past the RIFF",
         [] {
             Chunk junk = Raw("JUNK", {1, 2, 3, 4});
             junk.size = 100;
             return Riff({Anih(1, 1, 6), Frames({kRed}), junk});
         },
         Refused(AniError::ChunkPastEnd)},
        {"chunk size 0xFFFFFFFF",
         [] {
             Chunk junk = Raw("JUNK", {});
             junk.size = 0xFFFFFFFF;
             return Riff({junk, Anih(1, 1, 6), Frames({kRed})});
         },
         Refused(AniError::ChunkPastEnd)},
        {"fram list reaching past the RIFF",
         [] {
             Chunk list = Frames({kRed});
             list.size = uint32_t(list.data.size() + 2);
             return Riff({Anih(1, 1, 6), list});
         },
         Refused(AniError::ChunkPastEnd)},
        {"icon chunk reaching past its fram list",
         [] {
             Chunk icon = Icon(IconFile(kRed));
             icon.size = uint32_t(icon.data.size() + 16);
             return Riff({Anih(1, 1, 6), List("fram", {icon}), Raw("JUNK", Bytes(32))});
         },
         Refused(AniError::ChunkPastEnd)},
        {"RIFF declaring the file's size (8 bytes more than it holds)",
         [] {
             Bytes f = Riff({Anih(1, 1, 6), Frames({kRed})});
             Patch32(f, 4, uint32_t(f.size()));
             return f;
         },
         Loads(InOrder({0}, 6), {kRed})},
        {"RIFF declaring 9 bytes more than the file holds",
         [] {
             Bytes f = Riff({Anih(1, 1, 6), Frames({kRed})});
             Patch32(f, 4, uint32_t(f.size() + 1));
             return f;
         },
         Refused(AniError::ChunkPastEnd)},
        {"RIFF declaring fewer bytes than its chunks",
         [] {
             Bytes f = Riff({Anih(1, 1, 6), Frames({kRed})});
             Patch32(f, 4, uint32_t(f.size() - 8 - 10));
             return f;
         },
         Refused(AniError::ChunkPastEnd)},
        {"RIFF of another form type", [] { return Riff({Anih(1, 1, 6), Frames({kRed})}, "WAVE"); },
         Refused(AniError::NotAni)},
        {"RIFF WAVE, then RIFF ACON",
         [] {
             Bytes f = Riff({Raw("fmt ", Bytes(16))}, "WAVE");
             Bytes ani = Riff({Anih(1, 1, 6), Frames({kRed})});
             f.insert(f.end(), ani.begin(), ani.end());
             return f;
         },
         Loads(InOrder({0}, 6), {kRed})},
        {"RIFF size too small for a form type",
         [] {
             Bytes f = Riff({});
             Patch32(f, 4, 3);
             return f;
         },
         Refused(AniError::NotAni)},
        {"not a RIFF file", [] { return Bytes{'M', 'Z', 0x90, 0, 3, 0, 0, 0, 4, 0, 0, 0, 0xFF, 0xFF}; },
         Refused(AniError::NotAni)},
        {"empty file", [] { return Bytes(); }, Refused(AniError::NotAni)},
        {"ACON with only LIST INFO", [] { return Riff({List("INFO", {Raw("INAM", {'a', 'b', 'c', 0})})}); },
         Loads({}, {})},
        {"ACON with no chunks", [] { return Riff({}); }, Loads({}, {})},
        {"gdkpixbuf_test-animation.ani", [] { return RealFile("gdkpixbuf_test-animation.ani"); },
         LoadsImages(InOrder({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}, 2), 18)},
        {"gdkpixbuf_fail_CVE-2022-48622.ani (icon chunk past its list, a second anih)",
         [] { return RealFile("gdkpixbuf_fail_CVE-2022-48622.ani"); }, Refused(AniError::ChunkPastEnd)},
    };
    return rows;
}

void Check(const Outcome& got, const Expect& want) {
    if (!want.loads) {
        EXPECT_FALSE(got.loaded) << got;
        if (want.error != AniError::None) {
            EXPECT_STREQ(fx::AniErrorText(got.error), fx::AniErrorText(want.error));
        }
        return;
    }
    ASSERT_TRUE(got.loaded) << got;
    EXPECT_EQ(got.steps, want.steps) << got;
    if (want.imageCount) {
        EXPECT_EQ(got.colors.size(), *want.imageCount) << got;
    } else {
        EXPECT_EQ(got.colors, want.colors) << got;
    }
}

TEST(AniBadInput, EachFixtureHasItsOutcome) {
    for (const Row& row : Table()) {
        SCOPED_TRACE(row.name);
        Bytes file = row.file();
        if (file.empty() && row.expect.imageCount && RealFilesDir().empty()) continue;  // real files absent
        for (fx::AniFrameSource source : {fx::AniFrameSource::TempFile, fx::AniFrameSource::Memory}) {
            SCOPED_TRACE(source == fx::AniFrameSource::Memory ? "frames from memory"
                                                              : "frames through the temporary file");
            Check(LoadBytes(file, row.iconSize, source), row.expect);
        }
    }

    // Truncated at every length, including cuts between chunks that leave a
    // well-formed prefix (here: whole frames without their "rate"): all refused.
    Chunk frames = List("fram", {Icon(IconFile({IconEntry{kRed, 4}})), Icon(IconFile({IconEntry{kGreen, 4}}))});
    Bytes whole = Riff({Anih(2, 2, 6), frames, Rate({3, 4})});
    ASSERT_TRUE(LoadBytes(whole).loaded);
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE("truncated to " + std::to_string(length) + " of " + std::to_string(whole.size()) + " bytes");
        Check(LoadBytes(Bytes(whole.begin(), whole.begin() + length)), Refused());
    }

    // Inputs the fuzzer found (crashes, leaks, wrong results), with what they must give now;
    // any other file kept there must at least load or be refused cleanly.
    const std::map<std::string, Expect> found = {
        {"shiroko-frame-with-zero-planes.ani",
         LoadsImages(InOrder({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, 6), 16)},
    };
    std::string crashers = FX_ANI_CRASHERS_DIR;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((crashers + "\\*.ani").c_str(), &fd);
    ASSERT_NE(find, INVALID_HANDLE_VALUE) << crashers;
    do {
        SCOPED_TRACE(fd.cFileName);
        Outcome o = LoadPath(crashers + "\\" + fd.cFileName);
        auto known = found.find(fd.cFileName);
        if (known != found.end()) {
            Check(o, known->second);
        } else {
            EXPECT_TRUE(o.loaded || o.error != AniError::None) << o;
        }
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

}  // namespace
}  // namespace fxtest::ani
