// The players of one process on a real window: what the square shows, how the
// players answer stop, move and pause at any moment, and what they give back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "player.h"
#include "player_test_support.h"
#include "process_counters.h"

namespace fxtest {
namespace {

using ani::AniRecipe;
using ani::kBlue;
using ani::kGreen;
using ani::kRed;

constexpr int kSide = 32;
constexpr POINT kAt = {20, 20};
constexpr POINT kElsewhere = {120, 70};

uint32_t Centre(const ScreenWindow& w, POINT at = kAt) { return w.Pixel(at.x + kSide / 2, at.y + kSide / 2); }

bool AllEnded() { return !engine::AnyPlayerInUse(); }

int Start(const ScreenWindow& w, const std::string& file, POINT at = kAt) {
    return engine::StartPlayer(w.hwnd(), at.x, at.y, file.c_str(), kSide);
}

// The colours the square's centre shows over ms, each change once.
std::vector<uint32_t> Watch(const ScreenWindow& w, DWORD ms, POINT at = kAt) {
    std::vector<uint32_t> seen;
    const DWORD begun = GetTickCount();
    while (GetTickCount() - begun < ms) {
        uint32_t c = Centre(w, at);
        if (seen.empty() || seen.back() != c) seen.push_back(c);
        Sleep(1);
    }
    return seen;
}

AniRecipe Recipe(std::vector<uint32_t> colors, uint32_t rate) {
    AniRecipe recipe;
    recipe.colors = std::move(colors);
    recipe.rate = rate;
    return recipe;
}

class Player : public ::testing::Test {
protected:
    void TearDown() override {
        engine::StopAllPlayers();
        EXPECT_TRUE(WaitFor(AllEnded)) << "a player did not end";
    }
};

TEST_F(Player, SquareGoesRoundTheSequenceAndKeepsTheLastFrameAfterStop) {
    AniRecipe missing = Recipe({kRed, kGreen}, 3);
    missing.steps = 3;
    missing.seq = std::vector<uint32_t>{0, 7, 1};  // image 7 does not exist: the background shows
    struct Row {
        const char* name;
        AniRecipe recipe;
        std::vector<uint32_t> cycle;
    };
    const Row rows[] = {
        {"frames in order", Recipe({kRed, kGreen, kBlue}, 3), {kRed, kGreen, kBlue}},
        {"a step naming a missing image", missing, {kRed, kBackground, kGreen}},
    };
    ScreenWindow w;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(Start(w, WriteAni(row.recipe, "player-cycle.ani")), 0);
        ASSERT_TRUE(WaitFor([&] { return Centre(w) == row.cycle[0]; }));
        std::vector<uint32_t> seen = Watch(w, 800);
        ASSERT_GE(seen.size(), row.cycle.size() * 2) << "the square hardly changed";
        for (size_t k = 0; k + 1 < seen.size(); ++k) {
            auto at = std::find(row.cycle.begin(), row.cycle.end(), seen[k]);
            ASSERT_NE(at, row.cycle.end()) << std::hex << "colour 0x" << seen[k] << " is no step's";
            size_t next = (size_t(at - row.cycle.begin()) + 1) % row.cycle.size();
            EXPECT_EQ(seen[k + 1], row.cycle[next]) << "step " << k;
        }

        engine::StopAllPlayers();
        ASSERT_TRUE(WaitFor(AllEnded));
        const uint32_t last = Centre(w);
        EXPECT_NE(std::find(row.cycle.begin(), row.cycle.end(), last), row.cycle.end());
        EXPECT_EQ(Watch(w, 200), std::vector<uint32_t>{last}) << "the square changed after the stop";
        w.Repaint();
    }
}

TEST_F(Player, WaitsWithoutSpinningAndEndsAtOnceWhateverTheSteps) {
    AniRecipe none = Recipe({kRed}, 6);
    none.steps = 0;
    AniRecipe zeros = Recipe({kRed, kGreen, kBlue}, 0);
    zeros.rates = std::vector<uint32_t>{0, 0, 0};
    struct Row {
        const char* name;
        AniRecipe recipe;
    };
    const Row rows[] = {
        {"no steps", none},
        {"every rate 0", zeros},
        {"a minute a step", Recipe({kRed, kGreen}, 3600)},
    };
    ScreenWindow w;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = WriteAni(row.recipe, "player-wait.ani");
        std::vector<int> players;
        for (int i = 0; i < 5; ++i) players.push_back(Start(w, file, {kAt.x + 36 * i, kAt.y}));
        ASSERT_EQ(std::count(players.begin(), players.end(), 0), 0);
        Sleep(200);
        // Five players spinning would keep several cores busy.
        const double cpu = CpuShareOver(1000);
        std::printf("%s: five players took %.1f%% of a core\n", row.name, cpu * 100);
        EXPECT_LT(cpu, 0.2);
        const DWORD began = GetTickCount();
        for (int p : players) engine::StopPlayer(p);
        ASSERT_TRUE(WaitFor(AllEnded, 3000));
        EXPECT_LT(GetTickCount() - began, 250u) << "players took long to end";
    }
}

TEST_F(Player, CallsReturnAtOnceWhileTheWindowThreadIsBusy) {
    ScreenWindow w;
    const std::string file = WriteAni(Recipe({kRed, kGreen}, 1), "player-busy.ani");
    int h = Start(w, file);
    ASSERT_NE(h, 0);
    ASSERT_TRUE(WaitFor([&] { return Centre(w) != kBackground; }));

    w.Block(2000);
    Sleep(50);
    const DWORD began = GetTickCount();
    DWORD slowest = 0;
    auto timed = [&](auto call) {
        DWORD t = GetTickCount();
        call();
        slowest = std::max(slowest, GetTickCount() - t);
    };
    // The move makes the player wait for a repaint the window cannot do now.
    timed([&] { engine::MovePlayer(h, kElsewhere.x, kElsewhere.y); });
    Sleep(30);
    bool paused = false;
    timed([&] { paused = engine::PausePlayer(h); });
    EXPECT_TRUE(paused);
    HICON first = nullptr;
    timed([&] { first = engine::CopyPlayerFirstFrame(h); });
    EXPECT_EQ(IconCentre(first), kRed) << "image 0 is the red frame";
    if (first) DestroyIcon(first);
    timed([&] { engine::ResumePlayer(h); });
    int other = 0;
    timed([&] { other = Start(w, file, kElsewhere); });
    EXPECT_NE(other, 0);
    timed([&] { engine::StopAllPlayers(); });
    EXPECT_TRUE(WaitFor(AllEnded, 1000));
    EXPECT_LT(GetTickCount() - began, 1500u) << "the players waited for the blocked window";
    EXPECT_LT(slowest, 100u);
}

TEST_F(Player, PauseHoldsTheSquareStillUntilEveryPauseIsReleased) {
    ScreenWindow w;
    int h = Start(w, WriteAni(Recipe({kRed, kGreen, kBlue}, 1), "player-pause.ani"));
    ASSERT_NE(h, 0);
    ASSERT_TRUE(WaitFor([&] { return Centre(w) != kBackground; }));
    EXPECT_EQ(engine::CopyPlayerFirstFrame(h), nullptr) << "frames are only lent while the player stands still";

    ASSERT_TRUE(engine::PausePlayer(h));
    EXPECT_EQ(Watch(w, 300).size(), 1u) << "a paused player drew";
    HICON first = engine::CopyPlayerFirstFrame(h);
    EXPECT_EQ(IconCentre(first), kRed);
    if (first) DestroyIcon(first);

    ASSERT_TRUE(engine::PausePlayer(h));  // pauses nest
    engine::ResumePlayer(h);
    EXPECT_EQ(Watch(w, 200).size(), 1u) << "one pause is still held";
    engine::ResumePlayer(h);
    EXPECT_GE(Watch(w, 300).size(), 4u) << "the player did not go on";

    // A stop ends a paused player; a gone or invalid player cannot be paused.
    ASSERT_TRUE(engine::PausePlayer(h));
    engine::StopPlayer(h);
    EXPECT_TRUE(WaitFor(AllEnded, 300));
    engine::ResumePlayer(h);
    for (int handle : {h, 0, -1, 51}) EXPECT_FALSE(engine::PausePlayer(handle, 50)) << handle;
}

TEST_F(Player, MovedPlayerDrawsAtTheNewPlaceAfterCapturingItsBackground) {
    ScreenWindow w;
    int h = Start(w, WriteAni(Recipe({kRed}, 6), "player-move.ani"));
    ASSERT_NE(h, 0);
    EXPECT_TRUE(engine::PlayerRecapturePending(h));
    ASSERT_TRUE(WaitFor([&] { return Centre(w) == kRed && !engine::PlayerRecapturePending(h); }));

    const int paintsBefore = w.paints();
    engine::MovePlayer(h, kElsewhere.x, kElsewhere.y);
    EXPECT_TRUE(engine::PlayerRecapturePending(h));
    ASSERT_TRUE(WaitFor([&] { return Centre(w, kElsewhere) == kRed; }));
    EXPECT_GT(w.paints(), paintsBefore) << "drew before the window repainted the new square";
    EXPECT_FALSE(engine::PlayerRecapturePending(h));
    EXPECT_EQ(Centre(w), kRed) << "the old square is the caller's to repaint";

    // A repaint wipes the square; the next step draws the frame again.
    w.Repaint();
    EXPECT_TRUE(WaitFor([&] { return Centre(w, kElsewhere) == kRed; }, 1000));
    EXPECT_EQ(Centre(w), kBackground);
}

TEST_F(Player, FiftyPlayersAtMostAndAFreedSlotIsTakenAgain) {
    ScreenWindow w;
    AniRecipe still = Recipe({kRed}, 6);
    still.steps = 0;
    const std::string file = WriteAni(still, "player-fifty.ani");
    std::vector<int> handles;
    for (int i = 0; i < engine::kMaxPlayers; ++i) handles.push_back(Start(w, file));
    std::vector<int> expected(engine::kMaxPlayers);
    for (int i = 0; i < engine::kMaxPlayers; ++i) expected[i] = i + 1;
    EXPECT_EQ(handles, expected);
    EXPECT_EQ(Start(w, file), 0) << "the 51st player";

    engine::StopPlayer(7);
    ASSERT_TRUE(WaitFor([&] {
        int h = Start(w, file);
        return h == 7;
    }));
    engine::StopAllPlayers();
    ASSERT_TRUE(WaitFor(AllEnded));
    EXPECT_EQ(Start(w, "Z:\\no\\such.ani"), 0);
    EXPECT_FALSE(engine::AnyPlayerInUse()) << "a refused file keeps a slot";
}

// Four threads at once, on any handle (valid or not), at any moment of a frame.
void Hammer(const ScreenWindow& w, const std::string& file) {
    std::vector<std::thread> threads;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        threads.emplace_back([&, seed] {
            std::mt19937 rng(seed);
            for (int i = 0; i < 400; ++i) {
                int h = int(rng() % 52);
                switch (rng() % 6) {
                case 0:
                case 1: Start(w, file, {kAt.x + int(rng() % 100), kAt.y + int(rng() % 60)}); break;
                case 2: engine::StopPlayer(h); break;
                case 3: engine::MovePlayer(h, int(rng() % 150), int(rng() % 100)); break;
                case 4:
                    if (engine::PausePlayer(h, 20)) {
                        if (HICON icon = engine::CopyPlayerFirstFrame(h)) DestroyIcon(icon);
                        Sleep(rng() % 3);
                        engine::ResumePlayer(h);
                    }
                    break;
                default: Sleep(rng() % 5); break;
                }
            }
        });
    }
    for (std::thread& t : threads) t.join();
    engine::StopAllPlayers();
}

TEST_F(Player, StartsAndStopsAtAnyMomentGiveEverythingBack) {
    ScreenWindow w;
    const std::string file = WriteAni(Recipe({kRed, kGreen, kBlue}, 1), "player-cycles.ani");
    // What the process sets up once is not a player's to give back: the reader's and
    // comctl32's first use, and the platform's cache of window DCs, which keeps as
    // many as were ever in use at once (a first round at the same concurrency fills it).
    Hammer(w, file);
    ASSERT_TRUE(WaitFor(AllEnded, 10000));
    const ResourceCounts before = CountResources();
    ASSERT_GE(before.gdiObjects, 0);

    for (int i = 0; i < 1000; ++i) {
        int h = Start(w, file, {kAt.x + (i % 4) * 36, kAt.y});
        if (i % 4 == 1) Sleep(i % 23);
        if (i % 5 == 2) engine::MovePlayer(h, kElsewhere.x, kElsewhere.y);
        if (i % 7 == 3 && engine::PausePlayer(h, 50)) {
            if (HICON icon = engine::CopyPlayerFirstFrame(h)) DestroyIcon(icon);
            engine::ResumePlayer(h);
        }
        engine::StopPlayer(h);
    }
    ASSERT_TRUE(WaitFor(AllEnded, 10000));
    const ResourceCounts afterCycles = CountResources();
    EXPECT_EQ(afterCycles.gdiObjects, before.gdiObjects) << "after 1000 start/stop cycles";
    EXPECT_EQ(afterCycles.handles, before.handles) << "after 1000 start/stop cycles";

    Hammer(w, file);
    ASSERT_TRUE(WaitFor(AllEnded, 10000));
    const ResourceCounts afterHammer = CountResources();
    EXPECT_EQ(afterHammer.gdiObjects, before.gdiObjects) << "after four threads at once";
    EXPECT_EQ(afterHammer.handles, before.handles) << "after four threads at once";
}

TEST_F(Player, PlayOnceShowsEachStepOnceWithinItsLimit) {
    ScreenWindow w;
    AniRecipe longOne = Recipe({kRed, kGreen}, 60);
    longOne.steps = 100;  // a hundred seconds as written
    struct Row {
        const char* name;
        std::string file;
        DWORD maxMs;
        int result;
        DWORD atLeastMs, belowMs;
        uint32_t last;
    };
    const Row rows[] = {
        {"three steps of 49 ms", WriteAni(Recipe({kRed, kGreen, kBlue}, 3), "once-three.ani"), 4000, 1, 140, 600,
         kBlue},
        {"a long sequence is cut at the limit", WriteAni(longOne, "once-long.ani"), 300, 1, 290, 800, kRed},
        {"a file that does not read", "Z:\\no\\such.ani", 4000, 0, 0, 200, kBackground},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        w.Repaint();
        const DWORD began = GetTickCount();
        EXPECT_EQ(engine::PlayAniOnce(w.hwnd(), kAt.x, kAt.y, row.file.c_str(), kSide, row.maxMs), row.result);
        const DWORD took = GetTickCount() - began;
        EXPECT_GE(took, row.atLeastMs);
        EXPECT_LT(took, row.belowMs);
        EXPECT_EQ(Centre(w), row.last);
    }
}

}  // namespace
}  // namespace fxtest
