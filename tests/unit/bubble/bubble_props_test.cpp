// The bubble window's mailbox properties: values split into "...H"/"...L" come back
// whole, window handles and addresses of 64-bit processes included.
#include "fx/bubble_props.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class BubbleProps : public ::testing::Test {
protected:
    void SetUp() override {
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        for (const char* n : {"FXCODEH", "FXCODEL", "FXWNDH", "FXWNDL", "FXSTRINGH", "FXSTRINGL"}) RemovePropA(window, n);
        for (const char* const* set : {fx::kPropRect1, fx::kPropRect2})
            for (int i = 0; i < 4; ++i) RemovePropA(window, set[i]);
        DestroyWindow(window);
    }
    HWND window = nullptr;
};

TEST_F(BubbleProps, SplitValuesComeBackWhole) {
    int local = 0;
    const ULONG_PTR values[] = {
        0, 0x1234, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu,
        reinterpret_cast<ULONG_PTR>(window), reinterpret_cast<ULONG_PTR>(&local),
#if defined(_WIN64)
        0x123456789ABCull, 0xFFFF800000001234ull, ~0ull,
#endif
    };
    for (ULONG_PTR v : values) {
        for (fx::SplitProp prop : {fx::kPropCode, fx::kPropEditList, fx::kPropString}) {
            ASSERT_TRUE(fx::SetSplitProp(window, prop, v));
            EXPECT_EQ(fx::GetSplitProp(window, prop), v) << std::hex << v << " " << prop.high;
            // The L property holds only the low 16 bits, as it always did.
            EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetPropA(window, prop.low)), v & 0xFFFF);
        }
    }
    fx::SetSplitWindow(window, fx::kPropEditList, window);
    EXPECT_EQ(fx::GetSplitWindow(window, fx::kPropEditList), window);
}

TEST_F(BubbleProps, ThirtyTwoBitWritersAndNegativeCodesAgree) {
    // A writer that keeps the 32-bit scheme (16 bits in each half) is read the same.
    const uint32_t v = 0xCAFEBABE;
    SetPropA(window, "FXSTRINGH", reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(v >> 16)));
    SetPropA(window, "FXSTRINGL", reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(v & 0xFFFF)));
    EXPECT_EQ(fx::GetSplitProp(window, fx::kPropString), v);

    for (int code : {-105, -106, -109, -111, -3, 0, 1, 0x7FFFFFFF, static_cast<int>(0x80000000u)}) {
        fx::SetSplitCode(window, code);
        EXPECT_EQ(fx::GetSplitCode(window), code);
        // Stored as an unsigned 32-bit number by another writer: the same code.
        fx::SetSplitProp(window, fx::kPropCode, static_cast<uint32_t>(code));
        EXPECT_EQ(fx::GetSplitCode(window), code);
    }
}

TEST_F(BubbleProps, RectanglesAreWholeSignedValues) {
    const RECT r{-3000, 3500, 4100, -1};
    ASSERT_TRUE(fx::SetPropRect(window, fx::kPropRect2, r));
    RECT back = fx::GetPropRect(window, fx::kPropRect2);
    EXPECT_TRUE(EqualRect(&back, &r));
    EXPECT_EQ(fx::GetPropValue(window, "FXR2l"), -3000);
    RECT none = fx::GetPropRect(window, fx::kPropRect1);
    EXPECT_TRUE(IsRectEmpty(&none));
}

}  // namespace
