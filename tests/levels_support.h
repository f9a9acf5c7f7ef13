// Helpers for the level and boss tests: a run that fails instead of quietly
// ending, held keys, a dragon kept alive, and solid pictures whose colour on
// the back buffer tells which one was drawn.
#pragma once

#include "display/Run.h"
#include "display/Wimdows.h"
#include "game/Procedures.h"
#include "game/levels/BossCommon.h"
#include "game/levels/BossFights.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace LevelsTest {

std::uint32_t Solid(std::uint32_t rgb, std::uint32_t w, std::uint32_t h);

// A new game on a harmless field: without pictures the back buffer is black,
// which is the colour that kills the dragon. A run that would end for want of
// input (a screen left waiting) throws, so the test fails instead of the
// program exiting.
inline void NewGame() {
    TestWorld::NewGameState();
    const std::uint32_t white = Solid(0xFFFFFF, 1024, 768);
    for (std::uint32_t s = 1; s <= 6; ++s) {
        Procedures::images[2][s][2] = white;
    }
    Wimdows::Run::SetEndHandler([] { throw std::runtime_error("the run ran out of input"); });
}

inline void Key(std::uint32_t code, bool down) {
    Wimdows::Run::InputEvent event;
    event.kind = down ? Wimdows::Run::InputEvent::KeyDown : Wimdows::Run::InputEvent::KeyUp;
    event.code = code;
    Wimdows::Run::Apply(event);
}

// Keeps stray boss fire from ending the game while a test looks elsewhere.
inline void KeepAlive() {
    Procedures::schip.health = 100;
    Procedures::schip.lives = 4;
}

// A 1 x 1 picture of one colour (0x00RRGGBB), stretched to w x h.
inline std::uint32_t Solid(std::uint32_t rgb, std::uint32_t w, std::uint32_t h) {
    const auto dir = std::filesystem::temp_directory_path() / "morvek_levels_test";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / ("solid" + std::to_string(rgb) + ".bmp")).string();
    // 14-byte file header, 40-byte info header, one pixel padded to 4 bytes.
    std::array<std::uint8_t, 58> bmp{};
    auto put = [&bmp](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            bmp[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, 58, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, 1, 4);
    put(22, 1, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, 4, 4);
    put(54, rgb & 0xFF, 1);
    put(55, (rgb >> 8) & 0xFF, 1);
    put(56, (rgb >> 16) & 0xFF, 1);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), 58);
    return Wimdows::LoadBitmap(file, w, h);
}

// Puts a solid picture with a full mask into images[g][s].
inline void SolidPicture(std::uint32_t g, std::uint32_t s, std::uint32_t rgb, std::uint32_t w,
                         std::uint32_t h) {
    Procedures::images[g][s][1] = Solid(rgb, w, h);
    Procedures::images[g][s][2] = Solid(0xFFFFFF, w, h);
}

// Back-buffer colours come back in the game's order: red + 256 blue + 65536 green.
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0x00FF00;
constexpr std::uint32_t kRgbRed = 0xFF0000;
constexpr std::uint32_t kRgbBlue = 0x0000FF;

// One boss fight, set up on a new game and stepped tick by tick.
template <typename Fight> class FightTest : public ::testing::Test {
  protected:
    void SetUp() override {
        NewGame();
        Procedures::Boss::Setup(f);
    }
    void Step(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) {
            KeepAlive();
            Procedures::Boss::Tick(f);
        }
    }
    // An area attack in slot 100 as if born in the coming tick.
    void PutArea(Procedures::real x, Procedures::real y, Procedures::card& age) {
        Procedures::bullet& b = Procedures::bullets[Procedures::Boss::kArea];
        b = {};
        b.state = true;
        b.type = Procedures::Boss::kAreaType;
        b.x = x;
        b.y = y;
        b.length = 5;
        age = 0;
    }
    // The ticks the area attack outlives.
    int Lasts() {
        for (int ticks = 0; ticks < 100; ++ticks) {
            Procedures::Boss::Tick(f);
            if (!Procedures::Boss::AreaActive()) {
                return ticks;
            }
        }
        return -1;
    }
    Fight f;
};

} // namespace LevelsTest
