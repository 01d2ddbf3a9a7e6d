// The engine attached to a desktop of our own, in this process: what it replaces,
// what it answers, and what it gives back.
#include "engine_shared.h"
#include "fake_desktop.h"
#include "fx/names.h"
#include "fx/registry.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <string>

namespace {

std::string DistPath(const char* name) {
    std::string p = "Z:" FX_DIST_DIR "/";
    p += name;
    for (char& c : p) if (c == '/') c = '\\';
    return p;
}

template <class Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

template <class Pred>
bool WaitFor(Pred pred, DWORD ms = 5000) {
    DWORD end = GetTickCount() + ms;
    while (!pred()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    return true;
}

// The engine's shared data as this process maps it.
EngineShared* SharedArea(HMODULE engine) {
    auto* base = reinterpret_cast<BYTE*>(engine);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s)
        if (std::memcmp(s->Name, ".shared", 7) == 0) return reinterpret_cast<EngineShared*>(base + s->VirtualAddress);
    return nullptr;
}

// Some platforms (Wine 8) accept SPI_SETANIMATION but always report it off.
bool PlatformKeepsMinimizeAnimation() {
    static const bool keeps = [] {
        ANIMATIONINFO info{sizeof info, 1};
        SystemParametersInfoA(SPI_SETANIMATION, sizeof info, &info, 0);
        ANIMATIONINFO back{sizeof back, 0};
        SystemParametersInfoA(SPI_GETANIMATION, sizeof back, &back, 0);
        return back.iMinAnimate == 1;
    }();
    return keeps;
}

class EngineInjection : public ::testing::Test {
protected:
    using HookFn = BOOL(WINAPI*)();
    using UnhookFn = HHOOK(WINAPI*)();
    using RequestFn = BOOL(WINAPI*)(LONG, const char*, const char*);

    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);
        engine = LoadLibraryA(DistPath("fxengine.dll").c_str());
        ASSERT_NE(engine, nullptr);
        hook = Export<HookFn>(engine, "fxHookProgMan");
        unhook = Export<UnhookFn>(engine, "fxUnhookProgMan");
        request = Export<RequestFn>(engine, "fxStartStopAniOnDesktop");
        shared = SharedArea(engine);
        ASSERT_TRUE(hook && unhook && request && shared);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey); }

    bool Attached(FakeDesktop& d) {
        return d.CurrentProc(d.desktop()) != d.desktopOriginal() && d.CurrentProc(d.view()) != d.viewOriginal() &&
               d.CurrentProc(d.list()) != d.listOriginal();
    }
    bool Restored(FakeDesktop& d) {
        return d.CurrentProc(d.desktop()) == d.desktopOriginal() && d.CurrentProc(d.view()) == d.viewOriginal() &&
               d.CurrentProc(d.list()) == d.listOriginal();
    }
    void Attach(FakeDesktop& d) {
        ASSERT_TRUE(hook());
        ASSERT_TRUE(WaitFor([&] { return Attached(d); }));
    }

    HMODULE engine = nullptr;
    HookFn hook = nullptr;
    UnhookFn unhook = nullptr;
    RequestFn request = nullptr;
    EngineShared* shared = nullptr;
};

TEST_F(EngineInjection, AttachReplacesThreeProceduresAndCreatesFrameAndBubble) {
    FakeDesktop desk;
    Attach(desk);
    EXPECT_EQ(shared->g_desktopWindow, desk.desktop());

    HWND frame = shared->g_frameWindow;
    HWND bubble = shared->g_bubbleWindow;
    char cls[64];
    ASSERT_TRUE(IsWindow(frame));
    GetClassNameA(frame, cls, sizeof cls);
    EXPECT_STREQ(cls, "FXClass110");
    EXPECT_EQ(GetParent(frame), desk.list());
    EXPECT_EQ(GetWindowLongPtrA(frame, GWL_STYLE) & (WS_CHILD | WS_DISABLED | WS_VISIBLE), WS_CHILD | WS_DISABLED);
    ASSERT_TRUE(IsWindow(bubble));
    GetClassNameA(bubble, cls, sizeof cls);
    EXPECT_STREQ(cls, "FXClass109");
    EXPECT_TRUE(GetWindowLongPtrA(bubble, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindowThreadProcessId(bubble, nullptr), desk.threadId());

    // The views were subclassed by the command the engine posted to itself, which
    // still reached the shell's own procedure.
    ASSERT_TRUE(WaitFor([&] {
        auto c = desk.Commands();
        return std::find(c.begin(), c.end(), fx::FXCMD_RELOAD) != c.end();
    }));
    auto c = desk.Commands();
    EXPECT_NE(std::find(c.begin(), c.end(), fx::FXCMD_SUBCLASS), c.end());
}

TEST_F(EngineInjection, DesktopCommandsAreAnsweredOrPassedOn) {
    FakeDesktop desk;
    Attach(desk);
    EXPECT_TRUE(request(1, "C:\\a.ani", "No Such Item"));
    EXPECT_TRUE(request(0, "", "Not Animating"));
    EXPECT_EQ(shared->g_requestPending, 0);

    struct Row { WPARAM wp; bool passedOn; LRESULT result; };
    const Row rows[] = {
        {fx::FXCMD_ANI_START, false, 1},
        {fx::FXCMD_ANI_STOP, false, 1},
        {4449, true, 0},
        {MAKEWPARAM(4447, 1), true, 0},
        {MAKEWPARAM(4446, 2), true, 0},
    };
    for (const Row& r : rows) {
        size_t before = desk.Commands().size();
        LRESULT got = SendMessageW(desk.desktop(), WM_COMMAND, r.wp, 0);
        bool passed = desk.Commands().size() > before && desk.Commands().back() == r.wp;
        EXPECT_EQ(passed, r.passedOn) << std::hex << r.wp;
        EXPECT_EQ(got, r.result) << std::hex << r.wp;
    }
}

TEST_F(EngineInjection, LongRequestTextsAreCutToTheirFields) {
    FakeDesktop desk;
    Attach(desk);
    std::string path(1000, 'p');
    std::string label(1000, 'l');
    EXPECT_TRUE(request(1, path.c_str(), label.c_str()));
    EXPECT_EQ(std::strlen(shared->g_requestAniFile), 263u);
    EXPECT_EQ(std::strlen(shared->g_requestItemName), 259u);
    EXPECT_EQ(shared->g_requestPending, 0);
    EXPECT_EQ(shared->g_hotItem, -2) << "a field after the texts was overwritten";
}

TEST_F(EngineInjection, RequestWithoutDesktopFailsWithoutWaiting) {
    shared->g_desktopWindow = nullptr;
    DWORD start = GetTickCount();
    EXPECT_FALSE(request(1, "C:\\a.ani", "Item"));
    EXPECT_LT(GetTickCount() - start, 500u);
}

TEST_F(EngineInjection, ReloadReadsTheSettings) {
    MessageRecorder loaderWindow(fx::kLoaderClass);
    FakeDesktop desk;
    Attach(desk);
    loaderWindow.Pump(300);

    struct Row { LONG minMax; LONG animation; int animate; std::vector<WPARAM> aniStates; };
    const Row rows[] = {
        {0, 1, 0, {1}},
        {1, 1, 1, {1}},
        {3, 0, 1, {0, 0}},
    };
    for (const Row& r : rows) {
        fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, "MinMax", r.minMax);
        fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, "Icon Animation", r.animation);
        size_t before = loaderWindow.Pump(0).size();
        PostMessageW(desk.desktop(), WM_COMMAND, fx::FXCMD_RELOAD, 0);
        auto got = loaderWindow.Pump(400);
        std::vector<WPARAM> states;
        for (size_t i = before; i < got.size(); ++i)
            if (got[i].msg == fx::FXLM_ANI_STATE) states.push_back(got[i].wp);
        EXPECT_EQ(states, r.aniStates) << "MinMax " << r.minMax;
        EXPECT_EQ(shared->g_minMaxStyle, r.minMax);
        if (PlatformKeepsMinimizeAnimation()) {
            ANIMATIONINFO info{sizeof info, -1};
            SystemParametersInfoA(SPI_GETANIMATION, sizeof info, &info, 0);
            EXPECT_EQ(info.iMinAnimate, r.animate) << "MinMax " << r.minMax;
        }
    }
}

TEST_F(EngineInjection, UnhookGivesEverythingBackAndLetsTheEngineGo) {
    MessageRecorder helper(fx::kHelperClass);
    FakeDesktop desk;
    Attach(desk);
    HWND frame = shared->g_frameWindow;
    HWND bubble = shared->g_bubbleWindow;

    unhook();
    ASSERT_TRUE(WaitFor([&] { return Restored(desk); }));
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(bubble));
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(engine, "FXClass110", &wc));
    EXPECT_FALSE(GetClassInfoA(engine, "FXClass109", &wc));
    EXPECT_EQ(shared->g_desktopMessageHook, nullptr);
    auto got = helper.Pump(300);
    EXPECT_TRUE(std::any_of(got.begin(), got.end(), [](auto& m) { return m.msg == WM_CLOSE; }));

    // Once the desktop thread is back in its loop, the engine drops its own
    // reference: ours is then the last one.
    Sleep(300);
    FreeLibrary(engine);
    EXPECT_TRUE(WaitFor([] { return GetModuleHandleA("fxengine.dll") == nullptr; }));
    EXPECT_EQ(SendMessageW(desk.list(), LVM_GETITEMCOUNT, 0, 0), 0);
}

LRESULT CALLBACK ChainedOnTop(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto prev = reinterpret_cast<WNDPROC>(GetPropA(hwnd, "test-prev"));
    if (msg == WM_APP + 7) return 77;
    return CallWindowProcW(prev, hwnd, msg, wp, lp);
}

TEST_F(EngineInjection, ProcedureReplacedAfterUsStaysWorkingAndKeepsTheEngine) {
    FakeDesktop desk;
    Attach(desk);
    desk.RunOnThread([&] {
        LONG_PTR prev = SetWindowLongPtrW(desk.list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChainedOnTop));
        SetPropA(desk.list(), "test-prev", reinterpret_cast<HANDLE>(prev));
    });
    unhook();
    ASSERT_TRUE(WaitFor([&] { return desk.CurrentProc(desk.desktop()) == desk.desktopOriginal(); }));
    EXPECT_EQ(desk.CurrentProc(desk.list()), ChainedOnTop) << "someone else's procedure was cut off";
    Sleep(300);
    FreeLibrary(engine);
    Sleep(300);
    EXPECT_NE(GetModuleHandleA("fxengine.dll"), nullptr) << "engine left while its procedure is still chained";
    EXPECT_EQ(SendMessageW(desk.list(), WM_APP + 7, 0, 0), 77);
    EXPECT_EQ(SendMessageW(desk.list(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(EngineInjection, EngineOutlivesItsLoaderAndAttachesAgainAfterUnhook) {
    FakeDesktop desk;
    Attach(desk);
    // The loader's reference goes (it died): the engine holds itself while attached.
    FreeLibrary(engine);
    Sleep(200);
    ASSERT_NE(GetModuleHandleA("fxengine.dll"), nullptr);
    EXPECT_EQ(SendMessageW(desk.desktop(), WM_COMMAND, fx::FXCMD_ANI_STOP, 0), 1);

    // A new loader: unhook, then hook again in the same process.
    engine = LoadLibraryA(DistPath("fxengine.dll").c_str());
    unhook();
    ASSERT_TRUE(WaitFor([&] { return Restored(desk); }));
    Sleep(300);
    Attach(desk);
    EXPECT_TRUE(IsWindow(shared->g_frameWindow));
    EXPECT_TRUE(IsWindow(shared->g_bubbleWindow));
    unhook();
    EXPECT_TRUE(WaitFor([&] { return Restored(desk); }));
}

TEST_F(EngineInjection, SkipsAnOldProgramManagerWindow) {
    FakeDesktop desk(FakeDesktop::Options{true});
    ASSERT_NE(desk.oldProgramManager(), nullptr);
    ASSERT_EQ(FindWindowA("Progman", nullptr), desk.oldProgramManager());
    Attach(desk);
    EXPECT_EQ(shared->g_desktopWindow, desk.desktop());
    EXPECT_EQ(desk.CurrentProc(desk.oldProgramManager()), desk.desktopOriginal());
}

}  // namespace
