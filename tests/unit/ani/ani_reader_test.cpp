// Well-formed files and how the reader lives in a process: which image each frame
// gets, the two ways of making images, concurrent readers, arguments, and what a
// load leaves behind.
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include "ani_test_support.h"
#include "process_counters.h"

namespace fxtest::ani {
namespace {

using fx::AniFrameSource;

struct GoodRow {
    const char* name;
    Bytes file;
    int iconSize;
    Steps steps;
    std::vector<uint32_t> colors;
};

Bytes OneFrame(std::initializer_list<IconEntry> entries) {
    return Riff({Anih(1, 1, 6), List("fram", {Icon(IconFile(entries))})});
}

TEST(AniReader, WellFormedFilesGiveTheirStepsAndImages) {
    AniRecipe repeats;
    repeats.colors = {kRed, kGreen};
    repeats.steps = 4;
    repeats.seq = std::vector<uint32_t>{0, 1, 1, 0};
    repeats.rates = std::vector<uint32_t>{1, 2, 3, 4};
    AniRecipe cursor;
    cursor.iconType = 2;
    const Bytes sizes = OneFrame({{kRed, 16}, {kGreen, 32}, {kBlue, 48}});
    const std::vector<GoodRow> rows = {
        {"no seq, no rate: frames in order at the default rate", Build({}), 32, {{0, 6}, {1, 6}, {2, 6}},
         {kRed, kGreen, kBlue}},
        {"seq with repeats, one rate per step", Build(repeats), 32, {{0, 1}, {1, 2}, {1, 3}, {0, 4}}, {kRed, kGreen}},
        {"cursor frames (type 2, hot spots)", Build(cursor), 32, {{0, 6}, {1, 6}, {2, 6}}, {kRed, kGreen, kBlue}},
        {"8-, 4- and 24-bit frames",
         Riff({Anih(3, 3, 6), List("fram", {Icon(IconFile({{kRed, 32, 8}})), Icon(IconFile({{kGreen, 32, 4}})),
                                            Icon(IconFile({{kBlue, 32, 24}}))})}),
         32, {{0, 6}, {1, 6}, {2, 6}}, {kRed, kGreen, kBlue}},
        {"several sizes, 16 wanted: the exact one", sizes, 16, {{0, 6}}, {kRed}},
        {"several sizes, 32 wanted: the exact one", sizes, 32, {{0, 6}}, {kGreen}},
        {"several sizes, 48 wanted: the exact one", sizes, 48, {{0, 6}}, {kBlue}},
        {"several sizes, 24 wanted: the nearest larger", sizes, 24, {{0, 6}}, {kGreen}},
        {"several sizes, 64 wanted: the largest", sizes, 64, {{0, 6}}, {kBlue}},
        {"two images of one size: the deeper colour", OneFrame({{kRed, 32, 8}, {kGreen, 32, 32}}), 32, {{0, 6}},
         {kGreen}},
    };
    for (const GoodRow& row : rows) {
        SCOPED_TRACE(row.name);
        for (AniFrameSource source : {AniFrameSource::TempFile, AniFrameSource::Memory}) {
            Outcome o = LoadBytes(row.file, row.iconSize, source);
            ASSERT_TRUE(o.loaded) << o;
            EXPECT_EQ(o.steps, row.steps) << o;
            EXPECT_EQ(o.colors, row.colors) << o;
            EXPECT_EQ(o.imageSide, row.iconSize);
        }
    }
}

// The "icon" chunks of a file, found by a plain walk (the real files are well formed).
std::vector<Bytes> IconChunksOf(const Bytes& file) {
    std::vector<Bytes> icons;
    auto le32 = [&](size_t at) {
        return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 |
               uint32_t(file[at + 3]) << 24;
    };
    for (size_t p = 12; p + 12 <= file.size();) {
        uint32_t size = le32(p + 4);
        if (std::equal(file.begin() + p, file.begin() + p + 4, "LIST") &&
            std::equal(file.begin() + p + 8, file.begin() + p + 12, "fram")) {
            for (size_t q = p + 12; q + 8 <= p + 8 + size && q + 8 <= file.size();) {
                uint32_t chunk = le32(q + 4);
                if (q + 8 + chunk > file.size()) break;
                icons.emplace_back(file.begin() + q + 8, file.begin() + q + 8 + chunk);
                q += 8 + chunk + (chunk & 1);
            }
        }
        p += 8 + size + (size & 1);
    }
    return icons;
}

// The platform's own drawing of one frame: the chunk loaded as an icon file.
struct PlatformIcon {
    HICON icon = nullptr;
    int size;
    PlatformIcon(const Bytes& iconFile, int side) : size(side) {
        std::string path = WriteTempFile(iconFile, "fxani_reference.ico");
        icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    }
    ~PlatformIcon() {
        if (icon) DestroyIcon(icon);
    }
    std::vector<uint32_t> Drawn(uint32_t background) const {
        return DrawnPixels(size, background,
                           [&](HDC dc) { DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL); });
    }
};

int LargestDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int largest = a.size() == b.size() ? 0 : 255;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            largest = std::max(largest, std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)));
    return largest;
}

// Real frames (PNG, alpha, cursor directories, several sizes): each image, drawn
// the way players draw it, must look like the platform's drawing of that frame on
// any background (alpha rounding allows one step), and the temporary-file route
// must give exactly what the memory route gives.
TEST(AniReader, ImagesLookLikeThePlatformsDrawingOfEachFrame) {
    std::vector<std::string> files = RealFiles();
    if (files.empty()) GTEST_SKIP() << "the real-world ANI files are not on this machine";
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        std::vector<Bytes> icons = IconChunksOf(ReadFileBytes(path));
        for (int size : {32, 48}) {
            fx::AniAnimation viaFile, viaMemory;
            bool loaded = fx::LoadAniFile(path.c_str(), fx::AniLoadOptions{size, AniFrameSource::TempFile}, &viaFile);
            ASSERT_EQ(loaded,
                      fx::LoadAniFile(path.c_str(), fx::AniLoadOptions{size, AniFrameSource::Memory}, &viaMemory));
            if (loaded) {
                int count = ImageList_GetImageCount(viaFile.frames);
                ASSERT_EQ(count, ImageList_GetImageCount(viaMemory.frames));
                ASSERT_LE(size_t(count), icons.size());
                for (int i = 0; i < count; ++i) {
                    SCOPED_TRACE("image " + std::to_string(i) + " at " + std::to_string(size) + " px");
                    PlatformIcon reference(icons[size_t(i)], size);
                    ASSERT_NE(reference.icon, nullptr);
                    for (uint32_t background : {0xFFFFFFu, 0x000000u}) {
                        std::vector<uint32_t> a = ImagePixels(viaFile.frames, i, background);
                        EXPECT_EQ(a, ImagePixels(viaMemory.frames, i, background));
                        EXPECT_LE(LargestDifference(a, reference.Drawn(background)), 1);
                    }
                }
            }
            fx::FreeAniAnimation(&viaFile);
            fx::FreeAniAnimation(&viaMemory);
        }
    }
}

std::string TempIconPath() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + fx::kAniTempFileName;
}

uint32_t IconFileColor(const std::string& path) {
    HICON icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE));
    if (!icon) return 0xFFFFFFFF;
    HIMAGELIST list = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR32, 1, 0);
    ImageList_ReplaceIcon(list, -1, icon);
    DestroyIcon(icon);
    uint32_t color = ImageColor(list, 0);
    ImageList_Destroy(list);
    return color;
}

TEST(AniReader, LoneReaderMakesItsFramesThroughTheTemporaryFile) {
    std::string tmp = TempIconPath();
    DeleteFileA(tmp.c_str());
    AniRecipe cursor;  // cursor frames, which the file route has to turn into icons
    cursor.iconType = 2;
    Outcome o = LoadBytes(Build(cursor));
    ASSERT_TRUE(o.loaded) << o;
    EXPECT_EQ(o.colors, (std::vector<uint32_t>{kRed, kGreen, kBlue}));
    EXPECT_EQ(IconFileColor(tmp), kBlue) << "the last frame stays in " << tmp;
}

// Another reader (here a thread; a process holds the same session-wide mutex)
// has the temporary file: this reader must leave it alone and still get its frames.
TEST(AniReader, ReaderLeavesTheTemporaryFileToTheReaderHoldingIt) {
    std::string tmp = TempIconPath();
    const Bytes sentinel{'b', 'u', 's', 'y'};
    ASSERT_FALSE(WriteTempFile(sentinel, fx::kAniTempFileName).empty());

    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr), release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HANDLE mutex = CreateMutexA(nullptr, TRUE, fx::kAniTempFileLock);
        SetEvent(held);
        WaitForSingleObject(release, INFINITE);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    });
    WaitForSingleObject(held, INFINITE);
    Outcome busy = LoadBytes(Build({}));
    Bytes during = ReadFileBytes(tmp);
    SetEvent(release);
    holder.join();
    CloseHandle(held);
    CloseHandle(release);

    ASSERT_TRUE(busy.loaded) << busy;
    EXPECT_EQ(busy.colors, (std::vector<uint32_t>{kRed, kGreen, kBlue}));
    EXPECT_EQ(during, sentinel);
    ASSERT_TRUE(LoadBytes(Build({})).loaded);
    EXPECT_EQ(IconFileColor(tmp), kBlue) << "once free, the file is used again";
}

// Readers on several threads, each with its own colours: a frame written by one
// and loaded by another would show up as a foreign colour.
TEST(AniReader, ConcurrentReadersKeepTheirOwnFrames) {
    const std::vector<std::vector<uint32_t>> palettes = {
        {kRed, kGreen, kBlue, kYellow}, {kCyan, kMagenta, kRed, kGreen}, {kBlue, kYellow, kCyan, kMagenta},
        {kGreen, kRed, kMagenta, kCyan}};
    std::vector<std::string> paths;
    for (size_t t = 0; t < palettes.size(); ++t) {
        AniRecipe recipe;
        recipe.colors = palettes[t];
        paths.push_back(WriteTempFile(Build(recipe), "fxani_thread" + std::to_string(t) + ".ani"));
        ASSERT_FALSE(paths.back().empty());
    }
    std::atomic<int> wrong{0}, refused{0};
    std::vector<std::thread> threads;
    for (size_t t = 0; t < palettes.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 25; ++round) {
                fx::AniAnimation anim;
                if (!fx::LoadAniFile(paths[t].c_str(), 32, &anim)) {
                    ++refused;
                    continue;
                }
                std::vector<uint32_t> colors;
                for (int i = 0; i < ImageList_GetImageCount(anim.frames); ++i)
                    colors.push_back(ImageColor(anim.frames, i));
                if (colors != palettes[t]) ++wrong;
                fx::FreeAniAnimation(&anim);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(refused.load(), 0);
    EXPECT_EQ(wrong.load(), 0);
}

TEST(AniReader, RefusesBadArgumentsAndMissingFiles) {
    std::string good = WriteTempFile(Build({}), "fxani_args.ani");
    fx::AniAnimation busy;
    busy.stepCount = 1;  // not empty: would be overwritten and leak
    struct Case {
        const char* name;
        const char* path;
        int iconSize;
        fx::AniAnimation* record;
        fx::AniError error;
    };
    fx::AniAnimation empty;
    const Case cases[] = {
        {"null path", nullptr, 32, &empty, fx::AniError::BadArgument},
        {"null record", good.c_str(), 32, nullptr, fx::AniError::BadArgument},
        {"record not empty", good.c_str(), 32, &busy, fx::AniError::BadArgument},
        {"icon size 0", good.c_str(), 0, &empty, fx::AniError::BadArgument},
        {"icon size 257", good.c_str(), 257, &empty, fx::AniError::BadArgument},
        {"missing file", "Z:\\no\\such\\file.ani", 32, &empty, fx::AniError::CannotOpen},
        {"a folder", "C:\\windows", 32, &empty, fx::AniError::CannotOpen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fx::AniError error = fx::AniError::None;
        EXPECT_FALSE(fx::LoadAniFile(c.path, c.iconSize, c.record, &error));
        EXPECT_STREQ(fx::AniErrorText(error), fx::AniErrorText(c.error));
        EXPECT_EQ(empty.steps, nullptr);
        EXPECT_EQ(empty.frames, nullptr);
    }
    EXPECT_EQ(busy.stepCount, 1u);
}

TEST(AniReader, OpensLongPathsAndBareNames) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string dir = std::string(tmp) + "fxani_a_folder_name_long_enough_to_pass_the_mmio_limit";
    CreateDirectoryA(dir.c_str(), nullptr);
    dir += "\\and_a_second_folder_so_the_whole_path_is_well_beyond_128";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string longPath = dir + "\\animation.ani";
    ASSERT_GE(longPath.size(), 128u);
    Bytes file = Build({});
    HANDLE f = CreateFileA(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, file.data(), DWORD(file.size()), &written, nullptr);
    CloseHandle(f);
    Outcome viaLong = LoadPath(longPath);
    EXPECT_EQ(viaLong.colors, (std::vector<uint32_t>{kRed, kGreen, kBlue})) << viaLong;

    // A bare name is found by mmioOpen's search, which starts in the current folder.
    WriteTempFile(file, "fxani_bare_name.ani");
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    SetCurrentDirectoryA(tmp);
    Outcome viaBare = LoadPath("fxani_bare_name.ani");
    SetCurrentDirectoryA(cwd);
    EXPECT_EQ(viaBare.colors, (std::vector<uint32_t>{kRed, kGreen, kBlue})) << viaBare;
}

// Loads and frees of every kind (real files, fixtures, refusals, both routes)
// must give back every GDI object and handle they took.
TEST(AniReader, LoadingAndFreeingLeavesNoGdiObjectsOrHandles) {
    std::vector<std::string> paths = RealFiles();
    AniRecipe cursor;
    cursor.iconType = 2;
    paths.push_back(WriteTempFile(Build({}), "fxani_leak1.ani"));
    paths.push_back(WriteTempFile(Build(cursor), "fxani_leak2.ani"));
    paths.push_back(WriteTempFile(Riff({Anih(3, 3, 6), Frames({kRed, kGreen})}), "fxani_leak3.ani"));  // refused
    Bytes notIcon = Riff({Anih(2, 2, 6), List("fram", {Icon(IconFile(kRed)), Icon({1, 2, 3})})});
    paths.push_back(WriteTempFile(notIcon, "fxani_leak4.ani"));
    auto pass = [&] {
        for (const std::string& path : paths)
            for (AniFrameSource source : {AniFrameSource::Auto, AniFrameSource::TempFile, AniFrameSource::Memory}) {
                fx::AniAnimation anim;
                fx::LoadAniFile(path.c_str(), fx::AniLoadOptions{32, source}, &anim);
                fx::FreeAniAnimation(&anim);
            }
    };
    pass();  // the platform's lazy set-up (decoders, caches) is not the reader's
    ResourceCounts before = CountResources();
    ASSERT_GE(before.gdiObjects, 0);
    ASSERT_GE(before.handles, 0);
    for (int i = 0; i < 3; ++i) pass();
    ResourceCounts after = CountResources();
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.handles, before.handles);
}

}  // namespace
}  // namespace fxtest::ani
