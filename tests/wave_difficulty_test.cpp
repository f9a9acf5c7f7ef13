#include "game/core/World.h"
#include "game/levels/Difficulty.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

using namespace Procedures;

namespace {

// One measurement as the frame loop makes it; returns the difficulty.
card Measure() {
    counter = counter + 1;
    actualDifficulty = DynamicDifficulty(actualDifficulty);
    return actualDifficulty;
}

} // namespace

TEST(WaveDifficulty, SettlesAfterFiftyDifferentMeasurements) {
    TestWorld::NewGameState();
    difficulty = Difficulty::Easy;
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
    counter = 100;
    struct Edge {
        card score;
        card measured;
    };
    // Under half a point a tick, under one, two, three and five, and more.
    for (const Edge e :
         {Edge{0, 2}, Edge{49, 2}, Edge{50, 3}, Edge{99, 3}, Edge{100, 4}, Edge{199, 4},
          Edge{200, 5}, Edge{299, 5}, Edge{300, 6}, Edge{499, 6}, Edge{500, 7}, Edge{100000, 7}}) {
        score = e.score;
        DynamicDifficulty(4);
        EXPECT_EQ(difficultyHistory[0], e.measured) << "score " << e.score << " in 100 ticks";
    }
    // The same ratios over a longer game fall into the same bands.
    counter = 1000;
    score = 2999;
    DynamicDifficulty(4);
    EXPECT_EQ(difficultyHistory[0], 5u);
    score = 3000;
    DynamicDifficulty(4);
    EXPECT_EQ(difficultyHistory[0], 6u);
}

TEST(WaveDifficulty, OneMatchInFiftyHoldsIt) {
    TestWorld::NewGameState();
    counter = 100;
    for (int t = 0; t < 300; ++t) {
        score = t % 2 == 0 ? 150 : 250; // measured 4, then 5
        ASSERT_EQ(DynamicDifficulty(actualDifficulty), 4u);
    }
}

TEST(WaveDifficulty, HardIsCappedAtTenButHistoryIsNot) {
    TestWorld::NewGameState();
    difficulty = Difficulty::Hard;
    score = 1000;
    card d = 0;
    for (int t = 0; t < 120; ++t) {
        d = Measure();
    }
    EXPECT_EQ(d, 10u);
    EXPECT_EQ(difficultyHistory[50], 13u);
}

TEST(WaveDifficulty, HugeScoresDoNotOverflow) {
    TestWorld::NewGameState();
    score = 0x40000000u; // score * 4 is 2^32
    counter = 0x80000000u;
    DynamicDifficulty(4);
    EXPECT_EQ(difficultyHistory[0], 3u); // half a point a tick
    score = 0xFFFFFFFFu;
    counter = 1;
    DynamicDifficulty(4);
    EXPECT_EQ(difficultyHistory[0], 7u);
    counter = 0; // wrapped: still measured, no division by zero
    DynamicDifficulty(4);
    EXPECT_EQ(difficultyHistory[0], 7u);
    dragon.upgrade = 0xFFFFFFFFu;
    DynamicDifficulty(4);
    EXPECT_EQ(difficultyHistory[0], 0xFFFFFFFFu); // held at the top, not wrapped
}
