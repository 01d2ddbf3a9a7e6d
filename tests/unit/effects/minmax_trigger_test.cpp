// When a frame recalculation counts as a minimize or a restore, and how the
// mailbox rectangles read.
#include "minmax_trigger.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(DetectMinMaxChange, FromWhatWasSeenOrFromWhereTheWindowWas) {
    const SIZE icon{160, 24};
    const RECT normal{80, 60, 560, 380};
    const RECT parked{-32000, -32000, -31840, -31976};
    const RECT bottomLeft{0, 720, 160, 744};  // minimized windows arranged on screen
    struct Row {
        int line;
        int seen;
        bool iconicNow;
        RECT before;
        MinMaxChange expected;
    } rows[] = {
        {__LINE__, 0, true, normal, MinMaxChange::kMinimize},
        {__LINE__, 1, false, parked, MinMaxChange::kRestore},
        {__LINE__, 0, false, normal, MinMaxChange::kNone},    // moved or sized
        {__LINE__, 1, true, parked, MinMaxChange::kNone},     // a minimized window moved
        {__LINE__, 1, false, normal, MinMaxChange::kRestore},  // seen minimized wins over the rectangle
        // Never seen (it existed before the hooks): judged by its old place.
        {__LINE__, -1, true, normal, MinMaxChange::kMinimize},
        {__LINE__, -1, false, parked, MinMaxChange::kRestore},
        {__LINE__, -1, false, bottomLeft, MinMaxChange::kRestore},
        {__LINE__, -1, false, normal, MinMaxChange::kNone},
        {__LINE__, -1, true, parked, MinMaxChange::kNone},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << r.line);
        EXPECT_EQ(DetectMinMaxChange(r.seen, r.iconicNow, r.before, icon), r.expected);
    }
}

TEST(MailboxRect, TabMarkerAndLargeCoordinates) {
    struct Row {
        int line;
        RECT in;
        bool tab;
        RECT clamped;
    } rows[] = {
        {__LINE__, {3000, 0, 0, 0}, true, {3000, 0, 0, 0}},
        {__LINE__, {3999, 5, 6, 7}, true, {3999, 5, 6, 7}},
        {__LINE__, {2999, 0, 10, 10}, false, {2999, 0, 10, 10}},
        {__LINE__, {4000, 4000, 4100, 4200}, false, {0, 0, 4100, 4200}},
        {__LINE__, {-5, 4001, 20, 30}, false, {-5, 0, 20, 30}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << r.line);
        EXPECT_EQ(MeansTaskbarTab(r.in), r.tab);
        const RECT c = ClampMailboxRect(r.in);
        EXPECT_TRUE(EqualRect(&c, &r.clamped));
    }
}

}  // namespace
}  // namespace engine
