// The loader's tray and menu texts: the strings file when it has them, the Chinese
// built-ins when it does not, and a tip that fits the tray.
#include "loader_texts.h"
#include "texts.h"
#include "tray.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

class LoaderTexts : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path = std::string(dir) + "fx-loader-texts.eng";
        DeleteFileA(path.c_str());
        loader::SetStringsFile(path.c_str());
    }
    void TearDown() override { DeleteFileA(path.c_str()); }
    void Write(const std::string& body) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(body.data(), 1, body.size(), f);
        std::fclose(f);
    }
    std::string Tip(const char* user) {
        char tip[128];
        loader::BuildTrayTip(user, tip, sizeof tip);
        return tip;
    }
    std::string path;
};

TEST_F(LoaderTexts, MissingFileGivesTheBuiltInTexts) {
    for (const char* key : {loader::kMenuOpen, loader::kMenuAbout, loader::kMenuExit, loader::kTipNoUser})
        EXPECT_STREQ(loader::LookUpText(key), key);
    EXPECT_EQ(Tip("alice"), std::string(loader::kTipPrefix) + " alice");
    EXPECT_EQ(Tip(""), loader::kTipNoUser);
}

TEST_F(LoaderTexts, StringsFileReplacesEachTextByItsChineseKey) {
    Write(std::string("[FXLOADER]\r\n") + loader::kTipPrefix + "=Shown for\r\n" + loader::kMenuOpen +
          "=Open\r\n" + loader::kMenuExit + "=\r\n");
    EXPECT_STREQ(loader::LookUpText(loader::kMenuOpen), "Open");
    EXPECT_STREQ(loader::LookUpText(loader::kMenuExit), loader::kMenuExit) << "an empty entry falls back";
    EXPECT_STREQ(loader::LookUpText(loader::kMenuAbout), loader::kMenuAbout);
    EXPECT_EQ(Tip("bob"), "Shown for bob");
}

TEST_F(LoaderTexts, TipIsCutTo63BytesOnACharacterBoundary) {
    if (GetACP() != 936) GTEST_SKIP() << "needs the Chinese code page (936), have " << GetACP();
    // The prefix is 15 bytes of double-byte text; an odd cut would split a character.
    std::string longName(100, 'n');
    std::string tip = Tip(longName.c_str());
    EXPECT_EQ(tip.size(), 63u);
    EXPECT_EQ(tip.compare(0, std::strlen(loader::kTipPrefix), loader::kTipPrefix), 0);

    std::string chinese;
    for (int i = 0; i < 40; ++i) chinese += "\xd6\xd0";  // one double-byte character, repeated
    Write(std::string("[FXLOADER]\r\n") + loader::kTipNoUser + "=" + chinese + "\r\n");
    tip = Tip("");
    EXPECT_EQ(tip.size(), 62u) << "the 32nd character would not fit whole";
}

}  // namespace
