#include "game/levels/Battle.h"
#include "game/levels/Hazards.h"
#include "levels_support.h"

#include <gtest/gtest.h>

using namespace Morvek;

namespace {

class Hazards : public ::testing::Test {
  protected:
    void SetUp() override { LevelsTest::NewGame(); }
};

int CastlesInUse() {
    int n = 0;
    for (const std::uint32_t i : Slots(world.enemies)) {
        n += world.enemies[i].state && world.enemies[i].type == 5 ? 1 : 0;
    }
    return n;
}

// Ticks counter through 1..last and counts the ticks that began a new icicle
// (one still at its first fall step) or a new fireball (age 1 after its first move).
template <typename Born> int Births(void (*hazard)(), std::uint32_t last, Born born) {
    int births = 0;
    for (world.counter = 1; world.counter <= last; ++world.counter) {
        hazard();
        births += born() ? 1 : 0;
    }
    return births;
}

bool NewIcicle() {
    for (const std::uint32_t i : Slots(world.icicles)) {
        if (world.icicles[i].state && world.icicles[i].y == -120) {
            return true;
        }
    }
    return false;
}

bool NewFireball() {
    for (const std::uint32_t i : Slots(world.fireballs)) {
        if (world.fireballs[i].state && world.fireballs[i].counter == 1) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST_F(Hazards, CastlesComeEvery150TicksDividedByDifficulty) {
    world.actualDifficulty = 1;
    for (world.counter = 1; world.counter <= 600; ++world.counter) {
        CastleHazard();
    }
    EXPECT_EQ(CastlesInUse(), 4);
    EXPECT_FLOAT_EQ(world.enemies[1].x, 995);
    EXPECT_GE(world.enemies[1].y, 680);
    EXPECT_LE(world.enemies[1].y, 743);

    ClearField();
    world.actualDifficulty = 10;
    for (world.counter = 1; world.counter <= 600; ++world.counter) {
        CastleHazard();
    }
    EXPECT_EQ(CastlesInUse(), 40);
}

TEST_F(Hazards, IciclePeriodsAndTheSharedSlot) {
    world.dragon.x = 123.9f;
    world.actualDifficulty = 1;
    // Random ones at 80, 160, ... 560, aimed ones at 280 and 560; at 560 the
    // aimed one takes the slot the random one was given.
    EXPECT_EQ(Births(IcicleHazard, 560, NewIcicle), 8);
    int aimed = 0;
    for (const std::uint32_t i : Slots(world.icicles)) {
        aimed += world.icicles[i].state && world.icicles[i].y == -120 ? 1 : 0;
        if (world.icicles[i].state && world.icicles[i].y == -120) {
            EXPECT_EQ(world.icicles[i].x, 123); // straight above the dragon
        }
    }
    EXPECT_EQ(aimed, 1);

    ClearField();
    world.actualDifficulty = 10;
    // Every 8 ticks, aimed every 28; both at 56.
    EXPECT_EQ(Births(IcicleHazard, 56, NewIcicle), 7 + 2 - 1);
}

TEST_F(Hazards, IcicleFallsOffTheBottomAfter90Ticks) {
    world.actualDifficulty = 1;
    int ticks = 0;
    for (world.counter = 80; ticks == 0 || (world.icicles[1].state && ticks < 200);
         ++world.counter) {
        IcicleHazard();
        ++ticks;
    }
    EXPECT_EQ(ticks, 90);
    EXPECT_EQ(world.icicles[1].y, 770);

    // One that falls onto the bottom edge is gone as well; a row above it is not.
    world.icicles[2] = {500, 758, true};
    world.icicles[3] = {600, 757, true};
    world.counter = 1;
    IcicleHazard();
    EXPECT_FALSE(world.icicles[2].state);
    EXPECT_TRUE(world.icicles[3].state);
}

TEST_F(Hazards, LastIcicleSlotIsTakenWhenTheOthersAreBusy) {
    world.actualDifficulty = 1;
    for (const std::uint32_t i : Slots(world.icicles)) {
        world.icicles[i] = {500, 100, true};
    }
    world.counter = 80;
    IcicleHazard();
    EXPECT_EQ(world.icicles[20].y, -120);
    EXPECT_NE(world.icicles[20].x, 500);
    for (const std::uint32_t i : Slots(1, kIcicleSlots - 1)) {
        EXPECT_EQ(world.icicles[i].y, 110);
    }

    // A free slot lower down is preferred.
    world.icicles[5].state = false;
    world.counter = 160;
    IcicleHazard();
    EXPECT_EQ(world.icicles[5].y, -120);
}

TEST_F(Hazards, FireballPeriods) {
    world.actualDifficulty = 1;
    // 13 of period 100 and 10 of period 130 up to 1300, sharing tick 1300.
    EXPECT_EQ(Births(FireballHazard, 1300, NewFireball), 22);
    ClearField();
    world.actualDifficulty = 10;
    EXPECT_EQ(Births(FireballHazard, 130, NewFireball), 22);
}

TEST_F(Hazards, FireballArcsUnderGravityAndLeavesTheField) {
    world.actualDifficulty = 1;
    Item& f = world.fireballs[1];
    f = {};
    f.state = true;
    f.x = 800;
    f.y = f.startY = 700;
    f.speedX = -7;
    f.speedY = -20;
    float highest = 700;
    std::uint32_t at = 0;
    world.counter = 1;
    for (std::uint32_t n = 0; f.state && n < 200; ++n, ++world.counter) {
        FireballHazard();
        if (f.y < highest) {
            highest = f.y;
            at = n;
        }
    }
    EXPECT_NEAR(highest, 392.3, 0.1);
    EXPECT_EQ(at, 31u);
    EXPECT_FALSE(f.state);
    EXPECT_GE(f.y, 790);
}
