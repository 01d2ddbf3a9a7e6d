// Shell_NotifyIcon requests arrive from any process; what the taskbar accepts from
// them must be exactly what shell32 sends, and nothing it cannot read safely.
#include "tray_message.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

namespace testshell {
namespace {

// A request as shell32 lays it out: the record, then mask and colour bits.
std::vector<BYTE> Request(UINT flags, UINT width, UINT height, UINT bpp, size_t bitsBytes) {
    std::vector<BYTE> bytes(sizeof(WineNotifyData) + bitsBytes, 0xFF);
    WineNotifyData data{};
    data.hWnd = 0x1234;
    data.uID = 7;
    data.uFlags = flags;
    data.uCallbackMessage = WM_APP + 1;
    wcscpy(data.szTip, L"tip");
    data.width = width;
    data.height = height;
    data.planes = 1;
    data.bpp = bpp;
    std::memcpy(bytes.data(), &data, sizeof data);
    return bytes;
}

COPYDATASTRUCT Cds(ULONG_PTR action, std::vector<BYTE>& bytes, size_t size) {
    return COPYDATASTRUCT{action, static_cast<DWORD>(size), bytes.data()};
}

TEST(TrayMessage, BitmapBlocksHaveShell32Sizes) {
    EXPECT_EQ(MaskBytes(16, 16), 32u);
    EXPECT_EQ(ColourBytes(16, 16, 1, 32), 1024u);
    // Rounded up to a whole word over the block, not per row.
    EXPECT_EQ(MaskBytes(20, 3), 8u);
}

TEST(TrayMessage, AddWithIconRebuildsTheIcon) {
    const size_t bits = MaskBytes(16, 16) + ColourBytes(16, 16, 1, 32);
    auto bytes = Request(NIF_MESSAGE | NIF_ICON | NIF_TIP, 16, 16, 32, bits);
    TrayRequest r;
    ASSERT_TRUE(ParseTrayCopyData(Cds(NIM_ADD, bytes, bytes.size()), r));
    EXPECT_EQ(r.action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(r.owner, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(r.id, 7u);
    EXPECT_EQ(r.callback, static_cast<UINT>(WM_APP + 1));
    EXPECT_EQ(r.tip, L"tip");
    ASSERT_TRUE(r.icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(r.icon.get(), &info));
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST(TrayMessage, RejectsWhatCannotBeReadSafely) {
    const size_t bits = MaskBytes(16, 16) + ColourBytes(16, 16, 1, 32);
    struct Case {
        const char* what;
        ULONG_PTR action;
        UINT width;
        size_t cut;  // bytes missing at the end
    } cases[] = {
        {"record cut short", NIM_ADD, 16, bits + 1},
        {"icon bits cut short", NIM_ADD, 16, 1},
        {"absurd icon size", NIM_ADD, 100000, 0},
        {"unknown action", 9, 16, 0},
    };
    for (const Case& c : cases) {
        auto bytes = Request(NIF_ICON, c.width, 16, 32, bits);
        TrayRequest r;
        EXPECT_FALSE(ParseTrayCopyData(Cds(c.action, bytes, bytes.size() - c.cut), r)) << c.what;
    }
}

TEST(TrayMessage, DeleteNeedsNoIcon) {
    auto bytes = Request(0, 0, 0, 0, 0);
    TrayRequest r;
    ASSERT_TRUE(ParseTrayCopyData(Cds(NIM_DELETE, bytes, bytes.size()), r));
    EXPECT_EQ(r.action, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(r.icon);
}

}  // namespace
}  // namespace testshell
