#include "levels_support.h"

#include <gtest/gtest.h>

using namespace Morvek;

namespace {

using IceFightTest = LevelsTest::FightTest<IceFight>;

bool IceInFlight() {
    for (const std::uint32_t i : Slots(world.bullets)) {
        if (world.bullets[i].state && world.bullets[i].type == 11) {
            return true;
        }
    }
    return false;
}

// What the frame shows at the queen's centre.
std::uint32_t QueenColour() {
    return Display::GetPixel(static_cast<std::uint32_t>(world.enemies[1].x),
                             static_cast<std::uint32_t>(world.enemies[1].y));
}

} // namespace

TEST_F(IceFightTest, PictureChangesOnThe181stTickAndSheFiresFromThe182nd) {
    LevelsTest::SolidPicture(Picture::IceQueenBlowing, LevelsTest::kRgbRed, 250, 250);
    LevelsTest::SolidPicture(Picture::IceQueen, LevelsTest::kRgbBlue, 250, 250);
    Step(180);
    EXPECT_TRUE(f.blowing);
    EXPECT_EQ(QueenColour(), LevelsTest::kRed);
    EXPECT_FALSE(IceInFlight());
    Step();
    EXPECT_FALSE(f.blowing);
    EXPECT_EQ(QueenColour(), LevelsTest::kBlue);
    EXPECT_FALSE(IceInFlight());
    Step();
    EXPECT_TRUE(IceInFlight());
    EXPECT_EQ(world.enemies[1].path, 11u);

    // She turns to blowing wherever her path has taken her, and is held at
    // home from the next tick.
    Step(180);
    EXPECT_TRUE(f.blowing);
    EXPECT_EQ(QueenColour(), LevelsTest::kRed);
    Step();
    EXPECT_FLOAT_EQ(world.enemies[1].x, 900);
    EXPECT_FLOAT_EQ(world.enemies[1].y, 350);
}

TEST_F(IceFightTest, BreezeBandAndLifetime) {
    PutArea(825, world.dragon.y - 99, f.breezeCounter);
    EXPECT_EQ(Lasts(), 10);
    EXPECT_EQ(world.dragon.health, 100 - 10 * 3);
    PutArea(825, world.dragon.y - 100, f.breezeCounter);
    EXPECT_EQ(Lasts(), 30);
    EXPECT_EQ(world.dragon.health, 70);
}
