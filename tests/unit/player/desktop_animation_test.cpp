// The engine's desktop animations on a desktop of the test's own (same window tree
// as the shell's, items with icons of their own), driven through the start/stop
// request as the loader and the settings program drive it.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_desktop.h"
#include "fx/names.h"
#include "fx/registry.h"
#include "player_test_support.h"

namespace fxtest {
namespace {

using ani::AniRecipe;
using ani::kBlue;
using ani::kGreen;
using ani::kRed;

std::string DistPath(const char* name) {
    std::string p = "Z:" FX_DIST_DIR "/";
    p += name;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

template <class Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::vector<std::string> DesktopItems() {
    std::vector<std::string> items = {"Notes.txt", "Readme.txt", "Projects", "Photos"};
    while (items.size() < 51) items.push_back("Item " + std::to_string(items.size()));
    return items;
}

std::string Ani(uint32_t color, uint32_t steps = 1) {
    AniRecipe recipe;
    recipe.colors = {color};
    recipe.steps = steps;
    return WriteAni(recipe, "desk-" + std::to_string(color) + "-" + std::to_string(steps) + ".ani");
}

std::string AnimationsValue(const char* label) {
    char text[fx::kRegTextSize];
    fx::ReadRegString(HKEY_CURRENT_USER, fx::kAnimationsKey, label, text);
    return text;
}

class DesktopAnimations : public ::testing::Test {
protected:
    using HookFn = BOOL(WINAPI*)();
    using UnhookFn = HHOOK(WINAPI*)();
    using RequestFn = BOOL(WINAPI*)(LONG, const char*, const char*);

    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);
        engine_ = LoadLibraryA(DistPath("fxengine.dll").c_str());
        ASSERT_NE(engine_, nullptr);
        auto hook = Export<HookFn>(engine_, "fxHookProgMan");
        unhook_ = Export<UnhookFn>(engine_, "fxUnhookProgMan");
        request_ = Export<RequestFn>(engine_, "fxStartStopAniOnDesktop");
        ASSERT_TRUE(hook && unhook_ && request_);
        FakeDesktop::Options options;
        options.items = DesktopItems();
        desk_ = std::make_unique<FakeDesktop>(options);
        ASSERT_TRUE(hook());
        // Attached once the reload that the view subclassing posts has run.
        ASSERT_TRUE(WaitFor([&] {
            for (WPARAM c : desk_->Commands())
                if (c == fx::FXCMD_RELOAD) return true;
            return false;
        }));
        still_ = Ani(kRed, 0);
    }

    void TearDown() override {
        if (desk_) {
            unhook_();
            WaitFor([&] { return desk_->CurrentProc(desk_->list()) == desk_->listOriginal(); });
            desk_.reset();
        }
        if (engine_) FreeLibrary(engine_);
        RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);
    }

    HWND list() const { return desk_->list(); }
    bool Start(const char* label, const std::string& file) { return request_(1, file.c_str(), label); }
    bool Stop(const char* label) { return request_(0, "", label); }

    int Image(int item) {
        LVITEMA it{};
        it.mask = LVIF_IMAGE;
        it.iItem = item;
        SendMessageA(list(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        return it.iImage;
    }

    RECT IconRect(int item) {
        RECT rc{LVIR_ICON, 0, 0, 0};
        SendMessageA(list(), LVM_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&rc));
        return rc;
    }

    // The colour in the middle of the item's icon square.
    uint32_t IconColour(int item) {
        RECT rc = IconRect(item);
        HDC dc = GetDC(list());
        COLORREF c = GetPixel(dc, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ReleaseDC(list(), dc);
        return ToRgb(c);
    }

    void MoveItem(int item, int x, int y) {
        SendMessageA(list(), LVM_SETITEMPOSITION, WPARAM(item), MAKELPARAM(x, y));
    }

    // The list view paints what is invalid now, as the shell's thread would next.
    void Paint() {
        desk_->RunOnThread([&] { UpdateWindow(list()); });
    }

    // Threads of this process that run the engine's code: its players.
    int PlayerThreads() {
        using QueryThread = LONG(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
        static const auto query = reinterpret_cast<QueryThread>(
            reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
        const auto* base = reinterpret_cast<const BYTE*>(engine_);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const BYTE* end = base + nt->OptionalHeader.SizeOfImage;
        HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        int n = 0;
        for (BOOL ok = Thread32First(snap, &entry); ok; ok = Thread32Next(snap, &entry)) {
            if (entry.th32OwnerProcessID != GetCurrentProcessId()) continue;
            HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
            const BYTE* start = nullptr;
            if (thread && query(thread, 9 /* ThreadQuerySetWin32StartAddress */, &start, sizeof start, nullptr) >= 0 &&
                start >= base && start < end)
                ++n;
            if (thread) CloseHandle(thread);
        }
        CloseHandle(snap);
        return n;
    }
    bool PlayersAre(int n) { return WaitFor([&] { return PlayerThreads() == n; }); }

    HMODULE engine_ = nullptr;
    UnhookFn unhook_ = nullptr;
    RequestFn request_ = nullptr;
    std::unique_ptr<FakeDesktop> desk_;
    std::string still_;
};

TEST_F(DesktopAnimations, StartShowsTheFileInPlaceOfTheIconAndStopGivesTheIconBack) {
    Paint();
    const uint32_t ownIcon = IconColour(0);
    EXPECT_TRUE(Start("notes.TXT", Ani(kRed)));  // labels are found without regard to case
    EXPECT_EQ(Image(0), I_IMAGENONE);
    EXPECT_TRUE(WaitFor([&] { return IconColour(0) == kRed; })) << "the animation is not on the icon";

    // Starting an item that animates replaces its animation.
    EXPECT_TRUE(Start("Notes.txt", Ani(kGreen)));
    EXPECT_TRUE(WaitFor([&] { return IconColour(0) == kGreen; }));
    EXPECT_TRUE(PlayersAre(1)) << PlayerThreads();

    EXPECT_TRUE(Stop("Notes.txt"));
    EXPECT_EQ(Image(0), 0);
    EXPECT_TRUE(PlayersAre(0)) << PlayerThreads();
    Paint();
    EXPECT_EQ(IconColour(0), ownIcon);

    // Requests that change nothing are still answered.
    EXPECT_TRUE(Stop("Readme.txt"));
    EXPECT_TRUE(Start("No Such Item", Ani(kRed)));
    EXPECT_TRUE(Start("Readme.txt", "Z:\\no\\such.ani"));
    EXPECT_EQ(Image(1), 1) << "an item whose file does not play keeps its icon";
    EXPECT_TRUE(PlayersAre(0)) << PlayerThreads();
}

TEST_F(DesktopAnimations, FiftyItemsAnimateTheFiftyFirstKeepsItsIconAndReloadOffStopsAll) {
    const std::vector<std::string> items = DesktopItems();
    for (int i = 0; i < 51; ++i) {
        fx::WriteRegString(HKEY_CURRENT_USER, fx::kAnimationsKey, items[i].c_str(), still_.c_str(), false);
        EXPECT_TRUE(Start(items[i].c_str(), still_));
    }
    for (int i = 0; i < 50; ++i) EXPECT_EQ(Image(i), I_IMAGENONE) << items[i];
    EXPECT_EQ(Image(50), 50) << "the 51st animation was started";

    fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, "Icon Animation", 0);
    SendMessageW(desk_->desktop(), WM_COMMAND, fx::FXCMD_RELOAD, 0);
    for (int i = 0; i < 51; ++i) {
        EXPECT_EQ(Image(i), i) << items[i];
        EXPECT_EQ(AnimationsValue(items[i].c_str()), still_) << "stop-all must leave the registry alone";
    }
    EXPECT_TRUE(PlayersAre(0)) << PlayerThreads();
}

TEST_F(DesktopAnimations, PaintsFollowMovedItemsHideGivenBackIconsAndForgetVanishedItems) {
    const char* labels[] = {"Notes.txt", "Readme.txt", "Projects"};
    const uint32_t colours[] = {kRed, kGreen, kBlue};
    for (int i = 0; i < 3; ++i) {
        fx::WriteRegString(HKEY_CURRENT_USER, fx::kAnimationsKey, labels[i], Ani(colours[i]).c_str(), false);
        ASSERT_TRUE(Start(labels[i], Ani(colours[i])));
    }
    // Stopping the first moves the last into its place: both must go on following.
    ASSERT_TRUE(Stop("Notes.txt"));
    ASSERT_TRUE(WaitFor([&] { return IconColour(1) == kGreen && IconColour(2) == kBlue; }));

    const RECT oldReadme = IconRect(1);
    MoveItem(1, 400, 300);
    MoveItem(2, 300, 380);
    Paint();
    EXPECT_TRUE(WaitFor([&] { return IconColour(1) == kGreen && IconColour(2) == kBlue; }))
        << "the animations did not follow their items";
    {
        HDC dc = GetDC(list());
        uint32_t left = ToRgb(GetPixel(dc, (oldReadme.left + oldReadme.right) / 2, (oldReadme.top + oldReadme.bottom) / 2));
        ReleaseDC(list(), dc);
        EXPECT_NE(left, kGreen) << "the old spot was not repainted";
    }

    // A refresh that gives an item an image again: the next paint hides it and keeps it.
    LVITEMA it{};
    it.mask = LVIF_IMAGE;
    it.iItem = 2;
    it.iImage = 7;
    SendMessageA(list(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    Paint();
    EXPECT_EQ(Image(2), I_IMAGENONE);

    // A vanished item loses its animation and its Animations value at the next paint.
    SendMessageA(list(), LVM_DELETEITEM, 1, 0);
    Paint();
    EXPECT_EQ(AnimationsValue("Readme.txt"), "");
    EXPECT_NE(AnimationsValue("Projects"), "");
    EXPECT_TRUE(PlayersAre(1)) << PlayerThreads();

    ASSERT_TRUE(Stop("Projects"));
    EXPECT_EQ(Image(1), 7) << "the image given back by the refresh";  // Projects is item 1 now
}

TEST_F(DesktopAnimations, InPlaceRenameMovesTheAnimationsValue) {
    struct Row {
        const char* name;
        UINT code;
        const char* text;    // null: the edit was cancelled
        bool listTakesIt;    // the shell renamed the item
        const char* valueAt; // where the value is after the next paint
    };
    const Row rows[] = {
        {"wide notification", LVN_ENDLABELEDITW, "Renamed.txt", true, "Renamed.txt"},
        {"narrow notification", LVN_ENDLABELEDITA, "Renamed.txt", true, "Renamed.txt"},
        {"cancelled", LVN_ENDLABELEDITW, nullptr, false, "Notes.txt"},
        {"empty label", LVN_ENDLABELEDITW, "", false, "Notes.txt"},
        {"refused by the shell", LVN_ENDLABELEDITW, "Refused.txt", false, "Notes.txt"},
    };
    const std::string file = Ani(kRed);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fx::WriteRegString(HKEY_CURRENT_USER, fx::kAnimationsKey, "Notes.txt", file.c_str(), false);
        ASSERT_TRUE(Start("Notes.txt", file));

        std::wstring wide = row.text ? std::wstring(row.text, row.text + strlen(row.text)) : L"";
        NMLVDISPINFOW wideInfo{};
        NMLVDISPINFOA narrowInfo{};
        for (NMHDR* hdr : {&wideInfo.hdr, &narrowInfo.hdr}) {
            hdr->hwndFrom = list();
            hdr->code = row.code;
        }
        if (row.text) {
            wideInfo.item.pszText = const_cast<wchar_t*>(wide.c_str());
            narrowInfo.item.pszText = const_cast<char*>(row.text);
        }
        const LPARAM notify = row.code == LVN_ENDLABELEDITW ? reinterpret_cast<LPARAM>(&wideInfo)
                                                            : reinterpret_cast<LPARAM>(&narrowInfo);
        // As the list view does it: the notification, then (if the shell took the new
        // name) the new label, in one go on the desktop's thread.
        desk_->RunOnThread([&] {
            SendMessageW(desk_->view(), WM_NOTIFY, 0, notify);
            if (row.listTakesIt) {
                LVITEMA text{};
                text.pszText = const_cast<char*>(row.text);
                SendMessageA(list(), LVM_SETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&text));
            }
        });
        InvalidateRect(list(), nullptr, TRUE);
        Paint();
        if (!row.listTakesIt) {
            // A label that has not changed a while after the edit: the shell refused it.
            Sleep(1100);
            InvalidateRect(list(), nullptr, TRUE);
            Paint();
        }

        for (const char* label : {"Notes.txt", "Renamed.txt", "Refused.txt"})
            EXPECT_EQ(AnimationsValue(label), std::string(label) == row.valueAt ? file : "") << label;
        EXPECT_EQ(Image(0), I_IMAGENONE) << "the animation must go on";
        EXPECT_TRUE(PlayersAre(1)) << PlayerThreads();

        ASSERT_TRUE(Stop(row.valueAt));
        LVITEMA text{};
        text.pszText = const_cast<char*>("Notes.txt");
        SendMessageA(list(), LVM_SETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&text));
        RegDeleteTreeA(HKEY_CURRENT_USER, fx::kAnimationsKey);
    }
}

TEST(EngineModule, StaysLoadedWhileAPlayerRuns) {
    ScreenWindow w;
    HMODULE engine = LoadLibraryA(DistPath("fxengine.dll").c_str());
    ASSERT_NE(engine, nullptr);
    auto start = reinterpret_cast<LONG(WINAPI*)(HWND, LONG, LONG, const char*)>(
        reinterpret_cast<void (*)()>(GetProcAddress(engine, MAKEINTRESOURCEA(1))));
    auto stop = reinterpret_cast<BOOL(WINAPI*)(LONG)>(
        reinterpret_cast<void (*)()>(GetProcAddress(engine, MAKEINTRESOURCEA(2))));
    ASSERT_TRUE(start && stop);
    LONG h = start(w.hwnd(), 10, 10, Ani(kRed, 3).c_str());
    ASSERT_NE(h, 0);

    // A settings program that unloads the engine while a preview plays.
    FreeLibrary(engine);
    EXPECT_NE(GetModuleHandleA("fxengine.dll"), nullptr) << "the player's code was unmapped";
    EXPECT_TRUE(stop(h));
    EXPECT_TRUE(WaitFor([] { return GetModuleHandleA("fxengine.dll") == nullptr; }))
        << "the ended player kept the engine";
}

}  // namespace
}  // namespace fxtest
