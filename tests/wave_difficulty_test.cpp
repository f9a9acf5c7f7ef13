#include "game/core/World.h"
#include "game/levels/Difficulty.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

using namespace Morvek;

namespace {

// One measurement as the frame loop makes it; returns the difficulty.
std::uint32_t Measure() {
    world.counter = world.counter + 1;
    world.actualDifficulty = DynamicDifficulty(world.actualDifficulty);
    return world.actualDifficulty;
}

} // namespace

TEST(WaveDifficulty, SettlesAfterFiftyDifferentMeasurements) {
    TestWorld::NewGameState();
    world.difficulty = Difficulty::Easy;
    for (int t = 1; t < 50; ++t) {
        ASSERT_EQ(Measure(), 4u) << "tick " << t;
    }
    EXPECT_EQ(Measure(), 1u);
    for (int t = 0; t < 500; ++t) {
        ASSERT_EQ(Measure(), 1u);
    }

    TestWorld::NewGameState(); // Normal, no score: measured 2
    for (int t = 1; t < 50; ++t) {
        Measure();
    }
    EXPECT_EQ(Measure(), 2u);
}

TEST(WaveDifficulty, PointsPerTickFallIntoBandsThatEndJustBelowTheirBounds) {
    // Normal, one weapon level, four lives: the measurement is the band + 1.
    TestWorld::NewGameState();
    world.counter = 100;
    struct Edge {
        std::uint32_t score;
        std::uint32_t measured;
    };
    // Under half a point a tick, under one, two, three and five, and more.
    for (const Edge e :
         {Edge{0, 2}, Edge{49, 2}, Edge{50, 3}, Edge{99, 3}, Edge{100, 4}, Edge{199, 4},
          Edge{200, 5}, Edge{299, 5}, Edge{300, 6}, Edge{499, 6}, Edge{500, 7}, Edge{100000, 7}}) {
        world.score = e.score;
        DynamicDifficulty(4);
        EXPECT_EQ(world.difficultyHistory[0], e.measured) << "score " << e.score << " in 100 ticks";
    }
    // The same ratios over a longer game fall into the same bands.
    world.counter = 1000;
    world.score = 2999;
    DynamicDifficulty(4);
    EXPECT_EQ(world.difficultyHistory[0], 5u);
    world.score = 3000;
    DynamicDifficulty(4);
    EXPECT_EQ(world.difficultyHistory[0], 6u);
}

TEST(WaveDifficulty, OneMatchInFiftyHoldsIt) {
    TestWorld::NewGameState();
    world.counter = 100;
    for (int t = 0; t < 300; ++t) {
        world.score = t % 2 == 0 ? 150 : 250; // measured 4, then 5
        ASSERT_EQ(DynamicDifficulty(world.actualDifficulty), 4u);
    }
}

TEST(WaveDifficulty, HardIsCappedAtTenButHistoryIsNot) {
    TestWorld::NewGameState();
    world.difficulty = Difficulty::Hard;
    world.score = 1000;
    std::uint32_t d = 0;
    for (int t = 0; t < 120; ++t) {
        d = Measure();
    }
    EXPECT_EQ(d, 10u);
    EXPECT_EQ(world.difficultyHistory[50], 13u);
}

TEST(WaveDifficulty, HugeScoresDoNotOverflow) {
    TestWorld::NewGameState();
    world.score = 0x40000000u; // score * 4 is 2^32
    world.counter = 0x80000000u;
    DynamicDifficulty(4);
    EXPECT_EQ(world.difficultyHistory[0], 3u); // half a point a tick
    world.score = 0xFFFFFFFFu;
    world.counter = 1;
    DynamicDifficulty(4);
    EXPECT_EQ(world.difficultyHistory[0], 7u);
    world.counter = 0; // wrapped: still measured, no division by zero
    DynamicDifficulty(4);
    EXPECT_EQ(world.difficultyHistory[0], 7u);
    world.dragon.upgrade = 0xFFFFFFFFu;
    DynamicDifficulty(4);
    EXPECT_EQ(world.difficultyHistory[0], 0xFFFFFFFFu); // held at the top, not wrapped
}
