#include "levels_support.h"

#include <gtest/gtest.h>

using namespace Morvek;

namespace {

using KingFightTest = LevelsTest::FightTest<KingFight>;

// What the king's fire does to a slot when it hatches one.
void Hatch(std::uint32_t slot, float x, float y) {
    Enemy& e = world.enemies[slot];
    e.type = 12;
    e.path = 12;
    e.x = x;
    e.y = y;
    e.state = true;
}

} // namespace

TEST_F(KingFightTest, SetUpPutsOutTheLevelsFireballs) {
    world.fireballs[4].state = true;
    Boss::Setup(f);
    EXPECT_FALSE(world.fireballs[4].state);
}

TEST_F(KingFightTest, StagesFollowHealthAndNeverGoBack) {
    // The health at which each stage begins, by setting: a larger share of a
    // stronger king's health goes to the later stages.
    struct Edges {
        Difficulty setting;
        std::int32_t second, third;
    };
    for (const Edges& e :
         {Edges{Difficulty::Easy, 40000, 20000}, Edges{Difficulty::Normal, 60000, 30000},
          Edges{Difficulty::Hard, 100000, 50000}}) {
        SCOPED_TRACE(static_cast<int>(e.setting));
        world.difficulty = e.setting;
        Boss::Setup(f);
        world.enemies[1].health = e.second;
        Step();
        EXPECT_EQ(f.stage, 1u);
        world.enemies[1].health = e.second - 1;
        Step();
        EXPECT_EQ(f.stage, 2u);
        world.enemies[1].health = e.third;
        Step();
        EXPECT_EQ(f.stage, 2u);
        world.enemies[1].health = e.third - 1;
        Step();
        EXPECT_EQ(f.stage, 3u);
        world.enemies[1].health = f.fullHealth;
        Step();
        EXPECT_EQ(f.stage, 3u);
    }
}

TEST_F(KingFightTest, BroodIsRemovedInStageOneAndEquippedByItsStage) {
    world.difficulty = Difficulty::Easy;
    Boss::Setup(f);
    LevelsTest::SolidPicture(Picture::HatchlingSmall, LevelsTest::kRgbRed, 50, 50);
    LevelsTest::SolidPicture(Picture::HatchlingLarge, LevelsTest::kRgbBlue, 100, 100);

    Hatch(5, 500, 600);
    Step();
    EXPECT_FALSE(world.enemies[5].state);

    world.enemies[1].health = 39999; // Easy: stage 2
    Hatch(5, 500, 600);
    Step();
    ASSERT_TRUE(world.enemies[5].state);
    EXPECT_EQ(world.enemies[5].health, 500);
    EXPECT_FLOAT_EQ(world.enemies[5].diameter, 50);
    EXPECT_EQ(Display::GetPixel(static_cast<std::uint32_t>(world.enemies[5].x),
                                static_cast<std::uint32_t>(world.enemies[5].y)),
              LevelsTest::kRed);

    world.enemies[1].health = 19999; // stage 3: drawn large, health kept
    Step();
    ASSERT_TRUE(world.enemies[5].state);
    EXPECT_EQ(world.enemies[5].health, 500);
    const auto x = static_cast<std::uint32_t>(world.enemies[5].x),
               y = static_cast<std::uint32_t>(world.enemies[5].y);
    EXPECT_EQ(Display::GetPixel(x + 40, y + 40), LevelsTest::kBlue);

    // A slot freed and hatched again gets the size of the stage it comes in.
    world.enemies[5].state = false;
    Step();
    Hatch(5, 500, 600);
    Step();
    EXPECT_EQ(world.enemies[5].health, 3000);
    EXPECT_FLOAT_EQ(world.enemies[5].diameter, 100);
}

TEST_F(KingFightTest, FlameBandAndLifetime) {
    // The band reaches 50 above the anchor and 150 below it.
    for (const auto& [offset, ticks] : {std::pair{49.0f, 5}, std::pair{-149.0f, 5},
                                        std::pair{50.0f, 10}, std::pair{-150.0f, 10}}) {
        LevelsTest::KeepAlive();
        PutArea(825, world.dragon.y + offset, f.flameCounter);
        EXPECT_EQ(Lasts(), ticks) << offset;
    }
}

TEST_F(KingFightTest, AStrayShotInTheLastSlotIsNoFlame) {
    Bullet& b = world.bullets[kAreaSlot];
    b = {};
    b.state = true;
    b.type = 12;
    b.x = 500;
    b.y = world.dragon.y;
    f.flameCounter = 50;
    Steps::FightTick(f);
    EXPECT_EQ(world.dragon.health, 100);
}

TEST_F(KingFightTest, AFlameOutlivesItsKingWithoutAgeingOrBurning) {
    PutArea(825, world.dragon.y, f.flameCounter);
    world.enemies[1].state = false;
    f.stage = 2;
    for (int tick = 0; tick < 20; ++tick) {
        Steps::FightTick(f);
    }
    EXPECT_TRUE(Boss::AreaActive());
    EXPECT_EQ(world.dragon.health, 100);
    EXPECT_EQ(f.stage, 2u);
}
