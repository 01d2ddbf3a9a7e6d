#include "bubble_test_support.h"

#include <cstring>

#include "fx/names.h"
#include "fx/registry.h"

namespace bubbletest {
namespace {

template <class Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

EngineShared* SharedArea(HMODULE engine) {
    auto* base = reinterpret_cast<BYTE*>(engine);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s)
        if (std::memcmp(s->Name, ".shared", 7) == 0) return reinterpret_cast<EngineShared*>(base + s->VirtualAddress);
    return nullptr;
}

}  // namespace

std::string DistPath(const char* name) {
    std::string p = "Z:" FX_DIST_DIR "/";
    p += name;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

Pixels CaptureDC(HDC dc, const RECT& area) {
    Pixels p;
    p.width = area.right - area.left;
    p.height = area.bottom - area.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, p.width, p.height, dc, area.left, area.top, SRCCOPY);
    GdiFlush();
    p.bits.reset(new DWORD[static_cast<size_t>(p.width) * p.height]);
    std::memcpy(p.bits.get(), bits, sizeof(DWORD) * p.width * p.height);
    for (int i = 0; i < p.width * p.height; ++i) p.bits[i] &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    return p;
}

Pixels Capture(HWND window, const RECT& area) {
    HDC dc = GetDC(window);
    Pixels p = CaptureDC(dc, area);
    ReleaseDC(window, dc);
    return p;
}

void EngineOnFakeDesktop::SetUp() {
    RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);
    engine = LoadLibraryA(DistPath("fxengine.dll").c_str());
    ASSERT_NE(engine, nullptr);
    shared = SharedArea(engine);
    display = Export<DisplayFn>(engine, "fxDisplayBubble");
    frameProc = Export<WNDPROC>(engine, "fxFrameWndProc");
    bubbleProc = Export<WNDPROC>(engine, "fxBubbleWndProc");
    hook = Export<HookFn>(engine, "fxHookProgMan");
    unhook = Export<UnhookFn>(engine, "fxUnhookProgMan");
    ASSERT_TRUE(shared && display && frameProc && bubbleProc && hook && unhook);
    desk = std::make_unique<FakeDesktop>();
    ASSERT_TRUE(hook());
    ASSERT_TRUE(WaitFor([&] { return IsWindow(shared->g_bubbleWindow) && IsWindow(shared->g_frameWindow); }));
    // The engine reads its settings once attached; wait for that before changing them.
    ASSERT_TRUE(WaitFor([&] {
        auto c = desk->Commands();
        for (WPARAM w : c)
            if (w == fx::FXCMD_RELOAD) return true;
        return false;
    }));
}

void EngineOnFakeDesktop::TearDown() {
    if (display) display(nullptr, 0, 0, 0, 0, "", 0, 0);
    if (unhook && desk) {
        HWND desktopWindow = desk->desktop();
        WNDPROC original = desk->desktopOriginal();
        unhook();
        WaitFor([&] { return desk->CurrentProc(desktopWindow) == original; });
    }
    desk.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, fx::kSettingsKey);
    if (engine) FreeLibrary(engine);
}

void EngineOnFakeDesktop::SetFlyoverStyle(LONG style) {
    fx::WriteRegDword(HKEY_CURRENT_USER, fx::kSettingsKey, "Flyover", style);
    SendMessageW(desk->desktop(), WM_COMMAND, fx::FXCMD_RELOAD, 0);
}

}  // namespace bubbletest
