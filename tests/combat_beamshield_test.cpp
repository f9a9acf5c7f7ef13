#include "combat_support.h"
#include "game/combat/BeamShield.h"
#include "game/combat/Items.h"
#include "support/TestWorld.h"
#include "util/Random.h"

#include <gtest/gtest.h>

using namespace Morvek;
using CombatTest::Key;
using CombatTest::PutEnemy;
using CombatTest::PutShot;

namespace {

constexpr std::uint32_t kShift = 0x10, kCtrl = 0x11;

class BeamShield : public ::testing::Test {
  protected:
    void SetUp() override { TestWorld::NewGameState(); }
};

// A beam already running, so that this tick's growth gives g = gc + 2.
void RunningBeam(std::uint32_t gc) {
    world.beamRunning = true;
    world.dragon.beamReady = false;
    world.growCounter = gc;
}

void RaisedShield() {
    world.shieldRunning = true;
    world.growCounter = 0;
}

} // namespace

TEST_F(BeamShield, ShieldBurnsFor177TicksAndIsDrawnIn176) {
    RaisedShield();
    int drawn = 0;
    int ticks = 0;
    while (world.shieldRunning && ticks < 1000) {
        RunShield();
        ++ticks;
        drawn += world.growCounter != 0 ? 1 : 0;
        if (ticks == 176) {
            // The ending tick still burns what has come close.
            PutShot(5, world.dragon.x + 30, world.dragon.y, 2);
        }
    }
    EXPECT_EQ(ticks, 177);
    EXPECT_EQ(drawn, 176);
    EXPECT_FALSE(world.bullets[5].state);
    EXPECT_TRUE(world.dragon.shieldReady);
    EXPECT_EQ(world.growCounter, 0u);
}

TEST_F(BeamShield, CtrlRaisesTheShieldForOneChargeOnly) {
    Key(kCtrl, true);
    for (int i = 0; i < 50; ++i) {
        RunShield();
    }
    EXPECT_TRUE(world.shieldRunning);
    EXPECT_EQ(world.dragon.special, 2u);
    EXPECT_EQ(world.growCounter, 50u);

    world.dragon.special = 0;
    world.shieldRunning = false;
    world.dragon.shieldReady = true;
    RunShield();
    EXPECT_FALSE(world.shieldRunning);
}

TEST_F(BeamShield, ShieldReachIs60ForShotsAnd70ForEnemies) {
    RaisedShield();
    PutShot(1, world.dragon.x + 60, world.dragon.y, 1);
    PutShot(2, world.dragon.x, world.dragon.y + 60.01f, 3);
    PutShot(3, world.dragon.x + 10, world.dragon.y, 0); // the dragon's own
    PutEnemy(1, world.dragon.x - 70, world.dragon.y, 1).counter = 9;
    PutEnemy(2, world.dragon.x, world.dragon.y - 70.01f, 1);
    PutEnemy(3, world.dragon.x + 40, world.dragon.y + 40, 13, 250).health = 5000;
    const auto seed = Morvek::world.random.Seed();
    RunShield();
    EXPECT_FALSE(world.bullets[1].state);
    EXPECT_TRUE(world.bullets[2].state);
    EXPECT_TRUE(world.bullets[3].state);
    EXPECT_FALSE(world.enemies[1].state);
    EXPECT_EQ(world.enemies[1].counter, 9u);
    EXPECT_TRUE(world.enemies[2].state);
    EXPECT_FALSE(world.enemies[3].state); // a boss too
    // Burnt, not destroyed: no points and no item draw.
    EXPECT_EQ(world.score, 0u);
    EXPECT_EQ(Morvek::world.random.Seed(), seed);
    EXPECT_EQ(CombatTest::ExplosionsAlive(), 3);
    EXPECT_FLOAT_EQ(world.explosions[1].x, world.dragon.x + 60);
}

TEST_F(BeamShield, BeamGrowsUntilItsEndReaches1700) {
    RunningBeam(0);
    int ticks = 0;
    std::uint32_t longest = 0;
    while (world.beamRunning && ticks < 1000) {
        RunBeam();
        ++ticks;
        longest = std::max(longest, world.growCounter);
    }
    // From x = 60: 82 growing ticks, then the ending tick.
    EXPECT_EQ(ticks, 83);
    EXPECT_EQ(longest, 164u);
    EXPECT_EQ(world.growCounter, 0u);
    EXPECT_TRUE(world.dragon.beamReady);
}

TEST_F(BeamShield, HeldShiftCostsOneChargePerBeam) {
    Key(kShift, true);
    for (int i = 0; i < 83; ++i) {
        RunBeam();
    }
    EXPECT_EQ(world.dragon.special, 2u);
    EXPECT_FALSE(world.beamRunning);
    RunBeam(); // the next beam starts at once
    EXPECT_TRUE(world.beamRunning);
    EXPECT_EQ(world.dragon.special, 1u);
    EXPECT_EQ(world.growCounter, 2u);
}

TEST_F(BeamShield, BeamAndShieldShareOneCounter) {
    RunningBeam(0);
    RaisedShield();
    int ticks = 0;
    while (world.beamRunning && ticks < 1000) {
        RunShield();
        RunBeam();
        ++ticks;
    }
    // +3 a tick: the beam sees 166 in tick 56 and ends, resetting the shield too.
    EXPECT_EQ(ticks, 56);
    EXPECT_TRUE(world.shieldRunning);
    EXPECT_EQ(world.growCounter, 0u);

    ticks = 0;
    while (world.shieldRunning && ticks < 1000) {
        RunShield();
        RunBeam();
        ++ticks;
    }
    EXPECT_EQ(ticks, 177);
}

TEST_F(BeamShield, BeamHitsByEnemyKind) {
    RunningBeam(8); // g = 10: body samples at +1, +21 .. +181, tip at +200
    Enemy& bat = PutEnemy(1, world.dragon.x + 101, world.dragon.y, 1);
    Enemy& genieOnSample = PutEnemy(2, world.dragon.x + 21, world.dragon.y, 4);
    Enemy& genieBetween = PutEnemy(3, world.dragon.x + 31, world.dragon.y + 1, 4);
    Enemy& castle = PutEnemy(4, world.dragon.x + 141, world.dragon.y, 5);
    RunBeam();
    EXPECT_FALSE(bat.state);
    EXPECT_EQ(world.score, 10u);
    EXPECT_EQ(genieOnSample.health, 40); // three samples within 25
    EXPECT_EQ(genieBetween.health, 60);  // two samples
    EXPECT_TRUE(castle.state);
    EXPECT_EQ(castle.health, 100);
}

TEST_F(BeamShield, AnEnemyKilledByTheBeamIsPaidAndDroppedOnce) {
    // A Ghost with 20 health under both the tip and a body sample.
    RunningBeam(0); // g = 2: samples at +1, +21, tip at +40
    Enemy& ghost = PutEnemy(7, world.dragon.x + 21, world.dragon.y, 2);
    ghost.health = 20;
    ghost.counter = 12;
    RunBeam();
    const auto seedAfterBeam = Morvek::world.random.Seed();
    EXPECT_FALSE(ghost.state);
    EXPECT_EQ(ghost.health, 0);
    EXPECT_EQ(ghost.counter, 0u);
    EXPECT_EQ(world.score, 20u);

    // The same draws as exactly one drop offer.
    Morvek::world.random = {};
    DropItem(7);
    EXPECT_EQ(seedAfterBeam, Morvek::world.random.Seed());
}

TEST_F(BeamShield, BeamBurnsEnemyShotsButNotTheDragons) {
    RunningBeam(8); // g = 10: shot samples at +1, +31 .. +181, tip at +200
    PutShot(1, world.dragon.x + 31, world.dragon.y + 19, 1);
    PutShot(2, world.dragon.x + 31, world.dragon.y + 21, 1);
    PutShot(3, world.dragon.x + 21, world.dragon.y + 19, 2);  // between two samples 30 apart
    PutShot(4, world.dragon.x + 215, world.dragon.y + 12, 4); // near the tip
    PutShot(5, world.dragon.x + 31, world.dragon.y, 0);
    RunBeam();
    EXPECT_FALSE(world.bullets[1].state);
    EXPECT_TRUE(world.bullets[2].state);
    EXPECT_TRUE(world.bullets[3].state);
    EXPECT_FALSE(world.bullets[4].state);
    EXPECT_TRUE(world.bullets[5].state);
    // One explosion per burnt shot, at the shot.
    EXPECT_EQ(CombatTest::ExplosionsAlive(), 2);
    EXPECT_FLOAT_EQ(world.explosions[1].y, world.dragon.y + 19);
}

TEST_F(BeamShield, AShotUnderSeveralBeamSamplesFlaresAtEach) {
    RunningBeam(0); // g = 2: shot samples at +1 and +31, tip at +40
    PutShot(1, world.dragon.x + 36, world.dragon.y, 1); // tip and +31
    PutShot(2, world.dragon.x + 16, world.dragon.y, 2); // +1 and +31
    RunBeam();
    EXPECT_FALSE(world.bullets[1].state);
    EXPECT_FALSE(world.bullets[2].state);
    EXPECT_EQ(CombatTest::ExplosionsAlive(), 4);
    EXPECT_FLOAT_EQ(world.explosions[2].x, world.dragon.x + 36);
    EXPECT_FLOAT_EQ(world.explosions[3].x, world.dragon.x + 16);
}
