#include "display/Wimdows.h"
#include "game/combat/Field.h"
#include "game/core/World.h"
#include "support/Pictures.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace Procedures;

namespace {

// Colours as the game writes them: red + 256 * blue + 65536 * green.
constexpr card kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF, kBlue = 0x00FF00, kGreen = 0xFF0000,
               kYellow = 0xFF00FF;

card Picture(int w, int h, const std::function<card(int, int)>& colour) {
    return TestPictures::Load(w, h, colour);
}

card Solid(int w, int h, card c) {
    return TestPictures::Solid(c, static_cast<card>(w), static_cast<card>(h));
}

// A level-1 scene: white deadly area with a black square at (300..309,
// 300..309), the visible picture red and its mirror blue, one white mask
// for every sprite.
card mask = 0;
void Scene() {
    TestWorld::NewGameState();
    mask = Solid(1024, 768, kWhite);
    const card deadly = Picture(
        1024, 768, [](int x, int y) { return x / 10 == 30 && y / 10 == 30 ? kBlack : kWhite; });
    images[2][1] = {0, Solid(1024, 768, kRed), deadly};
    images[2][2] = {0, Solid(1024, 768, kBlue), deadly};
    images[2][3] = images[2][1];
    images[2][4] = images[2][2];
    backgrounds[1].x = backgrounds[2].x = 7; // the next frame draws at 0
}

} // namespace

TEST(WaveRender, BackgroundScrollsAndWraps) {
    Scene();
    backgrounds[1].x = -1003;
    FieldFrame();
    EXPECT_EQ(Wimdows::GetPixel(5, 400), kRed);
    EXPECT_EQ(Wimdows::GetPixel(20, 400), kBlue);
    backgrounds[1].x = -1017;
    FieldFrame();
    EXPECT_EQ(backgrounds[1].x, -1024);
    EXPECT_EQ(Wimdows::GetPixel(5, 400), kBlue);
    EXPECT_EQ(Wimdows::GetPixel(1020, 400), kBlue);
    backgrounds[1].x = -2044;
    FieldFrame();
    EXPECT_EQ(backgrounds[1].x, -3);
    EXPECT_EQ(Wimdows::GetPixel(5, 400), kRed);
    EXPECT_EQ(Wimdows::GetPixel(1022, 400), kBlue);
}

TEST(WaveRender, BlackUnderTheDragonKillsIt) {
    Scene();
    dragon.x = 100;
    dragon.y = 100;
    FieldFrame();
    EXPECT_EQ(dragon.health, 100);
    backgrounds[1].x = 7;
    dragon.x = 305.9f;
    dragon.y = 305;
    FieldFrame();
    EXPECT_EQ(dragon.health, 0);
}

TEST(WaveRender, IcicleThatTouchesTheDragonIsGone) {
    Scene();
    level = 2;
    images[4][7][1] = Solid(30, 150, kBlack);
    icicles[4] = {600, 250, true};
    icicles[5] = {100, 250, true};
    dragon.x = 610;
    dragon.y = 300;
    FieldFrame();
    EXPECT_EQ(dragon.health, 0);
    EXPECT_FALSE(icicles[4].update);
    EXPECT_TRUE(icicles[5].update);
    int blasts = 0;
    for (card i = 1; i <= 25; ++i) {
        blasts += explosions[i].state && explosions[i].x == 610 ? 1 : 0;
    }
    EXPECT_EQ(blasts, 2); // the icicle's and the wall's
}

TEST(WaveRender, DragonBeatsItsWingsEverySixTicks) {
    Scene();
    images[1][1] = {0, Solid(50, 50, kYellow), mask};
    images[1][2] = {0, Solid(50, 50, kGreen), mask};
    dragon.x = 500;
    dragon.y = 500;
    counter = 6;
    FieldFrame();
    EXPECT_EQ(Wimdows::GetPixel(500, 500), kYellow);
    counter = 9;
    FieldFrame();
    EXPECT_EQ(Wimdows::GetPixel(500, 500), kGreen);
}

TEST(WaveRender, HudShowsSpareLivesAndBars) {
    Scene();
    images[6][6] = {0, Solid(25, 25, kYellow), mask};
    const auto lifeIcons = [] {
        int n = 0;
        for (int x : {32, 62, 92}) {
            n += Wimdows::GetPixel(static_cast<card>(x), 42) == kYellow ? 1 : 0;
        }
        return n;
    };
    dragon.lives = 1;
    FieldFrame();
    EXPECT_EQ(lifeIcons(), 0);
    EXPECT_EQ(Wimdows::GetPixel(999, 45), 0xB00000u); // a full bar
    EXPECT_EQ(Wimdows::GetPixel(1001, 45), kRed);
    EXPECT_EQ(Wimdows::GetPixel(895, 45), kGreen); // its frame
    EXPECT_EQ(Wimdows::GetPixel(750, 45), 0x808000u);

    backgrounds[1].x = 7;
    dragon.lives = 4;
    dragon.health = 25;
    dragon.magic = 20;
    FieldFrame();
    EXPECT_EQ(lifeIcons(), 3);
    EXPECT_EQ(Wimdows::GetPixel(910, 45), kRed);
    EXPECT_EQ(Wimdows::GetPixel(930, 45), kRed); // background, not bar
    EXPECT_EQ(Wimdows::GetPixel(750, 45), 0x00FFFFu);

    // The frame the dragon is lost in draws the bar leftwards.
    backgrounds[1].x = 7;
    dragon.health = -10;
    FieldFrame();
    EXPECT_EQ(Wimdows::GetPixel(893, 45), kRed);
}
