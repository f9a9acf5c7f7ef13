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
        Steps::FightTick(f);
        ASSERT_TRUE(world.enemies[1].state) << "tick " << t;
    }
}

} // namespace

TEST(BossSetup, EachBossTakesFireballsByTheSettingAndFacesTheDragon) {
    EXPECT_EQ(FireballsToKill<WindFight>(Difficulty::Easy), 50);
    EXPECT_EQ(FireballsToKill<IceFight>(Difficulty::Easy), 100);
    EXPECT_EQ(FireballsToKill<KingFight>(Difficulty::Easy), 250);
    ExpectAFairStart<WindFight>("wind");
    ExpectAFairStart<IceFight>("ice");
    ExpectAFairStart<KingFight>("king");
}

namespace {

template <typename Fight> Fight& FightOnTop() {
    return std::get<Fight>(std::get<BattleScene>(world.scenes.Top()).fight);
}

// A fight opened by the level script: set up once at the battle's start, its
// counters kept from one step to the next, and over once its field is clear,
// which leaves the game at the story after it.
template <typename Fight> void ExpectAFightScene(std::uint32_t level, std::uint32_t bossType) {
    SCOPED_TRACE(level);
    LevelsTest::NewGame();
    world.level = level;
    Steps::InGame(BattleScene{.fight = Fight{}});
    LevelsTest::KeepAlive();
    ASSERT_TRUE(Steps::Ticks(1));
    EXPECT_EQ(world.enemies[1].type, bossType);
    EXPECT_EQ(FightOnTop<Fight>().fullHealth, world.enemies[1].health);
    world.enemies[1].health -= 7;
    for (int t = 0; t < 5; ++t) {
        LevelsTest::KeepAlive();
        ASSERT_TRUE(Steps::Ticks(1));
    }
    EXPECT_EQ(world.enemies[1].health, FightOnTop<Fight>().fullHealth - 7) << "set up again";
    EXPECT_EQ(world.mode, Mode::BossFight);

    for (const std::uint32_t i : Slots(world.enemies)) {
        world.enemies[i].state = false;
    }
    ASSERT_TRUE(Steps::Until([] { return world.mode != Mode::BossFight; }, 10));
    EXPECT_EQ(world.mode, Mode::Interlude);
    EXPECT_EQ(world.scenes.Size(), 3u); // the menu, the game, the story
    EXPECT_FALSE(world.items[kCloudRow][1].state || world.items[kCloudRow][2].state);
}

} // namespace

TEST(BossSetup, AFightIsABattleSetUpOnceAndDoneWithItsField) {
    ExpectAFightScene<WindFight>(1, 10);
    ExpectAFightScene<IceFight>(2, 11);
    ExpectAFightScene<KingFight>(3, 13);
}
