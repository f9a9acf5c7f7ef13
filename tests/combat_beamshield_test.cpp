#include "combat_support.h"
#include "game/combat/BeamShield.h"
#include "game/combat/Items.h"
#include "support/TestWorld.h"
#include "util/StandardLib.h"

#include <gtest/gtest.h>

using namespace Procedures;
using CombatTest::Key;
using CombatTest::PutEnemy;
using CombatTest::PutShot;

namespace {

constexpr card kShift = 0x10, kCtrl = 0x11;

class BeamShield : public ::testing::Test {
  protected:
    void SetUp() override { TestWorld::NewGameState(); }
};

// A beam already running, so that this tick's growth gives g = gc + 2.
void RunningBeam(card gc) {
    beamRunning = true;
    dragon.beamReady = false;
    growCounter = gc;
}

void RaisedShield() {
    shieldRunning = true;
    growCounter = 0;
}

} // namespace

TEST_F(BeamShield, ShieldBurnsFor177TicksAndIsDrawnIn176) {
    RaisedShield();
    int drawn = 0;
    int ticks = 0;
    while (shieldRunning && ticks < 1000) {
        Energyshield();
        ++ticks;
        drawn += growCounter != 0 ? 1 : 0;
        if (ticks == 176) {
            // The ending tick still burns what has come close.
            PutShot(5, dragon.x + 30, dragon.y, 2);
        }
    }
    EXPECT_EQ(ticks, 177);
    EXPECT_EQ(drawn, 176);
    EXPECT_FALSE(bullets[5].state);
    EXPECT_TRUE(dragon.shieldReady);
    EXPECT_EQ(growCounter, 0u);
}

TEST_F(BeamShield, CtrlRaisesTheShieldForOneChargeOnly) {
    Key(kCtrl, true);
    for (int i = 0; i < 50; ++i) {
        Energyshield();
    }
    EXPECT_TRUE(shieldRunning);
    EXPECT_EQ(dragon.special, 2u);
    EXPECT_EQ(growCounter, 50u);

    dragon.special = 0;
    shieldRunning = false;
    dragon.shieldReady = true;
    Energyshield();
    EXPECT_FALSE(shieldRunning);
}

TEST_F(BeamShield, ShieldReachIs60ForShotsAnd70ForEnemies) {
    RaisedShield();
    PutShot(1, dragon.x + 60, dragon.y, 1);
    PutShot(2, dragon.x, dragon.y + 60.01f, 3);
    PutShot(3, dragon.x + 10, dragon.y, 0); // the dragon's own
    PutEnemy(1, dragon.x - 70, dragon.y, 1).counter = 9;
    PutEnemy(2, dragon.x, dragon.y - 70.01f, 1);
    PutEnemy(3, dragon.x + 40, dragon.y + 40, 13, 250).health = 5000;
    const auto seed = StandardLib::Seed();
    Energyshield();
    EXPECT_FALSE(bullets[1].state);
    EXPECT_TRUE(bullets[2].state);
    EXPECT_TRUE(bullets[3].state);
    EXPECT_FALSE(enemies[1].state);
    EXPECT_EQ(enemies[1].counter, 9u);
    EXPECT_TRUE(enemies[2].state);
    EXPECT_FALSE(enemies[3].state); // a boss too
    // Burnt, not destroyed: no points and no item draw.
    EXPECT_EQ(score, 0u);
    EXPECT_EQ(StandardLib::Seed(), seed);
    EXPECT_EQ(CombatTest::ExplosionsAlive(), 3);
    EXPECT_FLOAT_EQ(explosions[1].x, dragon.x + 60);
}

TEST_F(BeamShield, BeamGrowsUntilItsEndReaches1700) {
    RunningBeam(0);
    int ticks = 0;
    card longest = 0;
    while (beamRunning && ticks < 1000) {
        Energybeam();
        ++ticks;
        longest = std::max(longest, growCounter);
    }
    // From x = 60: 82 growing ticks, then the ending tick.
    EXPECT_EQ(ticks, 83);
    EXPECT_EQ(longest, 164u);
    EXPECT_EQ(growCounter, 0u);
    EXPECT_TRUE(dragon.beamReady);
}

TEST_F(BeamShield, HeldShiftCostsOneChargePerBeam) {
    Key(kShift, true);
    for (int i = 0; i < 83; ++i) {
        Energybeam();
    }
    EXPECT_EQ(dragon.special, 2u);
    EXPECT_FALSE(beamRunning);
    Energybeam(); // the next beam starts at once
    EXPECT_TRUE(beamRunning);
    EXPECT_EQ(dragon.special, 1u);
    EXPECT_EQ(growCounter, 2u);
}

TEST_F(BeamShield, BeamAndShieldShareOneCounter) {
    RunningBeam(0);
    RaisedShield();
    int ticks = 0;
    while (beamRunning && ticks < 1000) {
        Energyshield();
        Energybeam();
        ++ticks;
    }
    // +3 a tick: the beam sees 166 in tick 56 and ends, resetting the shield too.
    EXPECT_EQ(ticks, 56);
    EXPECT_TRUE(shieldRunning);
    EXPECT_EQ(growCounter, 0u);

    ticks = 0;
    while (shieldRunning && ticks < 1000) {
        Energyshield();
        Energybeam();
        ++ticks;
    }
    EXPECT_EQ(ticks, 177);
}

TEST_F(BeamShield, BeamHitsByEnemyKind) {
    RunningBeam(8); // g = 10: body samples at +1, +21 .. +181, tip at +200
    Enemy& bat = PutEnemy(1, dragon.x + 101, dragon.y, 1);
    Enemy& genieOnSample = PutEnemy(2, dragon.x + 21, dragon.y, 4);
    Enemy& genieBetween = PutEnemy(3, dragon.x + 31, dragon.y + 1, 4);
    Enemy& castle = PutEnemy(4, dragon.x + 141, dragon.y, 5);
    Energybeam();
    EXPECT_FALSE(bat.state);
    EXPECT_EQ(score, 10u);
    EXPECT_EQ(genieOnSample.health, 40); // three samples within 25
    EXPECT_EQ(genieBetween.health, 60);  // two samples
    EXPECT_TRUE(castle.state);
    EXPECT_EQ(castle.health, 100);
}

TEST_F(BeamShield, AnEnemyKilledByTheBeamIsPaidAndDroppedOnce) {
    // A Ghost with 20 health under both the tip and a body sample.
    RunningBeam(0); // g = 2: samples at +1, +21, tip at +40
    Enemy& ghost = PutEnemy(7, dragon.x + 21, dragon.y, 2);
    ghost.health = 20;
    ghost.counter = 12;
    Energybeam();
    const auto seedAfterBeam = StandardLib::Seed();
    EXPECT_FALSE(ghost.state);
    EXPECT_EQ(ghost.health, 0);
    EXPECT_EQ(ghost.counter, 0u);
    EXPECT_EQ(score, 20u);

    // The same draws as exactly one drop offer.
    StandardLib::ResetRandom();
    Dropitem(7);
    EXPECT_EQ(seedAfterBeam, StandardLib::Seed());
}

TEST_F(BeamShield, BeamBurnsEnemyShotsButNotTheDragons) {
    RunningBeam(8); // g = 10: shot samples at +1, +31 .. +181, tip at +200
    PutShot(1, dragon.x + 31, dragon.y + 19, 1);
    PutShot(2, dragon.x + 31, dragon.y + 21, 1);
    PutShot(3, dragon.x + 21, dragon.y + 19, 2);  // between two samples 30 apart
    PutShot(4, dragon.x + 215, dragon.y + 12, 4); // near the tip
    PutShot(5, dragon.x + 31, dragon.y, 0);
    Energybeam();
    EXPECT_FALSE(bullets[1].state);
    EXPECT_TRUE(bullets[2].state);
    EXPECT_TRUE(bullets[3].state);
    EXPECT_FALSE(bullets[4].state);
    EXPECT_TRUE(bullets[5].state);
    // One explosion per burnt shot, at the shot.
    EXPECT_EQ(CombatTest::ExplosionsAlive(), 2);
    EXPECT_FLOAT_EQ(explosions[1].y, dragon.y + 19);
}

TEST_F(BeamShield, AShotUnderSeveralBeamSamplesFlaresAtEach) {
    RunningBeam(0);                         // g = 2: shot samples at +1 and +31, tip at +40
    PutShot(1, dragon.x + 36, dragon.y, 1); // tip and +31
    PutShot(2, dragon.x + 16, dragon.y, 2); // +1 and +31
    Energybeam();
    EXPECT_FALSE(bullets[1].state);
    EXPECT_FALSE(bullets[2].state);
    EXPECT_EQ(CombatTest::ExplosionsAlive(), 4);
    EXPECT_FLOAT_EQ(explosions[2].x, dragon.x + 36);
    EXPECT_FLOAT_EQ(explosions[3].x, dragon.x + 16);
}
