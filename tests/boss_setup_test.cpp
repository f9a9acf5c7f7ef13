// What every boss fight starts from: the boss on the right, as strong as
// the difficulty setting makes him, and the dragon back on the left.
#include "game/combat/Collision.h"
#include "levels_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace Morvek;

namespace {

// Fireballs it takes to bring the boss of a freshly set-up fight down.
template <typename Fight> int FireballsToKill(Difficulty setting) {
    LevelsTest::NewGame();
    world.difficulty = setting;
    Fight f;
    Boss::Setup(f);
    EXPECT_EQ(f.fullHealth, world.enemies[1].health); // the bar starts full
    int hits = 0;
    while (world.enemies[1].state && hits < 100000) {
        ShotHit(1);
        ++hits;
    }
    return hits;
}

template <typename Fight> void ExpectAFairStart(const char* name) {
    SCOPED_TRACE(name);
    const std::array<int, 3> hits{FireballsToKill<Fight>(Difficulty::Easy),
                                  FireballsToKill<Fight>(Difficulty::Normal),
                                  FireballsToKill<Fight>(Difficulty::Hard)};
    EXPECT_GE(hits[0], 50); // no boss falls to a few volleys
    EXPECT_EQ(hits[1], 2 * hits[0]);
    EXPECT_EQ(hits[2], 3 * hits[0]);

    LevelsTest::NewGame();
    world.dragon.x = 700;
    world.dragon.y = 700;
    Fight f;
    Boss::Setup(f);
    EXPECT_LT(world.dragon.x, 100);
    EXPECT_GT(world.enemies[1].x, 600);
    EXPECT_LT(std::abs(world.enemies[1].y - world.dragon.y), 150);
    // He stays on the field through a whole phase.
    for (int t = 0; t < 181; ++t) {
        LevelsTest::KeepAlive();
        Boss::Tick(f);
        ASSERT_TRUE(world.enemies[1].state) << "tick " << t;
    }
}

} // namespace

TEST(BossSetup, EachBossTakesFireballsByTheSettingAndFacesTheDragon) {
    EXPECT_EQ(FireballsToKill<Boss::WindFight>(Difficulty::Easy), 50);
    EXPECT_EQ(FireballsToKill<Boss::IceFight>(Difficulty::Easy), 100);
    EXPECT_EQ(FireballsToKill<Boss::KingFight>(Difficulty::Easy), 250);
    ExpectAFairStart<Boss::WindFight>("wind");
    ExpectAFairStart<Boss::IceFight>("ice");
    ExpectAFairStart<Boss::KingFight>("king");
}
