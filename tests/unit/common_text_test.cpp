#include "fx/text.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CopyText, CutsAndAlwaysTerminates) {
    struct Row { const char* src; size_t cap; const char* want; bool whole; };
    const Row rows[] = {
        {"abc", 4, "abc", true},
        {"abcd", 4, "abc", false},
        {"", 1, "", true},
        {"x", 1, "", false},
        {nullptr, 4, "", true},
    };
    for (const Row& r : rows) {
        char buf[8];
        std::memset(buf, 'Z', sizeof buf);
        EXPECT_EQ(fx::CopyText(buf, r.cap, r.src), r.whole) << (r.src ? r.src : "(null)");
        EXPECT_STREQ(buf, r.want);
        EXPECT_EQ(buf[r.cap], 'Z') << "wrote past the buffer";
    }
}

TEST(CopyText, LongRequestTextIsCutTo259) {
    std::string longText(1000, 'q');
    char field[260 + 4];
    std::memset(field, 'Z', sizeof field);
    EXPECT_FALSE(fx::CopyText(field, 260, longText.c_str()));
    EXPECT_EQ(std::strlen(field), 259u);
    EXPECT_EQ(field[260], 'Z');
}

TEST(AppendText, BoundedAndDropsWhatDoesNotFit) {
    char buf[8] = "ab";
    EXPECT_TRUE(fx::AppendText(buf, sizeof buf, "cd"));
    EXPECT_STREQ(buf, "abcd");
    EXPECT_FALSE(fx::AppendText(buf, sizeof buf, "efghij"));
    EXPECT_STREQ(buf, "abcdefg");
}

TEST(LeadingNumber, DigitsOnlyAndSaturates) {
    EXPECT_EQ(fx::LeadingNumber("32"), 32);
    EXPECT_EQ(fx::LeadingNumber("48px"), 48);
    EXPECT_EQ(fx::LeadingNumber(" 5"), 0);
    EXPECT_EQ(fx::LeadingNumber(""), 0);
    EXPECT_EQ(fx::LeadingNumber(nullptr), 0);
    EXPECT_EQ(fx::LeadingNumber("99999999999999999999"), 2147483647);
}
