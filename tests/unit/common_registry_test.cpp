#include "fx/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A scratch key under HKCU, removed afterwards.
class RegistryRules : public ::testing::Test {
protected:
    const char* key = "Software\\FxUnitTests\\RegistryRules";
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, key); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key); }

    void Put(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), 0);
        ASSERT_EQ(RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size), 0);
        RegCloseKey(k);
    }
};

TEST_F(RegistryRules, DwordReadingRules) {
    const DWORD five = 5;
    const unsigned long long wide = 7;
    const unsigned char two[2] = {0x34, 0x12};
    Put("dword", REG_DWORD, &five, 4);
    Put("sz3", REG_SZ, "abc", 4);              // three characters and the zero: 4 bytes
    Put("sz4", REG_SZ, "abcd", 5);             // longer than 4 bytes
    Put("qword", REG_QWORD, &wide, 8);
    Put("bin2", REG_BINARY, two, 2);
    Put("negative", REG_DWORD, "\xfe\xff\xff\xff", 4);

    struct Row { const char* subkey; const char* name; LONG want; };
    const Row rows[] = {
        {key, "dword", 5},
        {key, "sz3", static_cast<LONG>('a' | ('b' << 8) | ('c' << 16))},
        {key, "sz4", 42},
        {key, "qword", 42},
        {key, "bin2", 0x1234},
        {key, "negative", -2},
        {key, "missing", 42},
        {"Software\\FxUnitTests\\NoSuchKey", "dword", 42},
    };
    for (const Row& r : rows)
        EXPECT_EQ(fx::ReadRegDword(HKEY_CURRENT_USER, r.subkey, r.name, 42), r.want) << r.subkey << " " << r.name;
}

TEST_F(RegistryRules, StringReadingRules) {
    const std::string max(259, 'm');
    const std::string over(260, 'o');
    const DWORD number = 0x41414141;
    Put("text", REG_SZ, "C:\\a.ani", 9);
    Put("max", REG_SZ, max.c_str(), 260);
    Put("over", REG_SZ, over.c_str(), 261);
    Put("unterminated", REG_BINARY, max.c_str(), 259);
    Put("dword", REG_DWORD, &number, 4);
    Put("empty", REG_SZ, "", 1);

    struct Row { const char* name; std::string want; };
    const std::vector<Row> rows = {
        {"text", "C:\\a.ani"}, {"max", max}, {"over", ""}, {"unterminated", ""},
        {"dword", ""}, {"empty", ""}, {"missing", ""},
    };
    for (const Row& r : rows) {
        char buf[260 + 8];
        std::memset(buf, 'Z', sizeof buf);
        fx::ReadRegString(HKEY_CURRENT_USER, key, r.name, buf, 260);
        EXPECT_EQ(std::string(buf), r.want) << r.name;
        EXPECT_EQ(buf[260], 'Z') << r.name << ": wrote past the buffer";
    }
}

TEST_F(RegistryRules, WriteCreatesKeyAndDeletes) {
    ASSERT_TRUE(fx::WriteRegString(HKEY_CURRENT_USER, key, "label", "C:\\x.ani", false));
    char buf[260];
    fx::ReadRegString(HKEY_CURRENT_USER, key, "label", buf);
    EXPECT_STREQ(buf, "C:\\x.ani");
    ASSERT_TRUE(fx::WriteRegString(HKEY_CURRENT_USER, key, "label", nullptr, true));
    fx::ReadRegString(HKEY_CURRENT_USER, key, "label", buf);
    EXPECT_STREQ(buf, "");
    ASSERT_TRUE(fx::WriteRegDword(HKEY_CURRENT_USER, key, "n", -7));
    EXPECT_EQ(fx::ReadRegDword(HKEY_CURRENT_USER, key, "n", 0), -7);
}

}  // namespace
