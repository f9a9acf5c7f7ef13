#include "display/KeyCodes.h"
#include "game/levels/FrameLoop.h"
#include "game/levels/Levels.h"
#include "game/levels/Practice.h"
#include "levels_support.h"

#include "game/Game.h"
#include "game/levels/WaveTables.h"
#include "util/Random.h"

#include <gtest/gtest.h>

using namespace Morvek;

namespace KeyCode = Display::KeyCode;

namespace {

class Script : public ::testing::Test {
  protected:
    void SetUp() override {
        LevelsTest::NewGame();
        Game::options = {};
        practice = {};
    }
    void TearDown() override {
        Game::options = {};
        practice = {};
    }
};

} // namespace

TEST_F(Script, EveryWaveHoldsUpItsLoop) {
    // A wave with nothing but castles would leave the entry phase waiting forever.
    for (const auto table : {std::span<const Waves::Spawn>(Waves::kLevel1),
                             std::span<const Waves::Spawn>(Waves::kLevel2),
                             std::span<const Waves::Spawn>(Waves::kLevel3)}) {
        for (std::uint32_t wave = 1; wave <= 5; ++wave) {
            ClearField();
            Waves::Place(table, wave);
            EXPECT_FALSE(WaveCleared()) << "wave " << wave;
        }
    }
}

TEST_F(Script, LevelOneLeavesSlotThreeAlone) {
    for (std::uint32_t wave = 3; wave <= 5; ++wave) {
        ClearField();
        world.enemies[3] = {};
        Waves::Place(Waves::kLevel1, wave);
        EXPECT_TRUE(world.enemies[1].state && world.enemies[2].state && world.enemies[4].state);
        EXPECT_FALSE(world.enemies[3].state) << "wave " << wave;
    }
    // The last wave as placed.
    EXPECT_FLOAT_EQ(world.enemies[4].x, 1100);
    EXPECT_FLOAT_EQ(world.enemies[4].y, 300);
    EXPECT_EQ(world.enemies[4].type, 2u);
    EXPECT_EQ(world.enemies[4].path, 2u);
}

TEST_F(Script, LevelTwoDrawsItsFirstHeightsSlotBySlot) {
    Random::Reset();
    const std::uint32_t first = Random::Between(250, 450);
    const std::uint32_t second = Random::Between(250, 450);
    const std::uint32_t third = Random::Between(250, 450);
    Random::Reset();
    Waves::Place(Waves::kLevel2, 1);
    EXPECT_FLOAT_EQ(world.enemies[1].y, static_cast<float>(first));
    EXPECT_FLOAT_EQ(world.enemies[2].y, static_cast<float>(second));
    EXPECT_FLOAT_EQ(world.enemies[3].y, static_cast<float>(third));
    EXPECT_EQ(world.enemies[3].type, 4u);
    EXPECT_FALSE(world.enemies[4].state);
}

TEST_F(Script, LostGamePlacesTheRestButSkipsBossAndStory) {
    // The game-over screen has been left: nothing is fought and nothing waits.
    world.returnToMenu = true;
    world.dragon.beamReady = false;
    world.dragon.shieldReady = false;
    Level1();
    EXPECT_EQ(world.level, 2u);
    EXPECT_TRUE(world.dragon.beamReady);
    EXPECT_TRUE(world.dragon.shieldReady);
    EXPECT_NE(world.enemies[1].type, 10u);    // no boss was set up
    EXPECT_FLOAT_EQ(world.enemies[1].y, 160); // the last wave was still placed
    for (const std::uint32_t i : Slots(world.enemies)) {
        EXPECT_FALSE(world.enemies[i].state);
    }

    Level2();
    EXPECT_EQ(world.level, 3u);
}

TEST_F(Script, LevelThreeExtraWaveComesFromDifficultySix) {
    world.returnToMenu = true;
    world.level = 3;
    world.actualDifficulty = 5;
    Level3();
    // Slot 6 still holds the fifth wave's Ghost: there was no sixth wave.
    EXPECT_EQ(world.enemies[6].type, 2u);
    EXPECT_FLOAT_EQ(world.enemies[6].y, 380);
    EXPECT_TRUE(world.returnToMenu);
    EXPECT_EQ(world.level, 3u);

    world.actualDifficulty = 6;
    Level3();
    const std::array<float, 7> heights{0, 266.6667f, 333.3333f, 400, 466.6667f, 533.3333f, 600};
    for (std::uint32_t i = 1; i <= 6; ++i) {
        EXPECT_NEAR(world.enemies[i].y, heights[i], 0.001) << "slot " << i;
        EXPECT_EQ(world.enemies[i].type, 4u);
        EXPECT_EQ(world.enemies[i].path, 2u);
        EXPECT_GE(world.enemies[i].x, 960);
        EXPECT_LE(world.enemies[i].x, 1100);
    }
    EXPECT_NE(world.enemies[7].type, 4u);
}

TEST_F(Script, PracticeStartChoosesLevelAndBossOnce) {
    practice.level = 2;
    practice.boss = true;
    PracticeStart();
    EXPECT_EQ(world.level, 2u);
    EXPECT_EQ(world.dragon.lives, 4); // the rest of the new game stays

    // A level the game does not have starts an ordinary game.
    practice.level = 7;
    PracticeStart();
    EXPECT_EQ(world.level, 1u);
}

// Ramming the boss ends a fight at the cost of a life: the quickest way through.
TEST_F(Script, PracticeBossStartRunsFightStoryAndNextLevel) {
    for (std::uint32_t start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        LevelsTest::NewGame();
        practice.level = start;
        practice.boss = true;
        PracticeStart();
        LevelsTest::Key(KeyCode::kRight, true);
        LevelsTest::Key(KeyCode::kReturn, true);
        const std::uint32_t before = world.counter;
        if (start == 1) {
            Level1();
        } else {
            Level2();
        }
        EXPECT_EQ(world.level, start + 1);
        EXPECT_FALSE(world.returnToMenu);
        EXPECT_FALSE(world.enemies[1].state);
        EXPECT_LT(world.dragon.lives, 4); // the ram cost a life
        EXPECT_FALSE(world.items[6][1].state || world.items[6][2].state);
        // No wave was fought: only the fight's own ticks went by.
        EXPECT_LT(world.counter - before, 100u);
    }
}

// Only Enter leaves the story, and it is looked for after each 10 ms pause.
TEST_F(Script, InterludeWaitsForEnterAlone) {
    practice.boss = true;
    PracticeStart();
    LevelsTest::Key(KeyCode::kRight, true); // ram the boss
    bool fought = false;
    int waits = 0;
    std::uint64_t first = 0, last = 0;
    Display::Run::SetSyncHook([&] {
        fought = fought || world.items[6][1].state;
        if (!fought || world.items[6][1].state) {
            return;
        }
        // The clouds are off: the fight is over and the story is up.
        last = Display::Run::ClockMs();
        if (++waits == 1) {
            first = last;
        }
        constexpr std::array<std::uint32_t, 4> kOthers{0x20, 0x41, 0x1B, 0x28};
        if (waits <= 4) {
            LevelsTest::Key(kOthers[waits - 1], true);
        } else {
            LevelsTest::Key(KeyCode::kReturn, true);
        }
    });
    Level1();
    Display::Run::SetSyncHook({});
    EXPECT_EQ(waits, 5);
    EXPECT_EQ(last - first, 40u);
    EXPECT_EQ(world.level, 2u);
}
