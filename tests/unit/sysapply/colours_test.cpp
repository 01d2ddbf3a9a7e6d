// Colours stored under HKCU "Control Panel\Colors" reach GetSysColor. The user
// root is redirected to a scratch key, so the session's own colour values are
// never touched; the session's colours are put back after each test.
#include "sysapply/colors.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using sysapply::kColourCount;
using sysapply::kColourNames;
using sysapply_test::InstalledApplier;

class RegistryColours : public ::testing::Test {
protected:
    static constexpr char kRoot[] = "Software\\FxUnitTests\\SysapplyUserRoot";
    HKEY root_ = nullptr;
    INT indexes_[kColourCount];
    COLORREF saved_[kColourCount];

    void SetUp() override {
        for (size_t i = 0; i < kColourCount; ++i) {
            indexes_[i] = kColourNames[i].index;
            saved_[i] = GetSysColor(indexes_[i]);
        }
        ASSERT_TRUE(InstalledApplier().ok()) << "sysapply.dll not installed in " FX_DIST_DIR;
        RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root_), ERROR_SUCCESS);
    }

    void TearDown() override {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (root_) RegCloseKey(root_);
        RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
        SetSysColors(static_cast<int>(kColourCount), indexes_, saved_);
    }

    // Stores data (size bytes, as given: with or without a final zero) as a value
    // of "Control Panel\Colors" under the redirected user root.
    static void Put(const char* name, const void* data, DWORD size, DWORD type = REG_SZ) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, sysapply::kColoursKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void PutText(const char* name, const std::string& text) { Put(name, text.c_str(), text.size() + 1); }

    // Every colour of the table set to a value of its own, so a test sees what changed.
    void PaintAll(COLORREF base) {
        COLORREF colours[kColourCount];
        for (size_t i = 0; i < kColourCount; ++i) colours[i] = base + static_cast<COLORREF>(i);
        ASSERT_TRUE(SetSysColors(static_cast<int>(kColourCount), indexes_, colours));
    }

    static void Apply() { EXPECT_EQ(InstalledApplier().colours(), 1); }
};

TEST_F(RegistryColours, EachValueSetsItsOwnColour) {
    const struct {
        const char* value;
        int index;
    } names[] = {
        {"ActiveBorder", COLOR_ACTIVEBORDER},       {"ActiveTitle", COLOR_ACTIVECAPTION},
        {"AppWorkspace", COLOR_APPWORKSPACE},       {"Background", COLOR_BACKGROUND},
        {"ButtonDkShadow", COLOR_3DDKSHADOW},       {"ButtonFace", COLOR_BTNFACE},
        {"ButtonHilight", COLOR_BTNHIGHLIGHT},      {"ButtonLight", COLOR_3DLIGHT},
        {"ButtonShadow", COLOR_BTNSHADOW},          {"ButtonText", COLOR_BTNTEXT},
        {"GrayText", COLOR_GRAYTEXT},               {"Hilight", COLOR_HIGHLIGHT},
        {"HilightText", COLOR_HIGHLIGHTTEXT},       {"InactiveBorder", COLOR_INACTIVEBORDER},
        {"InactiveTitle", COLOR_INACTIVECAPTION},   {"InactiveTitleText", COLOR_INACTIVECAPTIONTEXT},
        {"InfoText", COLOR_INFOTEXT},               {"InfoWindow", COLOR_INFOBK},
        {"Menu", COLOR_MENU},                       {"MenuText", COLOR_MENUTEXT},
        {"Scrollbar", COLOR_SCROLLBAR},             {"TitleText", COLOR_CAPTIONTEXT},
        {"Window", COLOR_WINDOW},                   {"WindowFrame", COLOR_WINDOWFRAME},
        {"WindowText", COLOR_WINDOWTEXT},
    };
    static_assert(sizeof names / sizeof names[0] == kColourCount, "every colour");
    for (size_t i = 0; i < kColourCount; ++i)
        PutText(names[i].value, std::to_string(10 + i) + " " + std::to_string(100 + i) + " " + std::to_string(200 + i));
    Apply();
    for (size_t i = 0; i < kColourCount; ++i)
        EXPECT_EQ(GetSysColor(names[i].index), RGB(10 + i, 100 + i, 200 + i)) << names[i].value;
}

TEST_F(RegistryColours, ValueTexts) {
    // Exactly 260 bytes with no final zero: only the first 259 characters count,
    // so the last digit is not part of the blue number.
    const std::string full260 = "0 0 " + std::string(255, '0') + "7";
    const std::string fits259 = "0 0 " + std::string(254, '0') + "7";
    const DWORD number = 0x00FF00FF;
    struct Row {
        int line;
        std::string data;  // stored as given, with a final zero unless raw
        bool raw;
        DWORD type;
        COLORREF want;
    };
    const Row rows[] = {
        {__LINE__, "255 0 0", false, REG_SZ, RGB(255, 0, 0)},
        {__LINE__, "300 0 0", false, REG_SZ, RGB(44, 0, 0)},
        {__LINE__, "1 2 3 4 5", false, REG_SZ, RGB(1, 2, 3)},
        {__LINE__, "-1 +2 3x", false, REG_SZ, RGB(255, 2, 3)},
        {__LINE__, "7", false, REG_SZ, RGB(7, 0, 0)},
        {__LINE__, "1  3", false, REG_SZ, RGB(1, 0, 3)},
        {__LINE__, "", false, REG_SZ, RGB(0, 0, 0)},
        {__LINE__, "9 8 7", false, REG_EXPAND_SZ, RGB(9, 8, 7)},
        {__LINE__, "255 0 0" + std::string(400, ' '), false, REG_SZ, RGB(255, 0, 0)},
        {__LINE__, full260, true, REG_SZ, RGB(0, 0, 0)},
        {__LINE__, fits259, false, REG_SZ, RGB(0, 0, 7)},
        {__LINE__, std::string(reinterpret_cast<const char*>(&number), 4), true, REG_DWORD, RGB(0, 0, 0)},
    };
    for (const Row& r : rows) {
        RegDeleteTreeA(HKEY_CURRENT_USER, sysapply::kColoursKey);
        PaintAll(RGB(20, 30, 40));
        // Raw data is followed by another character: the registry counts a zero
        // that follows the data as part of a text.
        const std::string stored = r.raw ? r.data + "#" : r.data;
        Put("ActiveTitle", stored.c_str(), static_cast<DWORD>(r.data.size() + (r.raw ? 0 : 1)), r.type);
        Apply();
        EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), r.want) << "row at line " << r.line;
        // The values that are missing become black.
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(0, 0, 0)) << "row at line " << r.line;
    }
}

TEST_F(RegistryColours, MissingKeyChangesNothing) {
    PaintAll(RGB(50, 60, 70));
    Apply();
    for (size_t i = 0; i < kColourCount; ++i)
        EXPECT_EQ(GetSysColor(kColourNames[i].index), RGB(50, 60, 70) + i) << kColourNames[i].value;
}

}  // namespace
