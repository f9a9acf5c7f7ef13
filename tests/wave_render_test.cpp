#include "display/Display.h"
#include "game/combat/Field.h"
#include "game/combat/Render.h"
#include "game/core/ScenePictures.h"
#include "game/core/World.h"
#include "support/Pictures.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace Morvek;

namespace {

// Colours as the game writes them: red + 256 * blue + 65536 * green.
constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF, kBlue = 0x00FF00,
                        kGreen = 0xFF0000, kYellow = 0xFF00FF;

std::uint32_t Painted(int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
    return TestPictures::Load(w, h, colour);
}

std::uint32_t Solid(int w, int h, std::uint32_t c) {
    return TestPictures::Solid(c, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
}

// A level-1 scene: white deadly area with a black square at (300..309,
// 300..309), the visible picture red and its mirror blue, one white mask
// for every sprite.
std::uint32_t mask = 0;
void LevelOneField() {
    TestWorld::NewGameState();
    mask = Solid(1024, 768, kWhite);
    const std::uint32_t deadly = Painted(
        1024, 768, [](int x, int y) { return x / 10 == 30 && y / 10 == 30 ? kBlack : kWhite; });
    const std::uint32_t red = Solid(1024, 768, kRed), blue = Solid(1024, 768, kBlue);
    for (const std::uint32_t level : {1u, 2u}) {
        const auto& scenery = ScenePictures::SceneryOf(level);
        world.pictures[scenery.shown[0]] = {red};
        world.pictures[scenery.shown[1]] = {blue};
        world.pictures[scenery.deadly[0]] = {deadly};
        world.pictures[scenery.deadly[1]] = {deadly};
    }
    world.backgrounds[1].x = world.backgrounds[2].x = 7; // the next frame draws at 0
}

} // namespace

TEST(WaveRender, BackgroundScrollsAndWraps) {
    LevelOneField();
    world.backgrounds[1].x = -1003;
    FieldRules();
    Draw();
    EXPECT_EQ(Display::GetPixel(5, 400), kRed);
    EXPECT_EQ(Display::GetPixel(20, 400), kBlue);
    world.backgrounds[1].x = -1017;
    FieldRules();
    Draw();
    EXPECT_EQ(world.backgrounds[1].x, -1024);
    EXPECT_EQ(Display::GetPixel(5, 400), kBlue);
    EXPECT_EQ(Display::GetPixel(1020, 400), kBlue);
    world.backgrounds[1].x = -2044;
    FieldRules();
    Draw();
    EXPECT_EQ(world.backgrounds[1].x, -3);
    EXPECT_EQ(Display::GetPixel(5, 400), kRed);
    EXPECT_EQ(Display::GetPixel(1022, 400), kBlue);
}

TEST(WaveRender, BlackUnderTheDragonKillsIt) {
    LevelOneField();
    world.dragon.x = 100;
    world.dragon.y = 100;
    FieldRules();
    Draw();
    EXPECT_EQ(world.dragon.health, 100);
    world.backgrounds[1].x = 7;
    world.dragon.x = 305.9f;
    world.dragon.y = 305;
    FieldRules();
    Draw();
    EXPECT_EQ(world.dragon.health, 0);
}

TEST(WaveRender, IcicleThatTouchesTheDragonIsGone) {
    LevelOneField();
    world.level = 2;
    world.pictures[Picture::IcicleContact] = {Solid(30, 150, kBlack)};
    world.icicles[4] = {600, 250, true};
    world.icicles[5] = {100, 250, true};
    world.dragon.x = 610;
    world.dragon.y = 300;
    FieldRules();
    Draw();
    EXPECT_EQ(world.dragon.health, 0);
    EXPECT_FALSE(world.icicles[4].state);
    EXPECT_TRUE(world.icicles[5].state);
    int blasts = 0;
    for (const std::uint32_t i : Slots(world.explosions)) {
        blasts += world.explosions[i].state && world.explosions[i].x == 610 ? 1 : 0;
    }
    EXPECT_EQ(blasts, 2); // the icicle's and the wall's
}

TEST(WaveRender, DragonBeatsItsWingsEverySixTicks) {
    LevelOneField();
    world.pictures[Picture::Dragon1] = {Solid(50, 50, kYellow), mask};
    world.pictures[Picture::Dragon2] = {Solid(50, 50, kGreen), mask};
    world.dragon.x = 500;
    world.dragon.y = 500;
    world.counter = 6;
    FieldRules();
    Draw();
    EXPECT_EQ(Display::GetPixel(500, 500), kYellow);
    world.counter = 9;
    FieldRules();
    Draw();
    EXPECT_EQ(Display::GetPixel(500, 500), kGreen);
}

TEST(WaveRender, HudShowsSpareLivesAndBars) {
    LevelOneField();
    world.pictures[Picture::LifeIcon] = {Solid(25, 25, kYellow), mask};
    const auto lifeIcons = [] {
        int n = 0;
        for (int x : {32, 62, 92}) {
            n += Display::GetPixel(static_cast<std::uint32_t>(x), 42) == kYellow ? 1 : 0;
        }
        return n;
    };
    world.dragon.lives = 1;
    FieldRules();
    Draw();
    EXPECT_EQ(lifeIcons(), 0);
    // The background right of the frames, as the display's band shades it.
    const auto banded = [] { return Display::GetPixel(1015, 45); };
    EXPECT_EQ(Display::GetPixel(999, 45), 0xB00000u); // a full bar
    EXPECT_EQ(Display::GetPixel(1001, 45), banded());
    EXPECT_EQ(Display::GetPixel(895, 45), kGreen); // its frame
    EXPECT_EQ(Display::GetPixel(750, 45), 0x808000u);

    world.backgrounds[1].x = 7;
    world.dragon.lives = 4;
    world.dragon.health = 25;
    world.dragon.magic = 20;
    FieldRules();
    Draw();
    EXPECT_EQ(lifeIcons(), 3);
    EXPECT_EQ(Display::GetPixel(910, 45), kRed);
    EXPECT_EQ(Display::GetPixel(930, 45), banded()); // background, not bar
    EXPECT_EQ(Display::GetPixel(750, 45), 0x00FFFFu);

    // The frame the dragon is lost in draws the bar leftwards.
    world.backgrounds[1].x = 7;
    world.dragon.health = -10;
    FieldRules();
    Draw();
    EXPECT_EQ(Display::GetPixel(893, 45), kRed);
}
