// The installed banner DLL hooked onto a taskbar and a menu window of our own, in this
// process: when painting starts, what it paints, what each way of ending an opening
// leaves behind, and whether the module can leave afterwards.
#include "banner_shared.h"
#include "banner_test_support.h"
#include "fx/names.h"
#include "fx/registry.h"
#include "process_counters.h"
#include "scroll.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using bannertest::Pixels;

constexpr int kMenuWidth = 160, kMenuHeight = 300;
constexpr LONG kUntouchedPosition = 12345;

std::string DistPath(const std::string& name) {
    std::string p = "Z:" FX_DIST_DIR "/" + name;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

template <class Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void PumpFor(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        Pump();
        Sleep(5);
    }
}

bool WaitFor(const std::function<bool()>& pred, DWORD ms = 3000) {
    DWORD end = GetTickCount() + ms;
    while (!pred()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        Pump();
        Sleep(5);
    }
    return true;
}

BannerShared* SharedArea(HMODULE module) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s)
        if (std::memcmp(s->Name, ".shared", 7) == 0 && (s->Characteristics & IMAGE_SCN_MEM_SHARED))
            return reinterpret_cast<BannerShared*>(base + s->VirtualAddress);
    return nullptr;
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return 1;  // the strip keeps whatever was painted into it
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterClasses() {
    static bool done = false;
    if (done) return;
    for (const wchar_t* name : {L"Shell_TrayWnd", L"FxTestBannerMenu"}) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name;
        RegisterClassW(&wc);
    }
    done = true;
}

// A banner file's pixels as this display shows them.
struct FilePixels {
    int width = 0, height = 0;
    std::vector<COLORREF> px;
    COLORREF at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
};

FilePixels ReadBitmapFile(const std::string& path) {
    FilePixels out;
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!loaded) return out;
    BITMAP info{};
    GetObjectA(loaded, sizeof info, &info);
    Pixels pixels(info.bmWidth, info.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, loaded);
    pixels.grab(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(loaded);
    out.width = info.bmWidth;
    out.height = info.bmHeight;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.px.push_back(pixels.at(x, y));
    return out;
}

struct Item {
    int height;
    UINT type = ODT_MENU;
};

class BannerHook : public ::testing::Test {
protected:
    using HookFn = BOOL(WINAPI*)();
    using UnhookFn = HHOOK(WINAPI*)();

    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);
        RegisterClasses();
        module_ = LoadLibraryA(DistPath("fxbanner.dll").c_str());
        ASSERT_NE(module_, nullptr);
        hook_ = Export<HookFn>(module_, "fxHookShellTrayWnd");
        unhook_ = Export<UnhookFn>(module_, "fxUnhookShellTrayWnd");
        shared_ = SharedArea(module_);
        ASSERT_TRUE(hook_ && unhook_ && shared_);

        taskbar_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", nullptr, WS_POPUP, 0, 700, 400,
                                   28, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        menu_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"FxTestBannerMenu", nullptr, WS_POPUP, 40, 40,
                                kMenuWidth, kMenuHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(taskbar_ && menu_);
        ShowWindow(menu_, SW_SHOWNOACTIVATE);
        ClearMenu();
        ASSERT_EQ(FindWindowA(fx::kTaskbarClass, nullptr), taskbar_) << "another taskbar comes first";
        ASSERT_TRUE(hook_());
        // One opening first: GDI makes some objects of its own on first use, which
        // would blur the counts taken below.
        OpenStartMenu();
        PumpFor(80);
        SendMessageW(taskbar_, WM_EXITMENULOOP, FALSE, 0);
        PumpFor(20);
        ClearMenu();
        shared_->menuWindow = nullptr;
        shared_->position = kUntouchedPosition;
    }

    void TearDown() override {
        if (module_) unhook_();
        if (menu_) DestroyWindow(menu_);
        if (taskbar_) DestroyWindow(taskbar_);
        if (module_) FreeLibrary(module_);
        PumpFor(20);
        RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);
    }

    static void Set(const char* name, LONG value) { fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, name, value); }
    static void SetBanner(const std::string& value) {
        fx::WriteRegString(HKEY_CURRENT_USER, fx::kSettingsKey, fx::kBanner, value.c_str(), false);
    }

    void ClearMenu() {
        HDC dc = GetDC(menu_);
        PatBlt(dc, 0, 0, kMenuWidth, kMenuHeight, WHITENESS);
        ReleaseDC(menu_, dc);
    }

    // What the Start button and the menu's first drawing send the taskbar window.
    void Open(std::initializer_list<Item> items, WPARAM command = fx::kStartButtonCommand) {
        SendMessageW(taskbar_, WM_COMMAND, command, 0);
        HDC dc = GetDC(menu_);
        int top = 0;
        UINT id = 0;
        for (const Item& item : items) {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = item.type;
            dis.itemID = id++;
            dis.itemAction = ODA_DRAWENTIRE;
            dis.hDC = dc;
            dis.rcItem = {0, top, kMenuWidth, top + item.height};
            SendMessageW(taskbar_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
            top += item.height;
        }
        ReleaseDC(menu_, dc);
    }

    void OpenStartMenu() { Open({{32}, {32}, {32}}); }
    bool Started() const { return shared_->menuWindow == menu_; }

    std::vector<COLORREF> Strip() {
        Pixels pixels(banner::kStripWidth, kMenuHeight);
        HDC dc = GetDC(menu_);
        pixels.grab(dc);
        ReleaseDC(menu_, dc);
        std::vector<COLORREF> out;
        for (int y = 0; y < kMenuHeight; ++y)
            for (int x = 0; x < banner::kStripWidth; ++x) out.push_back(pixels.at(x, y));
        return out;
    }

    // The strip shows the file's leftmost columns, sitting on the menu's bottom.
    ::testing::AssertionResult ShowsStill(const std::string& file) {
        FilePixels f = ReadBitmapFile(file);
        if (f.width == 0) return ::testing::AssertionFailure() << "cannot read " << file;
        std::vector<COLORREF> strip = Strip();
        int rows = std::min(f.height, kMenuHeight), cols = std::min(f.width, banner::kStripWidth);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < cols; ++x) {
                COLORREF want = f.at(x, f.height - rows + y);
                COLORREF got = strip[static_cast<size_t>(kMenuHeight - rows + y) * banner::kStripWidth + x];
                if (got != want)
                    return ::testing::AssertionFailure() << "pixel (" << x << "," << kMenuHeight - rows + y << ") is "
                                                         << std::hex << got << ", the file has " << want;
            }
        return ::testing::AssertionSuccess();
    }

    HMODULE module_ = nullptr;
    HookFn hook_ = nullptr;
    UnhookFn unhook_ = nullptr;
    BannerShared* shared_ = nullptr;
    HWND taskbar_ = nullptr, menu_ = nullptr;
};

TEST_F(BannerHook, PaintingStartsAtTheFirstTallMenuItemAfterTheStartCommand) {
    Set(fx::kMoveBanner.name, 0);
    struct Row {
        int line;
        WPARAM command;
        std::vector<Item> items;
        bool starts;
    };
    const Row rows[] = {
        {__LINE__, 304, {{32}, {32}}, true},
        {__LINE__, 304, {{10}, {25}}, true},              // the first item only arms, whatever its size
        {__LINE__, 304, {{32}}, false},                   // one item never both arms and paints
        {__LINE__, 304, {{20}, {24}, {24}, {8}}, false},  // a menu of small items gets no banner
        {__LINE__, 305, {{32}, {32}}, false},             // another command
        {__LINE__, MAKEWPARAM(304, 1), {{32}, {32}}, false},  // a notification, not the button's command
        {__LINE__, 304, {{32, ODT_BUTTON}, {32, ODT_BUTTON}, {32, ODT_LISTBOX}}, false},  // not menu items
    };
    for (const Row& r : rows) {
        shared_->menuWindow = nullptr;
        SendMessageW(taskbar_, WM_EXITMENULOOP, FALSE, 0);  // a fresh press state
        SendMessageW(taskbar_, WM_COMMAND, r.command, 0);
        HDC dc = GetDC(menu_);
        int top = 0;
        for (const Item& item : r.items) {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = item.type;
            dis.hDC = dc;
            dis.rcItem = {0, top, kMenuWidth, top + item.height};
            SendMessageW(taskbar_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
            top += item.height;
        }
        ReleaseDC(menu_, dc);
        EXPECT_EQ(Started(), r.starts) << "row at line " << r.line;
    }
}

TEST_F(BannerHook, StillBannerIsPaintedOnceFromTheBannersFolder) {
    Set(fx::kMoveBanner.name, 0);
    OpenStartMenu();
    ASSERT_TRUE(Started());
    EXPECT_EQ(shared_->timerId, 0u);
    EXPECT_TRUE(ShowsStill(DistPath("banners/Default Logo.bmp")));
    // Later items leave the strip alone.
    ClearMenu();
    Open({{32}});
    EXPECT_EQ(Strip()[static_cast<size_t>(kMenuHeight - 1) * banner::kStripWidth], RGB(255, 255, 255));
}

TEST_F(BannerHook, BannerNamesAreTriedAsPathsThenInTheBannersFolder) {
    Set(fx::kMoveBanner.name, 0);
    std::string text = DistPath("banner-not-a-bitmap.txt");
    { std::ofstream(text.substr(2)) << "no bitmap here\n"; }  // (Z: is the Unix root)
    struct Row {
        std::string value;
        std::string shows;  // empty: nothing loaded
    } rows[] = {
        {"", DistPath("banners/Default Logo.bmp")},
        {"Narrow Ribbon", DistPath("banners/Narrow Ribbon.bmp")},
        {DistPath("banners/Tall Skyline.bmp"), DistPath("banners/Tall Skyline.bmp")},
        {text, ""},
        {"No Such Banner", ""},
        {std::string(259, 'n'), ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("Banner \"" + r.value.substr(0, 60) + "\"");
        SetBanner(r.value);
        ClearMenu();
        long before = fxtest::CountGdiObjects();
        OpenStartMenu();
        if (r.shows.empty()) {
            EXPECT_EQ(fxtest::CountGdiObjects(), before) << "something was loaded";
            EXPECT_EQ(Strip()[static_cast<size_t>(kMenuHeight - 1) * banner::kStripWidth], RGB(255, 255, 255));
        } else {
            EXPECT_EQ(fxtest::CountGdiObjects(), before + 1) << "the bitmap is held while the menu is open";
            EXPECT_TRUE(ShowsStill(r.shows));
        }
        SendMessageW(taskbar_, WM_EXITMENULOOP, FALSE, 0);
        EXPECT_EQ(fxtest::CountGdiObjects(), before);
    }
    DeleteFileA(text.c_str());
}

TEST_F(BannerHook, SwitchedOffLoadsAndPaintsNothingButFollowsTheStartCommand) {
    Set(fx::kBannerSwitch.name, 0);
    long before = fxtest::CountGdiObjects();
    OpenStartMenu();
    EXPECT_FALSE(Started());
    EXPECT_EQ(fxtest::CountGdiObjects(), before);
    EXPECT_EQ(shared_->bannerSwitch, 0);

    // Switched on between the Start command and the menu's items: the command was
    // still noted, so the banner starts once the switch is read as on.
    SendMessageW(taskbar_, WM_COMMAND, fx::kStartButtonCommand, 0);
    Set(fx::kBannerSwitch.name, 1);
    SendMessageW(taskbar_, WM_COMMAND, 999, 0);  // any command reads the settings
    Open({{32}, {32}}, 998);
    EXPECT_TRUE(Started());
}

TEST_F(BannerHook, SettingsAreReadAgainAtEveryCommand) {
    const struct {
        LONG speed;
        UINT period;
    } rows[] = {{6, 281}, {1, 1}, {-3, 57}};
    for (const auto& r : rows) {
        Set(fx::kBannerSpeed.name, r.speed);
        SendMessageW(taskbar_, WM_COMMAND, 1, 0);
        EXPECT_EQ(shared_->timerPeriod, r.period) << "speed " << r.speed;
    }
    Set(fx::kMoveBanner.name, 3);
    std::set<LONG> modes;
    for (int i = 0; i < 64; ++i) {
        SendMessageW(taskbar_, WM_COMMAND, 1, 0);
        modes.insert(shared_->movementMode);
    }
    EXPECT_EQ(modes, (std::set<LONG>{1, 2}));
    SendMessageW(taskbar_, WM_EXITMENULOOP, FALSE, 0);
}

TEST_F(BannerHook, MovingBannerTicksUntilTheMenuLoopEnds) {
    Set(fx::kBannerSpeed.name, 1);
    Set(fx::kMoveBanner.name, 1);
    SetBanner("Narrow Ribbon");
    OpenStartMenu();
    ASSERT_TRUE(Started());
    ASSERT_NE(shared_->timerId, 0u);
    LONG first = shared_->position;
    ASSERT_TRUE(WaitFor([&] { return shared_->position != first; })) << "the timer does not tick";

    SendMessageW(taskbar_, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_EQ(shared_->timerId, 0u);
    LONG stopped = shared_->position;
    PumpFor(100);
    EXPECT_EQ(shared_->position, stopped) << "frames are still painted after the menu closed";

    // The next opening starts from its first frame, with one timer.
    OpenStartMenu();
    EXPECT_EQ(shared_->position, -1) << "a narrow banner's first frame leaves it one column on";
    PumpFor(200);
    SendMessageW(taskbar_, WM_EXITMENULOOP, FALSE, 0);
}

// However an opening ends, nothing of it is left: no timer, no bitmap.
TEST_F(BannerHook, EveryWayAnOpeningEndsStopsTheTimerAndFreesTheBitmap) {
    Set(fx::kBannerSpeed.name, 1);
    SetBanner("Tall Skyline");
    struct Way {
        const char* name;
        std::function<void()> end;
        bool rehook;
    };
    const Way ways[] = {
        {"menu loop ends", [&] { SendMessageW(taskbar_, WM_EXITMENULOOP, FALSE, 0); }, false},
        {"menu window hidden", [&] { ShowWindow(menu_, SW_HIDE); }, false},
        {"menu window destroyed", [&] { DestroyWindow(menu_); }, false},
        {"loader unhooks", [&] { unhook_(); }, true},
        {"taskbar destroyed", [&] { DestroyWindow(taskbar_); }, true},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        if (!IsWindow(menu_))
            menu_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"FxTestBannerMenu", nullptr, WS_POPUP, 40, 40,
                                    kMenuWidth, kMenuHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(menu_, SW_SHOWNOACTIVATE);
        if (!IsWindow(taskbar_)) {
            taskbar_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", nullptr, WS_POPUP, 0, 700,
                                       400, 28, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        }
        if (way.rehook || !shared_->hook) {
            ASSERT_TRUE(hook_());
        }
        PumpFor(20);
        long before = fxtest::CountGdiObjects();
        for (LONG mode : {banner::kHorizontal, banner::kVertical}) {
            Set(fx::kMoveBanner.name, mode);
            OpenStartMenu();
            ASSERT_NE(shared_->timerId, 0u);
            ASSERT_EQ(fxtest::CountGdiObjects(), before + 1);
            PumpFor(30);
            way.end();
            EXPECT_TRUE(WaitFor([&] { return shared_->timerId == 0; }, 1000)) << "the timer still runs";
            EXPECT_EQ(fxtest::CountGdiObjects(), before) << "the bitmap is still held";
            if (!IsWindow(menu_) || !IsWindow(taskbar_) || !shared_->hook) break;
            ShowWindow(menu_, SW_SHOWNOACTIVATE);
        }
    }
}

// The system unmaps a hook's module from the hooked process once the hook is gone.
// Whoever unhooks, no timer of ours may be left to call into it, and the module must
// still be able to leave.
TEST_F(BannerHook, ModuleLeavesOnceUnhookedWithTheMenuOpen) {
    Set(fx::kBannerSpeed.name, 1);
    struct Way {
        const char* name;
        bool byLoader;  // else the hook vanishes without a word (the loader was killed)
    } ways[] = {{"the loader unhooks", true}, {"the hook vanishes", false}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        if (!module_) {
            module_ = LoadLibraryA(DistPath("fxbanner.dll").c_str());
            ASSERT_NE(module_, nullptr);
            hook_ = Export<HookFn>(module_, "fxHookShellTrayWnd");
            unhook_ = Export<UnhookFn>(module_, "fxUnhookShellTrayWnd");
            shared_ = SharedArea(module_);
            ASSERT_TRUE(hook_());
        }
        OpenStartMenu();
        ASSERT_NE(shared_->timerId, 0u);
        PumpFor(30);
        if (way.byLoader) {
            unhook_();
        } else {
            HHOOK hook = shared_->hook;
            shared_->hook = nullptr;
            UnhookWindowsHookEx(hook);
        }
        // Our own reference goes: only the banner's own hold may keep it now.
        FreeLibrary(module_);
        module_ = nullptr;
        shared_ = nullptr;
        EXPECT_TRUE(WaitFor([] { return GetModuleHandleA("fxbanner.dll") == nullptr; }, 3000))
            << "the module never leaves";
        // A timer left behind would now call into the unmapped module (and the fault
        // would be swallowed by the dispatcher): look for its ticks without running them.
        int strayTicks = 0;
        DWORD end = GetTickCount() + 100;
        while (static_cast<LONG>(end - GetTickCount()) > 0) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_TIMER && msg.hwnd == nullptr) ++strayTicks;
                else DispatchMessageW(&msg);
            }
            Sleep(5);
        }
        EXPECT_EQ(strayTicks, 0) << "a thread timer outlived the module";
        EXPECT_TRUE(IsWindow(taskbar_));
        EXPECT_EQ(SendMessageW(taskbar_, WM_NULL, 0, 0), 0);
    }
}

}  // namespace
