// Helpers for the level and boss tests: held keys, a dragon kept alive, and
// solid pictures whose colour on the back buffer tells which one was drawn.
#pragma once

#include "display/Display.h"
#include "display/Run.h"
#include "game/core/ScenePictures.h"
#include "game/core/World.h"
#include "game/levels/BossCommon.h"
#include "game/levels/BossFights.h"
#include "game/screens/Highscore.h"
#include "support/Pictures.h"
#include "support/Steps.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace LevelsTest {

std::uint32_t Solid(std::uint32_t rgb, std::uint32_t w, std::uint32_t h);

// A new game on a harmless field: without pictures the back buffer is black,
// which is the colour that kills the dragon.
inline void NewGame() {
    TestWorld::NewGameState();
    const std::uint32_t white = Solid(0xFFFFFF, 1024, 768);
    for (std::uint32_t level = 1; level <= Morvek::kLastLevel; ++level) {
        for (const Morvek::Picture p : Morvek::LevelOf(level).scenery.deadly) {
            Morvek::world.pictures[p].picture = white;
        }
    }
}

inline void Key(std::uint32_t code, bool down) {
    Display::Run::InputEvent event;
    event.kind = down ? Display::Run::InputEvent::KeyDown : Display::Run::InputEvent::KeyUp;
    event.code = code;
    Display::Run::Apply(event);
}

// Keeps stray boss fire from ending the game while a test looks elsewhere.
inline void KeepAlive() {
    Morvek::world.dragon.health = 100;
    Morvek::world.dragon.lives = 4;
}

// A 1 x 1 picture of one colour (0x00RRGGBB), stretched to w x h.
inline std::uint32_t Solid(std::uint32_t rgb, std::uint32_t w, std::uint32_t h) {
    const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return TestPictures::Solid(r | (b << 8) | (g << 16), w, h);
}

// Makes a picture solid, with a full mask.
inline void SolidPicture(Morvek::Picture p, std::uint32_t rgb, std::uint32_t w, std::uint32_t h) {
    Morvek::world.pictures[p] = {Solid(rgb, w, h), Solid(0xFFFFFF, w, h)};
}

// Back-buffer colours come back in the game's order: red + 256 blue + 65536 green.
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0x00FF00;
constexpr std::uint32_t kRgbRed = 0xFF0000;
constexpr std::uint32_t kRgbBlue = 0x0000FF;

// One boss fight, set up on a new game and stepped a whole tick at a time,
// outside any scene.
template <typename Fight> class FightTest : public ::testing::Test {
  protected:
    void SetUp() override {
        NewGame();
        Morvek::Boss::Setup(f);
    }
    void Step(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) {
            KeepAlive();
            Steps::FightTick(f);
        }
    }
    // An area attack in slot 100 as if born in the coming tick.
    void PutArea(float x, float y, std::uint32_t& age) {
        Morvek::Bullet& b = Morvek::world.bullets[Morvek::kAreaSlot];
        b = {};
        b.state = true;
        b.type = Morvek::kAreaType;
        b.x = x;
        b.y = y;
        b.radius = 5;
        age = 0;
    }
    // The ticks the area attack outlives.
    int Lasts() {
        for (int ticks = 0; ticks < 100; ++ticks) {
            Steps::FightTick(f);
            if (!Morvek::Boss::AreaActive()) {
                return ticks;
            }
        }
        return -1;
    }
    Fight f;
};

} // namespace LevelsTest
