#include "levels_support.h"

#include "util/Random.h"

#include <gtest/gtest.h>

using namespace Morvek;

namespace {

using WindFightTest = LevelsTest::FightTest<WindFight>;

// Straight into the storm phase, clouds where the set-up left them.
void StormPhase(WindFight& f) {
    f.storming = true;
    f.bossCounter = 1;
}

} // namespace

TEST_F(WindFightTest, TheCloudsGuardTheGodFromTheDragonsFire) {
    // Fired straight at him while he stands, a fireball never gets through...
    StormPhase(f);
    world.dragon.y = 700; // out of the storm's way
    const std::int32_t full = world.enemies[1].health;
    auto fire = [] {
        Bullet& b = world.bullets[50];
        b = {};
        b.state = true;
        b.x = world.dragon.x + 20;
        b.y = world.enemies[1].y;
        b.speedX = 30;
        b.radius = 10;
    };
    fire();
    for (int t = 0; t < 40 && world.bullets[50].state; ++t) {
        Step();
    }
    EXPECT_FALSE(world.bullets[50].state);
    EXPECT_EQ(world.enemies[1].health, full);
    // ...while with the clouds blown away it reaches him.
    world.items[6][1].y = -1000;
    world.items[6][2].y = -1000;
    fire();
    for (int t = 0; t < 40 && world.bullets[50].state; ++t) {
        Step();
    }
    EXPECT_LT(world.enemies[1].health, full);
}

TEST_F(WindFightTest, PhasesLast181TicksAndTheCloudsDriftBetweenThem) {
    const Item home1 = world.items[6][1], home2 = world.items[6][2];
    const Enemy god = world.enemies[1];
    Step(180);
    EXPECT_FALSE(f.storming);
    Step();
    EXPECT_TRUE(f.storming);
    EXPECT_EQ(f.bossCounter, 1u);

    // The clouds part: 90 ticks of 1.4 pixels back and away from each
    // other, then they stand.
    Step(90);
    EXPECT_NEAR(world.items[6][1].x, home1.x + 126, 0.01);
    EXPECT_NEAR(world.items[6][1].y, home1.y - 126, 0.01);
    EXPECT_NEAR(world.items[6][2].x, home2.x + 126, 0.01);
    EXPECT_NEAR(world.items[6][2].y, home2.y + 126, 0.01);
    Step();
    EXPECT_NEAR(world.items[6][1].x, home1.x + 126, 0.01);
    // Held still at home in the storm phase.
    EXPECT_FLOAT_EQ(world.enemies[1].x, god.x);
    EXPECT_FLOAT_EQ(world.enemies[1].y, god.y);
    EXPECT_EQ(world.enemies[1].path, 0u);

    Step(90);
    EXPECT_FALSE(f.storming);
    EXPECT_FALSE(Boss::AreaActive()); // the storm ends with its phase
    Step(90);                         // and close again where they stood
    EXPECT_NEAR(world.items[6][1].x, home1.x, 0.01);
    EXPECT_NEAR(world.items[6][1].y, home1.y, 0.01);
    EXPECT_NEAR(world.items[6][2].x, home2.x, 0.01);
    EXPECT_NEAR(world.items[6][2].y, home2.y, 0.01);

    // The item code never gets to age them out.
    Step(400);
    EXPECT_TRUE(world.items[6][1].state && world.items[6][2].state);
}

TEST_F(WindFightTest, StormBandAndLifetime) {
    StormPhase(f);
    // Hitting on every tick it wears out in 10 ticks, 2 health a tick.
    PutArea(595, world.dragon.y + 64, f.stormCounter);
    EXPECT_EQ(Lasts(), 10);
    EXPECT_EQ(world.dragon.health, 100 - 10 * 2);
    // 65 pixels off its anchor the dragon is out of reach: 30 ticks.
    PutArea(595, world.dragon.y + 65, f.stormCounter);
    EXPECT_EQ(Lasts(), 30);
    PutArea(595, world.dragon.y - 65, f.stormCounter);
    EXPECT_EQ(Lasts(), 30);
    EXPECT_EQ(world.dragon.health, 80);
}

TEST_F(WindFightTest, CloudsBurnTheDragonAndSwallowItsShotsFromTheFront) {
    StormPhase(f);
    world.dragon.x = 450;
    world.dragon.y = 250;
    Step();
    EXPECT_EQ(world.dragon.health, 100 - 10);

    world.dragon.x = 60;
    world.dragon.y = 600;
    auto shot = [](std::uint32_t slot, float x, std::uint32_t type) {
        Bullet& b = world.bullets[slot];
        b = {};
        b.state = true;
        b.x = x;
        b.y = type == 0 ? 250 : 300; // apart, or they would cancel each other
        b.type = type;
        b.radius = 10;
    };
    shot(10, 480, 0); // 53 away, in front of the cloud's left edge
    shot(11, 470, 0); // left of cloud.x - 50 - length: passes
    shot(12, 480, 1); // enemy fire is not the cloud's business
    Steps::FightTick(f);
    EXPECT_FALSE(world.bullets[10].state);
    EXPECT_TRUE(world.bullets[11].state);
    EXPECT_TRUE(world.bullets[12].state);
}

TEST_F(WindFightTest, SixtyOneBeamContactsCutTheBeam) {
    StormPhase(f);
    // Level with both clouds and a long beam, so both of them count.
    world.dragon.y = 350;
    world.beamRunning = true;
    world.dragon.beamReady = false;
    world.growCounter = 40;
    std::uint32_t contacts = 0;
    int ticks = 0;
    for (; world.beamRunning && ticks < 500; ++ticks) {
        contacts = f.beamContacts;
        Step();
        if (ticks == 0) {
            EXPECT_EQ(f.beamContacts, 2u);
        }
    }
    EXPECT_EQ(contacts, 60u); // the 61st contact cut it
    EXPECT_EQ(world.growCounter, 0u);
    EXPECT_TRUE(world.dragon.beamReady);
    EXPECT_EQ(f.beamContacts, 0u);
}

TEST_F(WindFightTest, BeamCutNeverWrapsTheBeamLength) {
    StormPhase(f);
    // Close in front of the cloud with a beam just started: the cuts are
    // longer than the beam.
    world.dragon.x = 540;
    world.dragon.y = 250;
    world.beamRunning = true;
    world.dragon.beamReady = false;
    world.growCounter = 1;
    Step();
    // Cut to nothing, then grown by one step as usual.
    EXPECT_TRUE(world.beamRunning);
    EXPECT_EQ(world.growCounter, 2u);
}

TEST_F(WindFightTest, HealthBarShrinksAndTurnsRedAtAQuarter) {
    auto bar = [](std::int32_t health, std::int32_t full) {
        world.enemies[1].health = health;
        Display::Rectangle(780, 715, 1020, 745, 0, true);
        Boss::HealthBar(full);
    };
    constexpr std::uint32_t kGreen = 0xB00000;
    bar(10000, 10000);
    EXPECT_EQ(Display::GetPixel(998, 730), kGreen);
    EXPECT_NE(Display::GetPixel(1002, 730), kGreen);
    bar(2501, 10000);
    EXPECT_EQ(Display::GetPixel(923, 730), kGreen);
    EXPECT_NE(Display::GetPixel(927, 730), kGreen);
    bar(2500, 10000);
    EXPECT_EQ(Display::GetPixel(923, 730), LevelsTest::kRed);
    bar(3750, 15000);
    EXPECT_EQ(Display::GetPixel(923, 730), LevelsTest::kRed);
    bar(50000, 100000);
    EXPECT_EQ(Display::GetPixel(948, 730), kGreen);
    EXPECT_NE(Display::GetPixel(952, 730), kGreen);
    // A boss killed past zero leaves an empty bar, not one reaching left.
    bar(-99, 5000);
    EXPECT_NE(Display::GetPixel(898, 730), LevelsTest::kRed);
    EXPECT_NE(Display::GetPixel(899, 730), LevelsTest::kRed);
}

TEST_F(WindFightTest, StormChanceIsDrawnEveryStormTickAndItsHeightAfterIt) {
    // Nothing else draws in the storm phase, so the fight's own sequence can
    // be worked out ahead: one chance a tick until a 4, then the height.
    Morvek::world.random = {};
    int birth = 1;
    while (Morvek::world.random.Between(1, 25) != 4) {
        ++birth;
    }
    const auto height = static_cast<float>(Morvek::world.random.Between(1, 150));
    ASSERT_LT(birth, 180); // born inside the phase

    StormPhase(f);
    world.dragon.y = 700; // out of every storm's reach
    Morvek::world.random = {};
    Step(birth - 1);
    EXPECT_FALSE(world.bullets[kAreaSlot].state);
    Step();
    ASSERT_TRUE(Boss::AreaActive());
    EXPECT_FLOAT_EQ(world.bullets[kAreaSlot].x, 595);
    EXPECT_FLOAT_EQ(world.bullets[kAreaSlot].y, 271 + height);

    // A live storm does not spare the draw: still one chance a tick.
    Step(3);
    const std::uint32_t after = Morvek::world.random.Seed();
    Morvek::world.random = {};
    for (int i = 0; i < birth; ++i) {
        Morvek::world.random.Between(1, 25);
    }
    Morvek::world.random.Between(1, 150);
    for (int i = 0; i < 3; ++i) {
        Morvek::world.random.Between(1, 25);
    }
    EXPECT_EQ(Morvek::world.random.Seed(), after);
}
