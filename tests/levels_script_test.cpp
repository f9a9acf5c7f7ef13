#include "display/KeyCodes.h"
#include "game/levels/Battle.h"
#include "game/levels/Levels.h"
#include "game/levels/Practice.h"
#include "levels_support.h"

#include "display/Layer.h"
#include "game/Game.h"
#include "game/core/StateDump.h"
#include "game/core/WaveTables.h"
#include "util/Random.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

using namespace Morvek;

namespace KeyCode = Display::KeyCode;

namespace {

class Script : public ::testing::Test {
  protected:
    void SetUp() override {
        LevelsTest::NewGame();
        Game::options = {};
        world.practice = {};
    }
    void TearDown() override {
        Game::options = {};
        world.practice = {};
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
    Morvek::world.random = {};
    const std::uint32_t first = Morvek::world.random.Between(250, 450);
    const std::uint32_t second = Morvek::world.random.Between(250, 450);
    const std::uint32_t third = Morvek::world.random.Between(250, 450);
    Morvek::world.random = {};
    Waves::Place(Waves::kLevel2, 1);
    EXPECT_FLOAT_EQ(world.enemies[1].y, static_cast<float>(first));
    EXPECT_FLOAT_EQ(world.enemies[2].y, static_cast<float>(second));
    EXPECT_FLOAT_EQ(world.enemies[3].y, static_cast<float>(third));
    EXPECT_EQ(world.enemies[3].type, 4u);
    EXPECT_FALSE(world.enemies[4].state);
}

namespace {

// The game-over screen has been left while the game was at `at` of its level
// (after `wave`): the game plays out the rest of its level's script and ends.
void EndLostGame(GameScene::At at, std::uint32_t wave) {
    GameScene game{.at = at, .wave = wave};
    LoseGame(game);
    ASSERT_TRUE(Steps::Run(game, 10));
}

} // namespace

TEST_F(Script, LostGamePlacesTheRestButSkipsBossAndStory) {
    // Nothing is fought and nothing waits, but the waves still to come are
    // placed, drawing their random heights, and the level ends as won.
    world.dragon.beamReady = false;
    world.dragon.shieldReady = false;
    EndLostGame(GameScene::At::Waves, 2);
    EXPECT_EQ(world.level, 2u);
    EXPECT_TRUE(world.dragon.beamReady);
    EXPECT_TRUE(world.dragon.shieldReady);
    EXPECT_NE(world.enemies[1].type, 10u);    // no boss was set up
    EXPECT_FLOAT_EQ(world.enemies[1].y, 160); // the last wave was still placed
    for (const std::uint32_t i : Slots(world.enemies)) {
        EXPECT_FALSE(world.enemies[i].state);
    }
    EXPECT_TRUE(world.scenes.Empty());
    EXPECT_NE(world.mode, Mode::Interlude);

    // Level 2's heights are random: exactly the waves after the lost one draw.
    Morvek::world.random = {};
    for (std::uint32_t wave = 4; wave <= 5; ++wave) {
        Waves::Place(Waves::kLevel2, wave);
    }
    const std::uint32_t drawn = Morvek::world.random.Seed();
    Morvek::world.random = {};
    EndLostGame(GameScene::At::Waves, 3);
    EXPECT_EQ(Morvek::world.random.Seed(), drawn);
    EXPECT_EQ(world.level, 3u);
}

TEST_F(Script, GameLostAfterTheWavesPlacesNothingMore) {
    struct Loss {
        std::uint32_t level;
        GameScene::At at;
    };
    for (const Loss& loss : {Loss{2, GameScene::At::Fight}, Loss{3, GameScene::At::ExtraWave},
                             Loss{3, GameScene::At::Fight}}) {
        SCOPED_TRACE(loss.level);
        world.level = loss.level;
        world.actualDifficulty = 10;
        world.enemies[1] = {};
        Morvek::world.random = {};
        const std::uint32_t seed = Morvek::world.random.Seed();
        EndLostGame(loss.at, 5);
        EXPECT_EQ(Morvek::world.random.Seed(), seed);
        EXPECT_EQ(world.enemies[1].type, 0u);
        EXPECT_EQ(world.level, 3u);
    }
}

TEST_F(Script, LevelThreeExtraWaveComesFromDifficultySix) {
    world.level = 3;
    world.actualDifficulty = 5;
    EndLostGame(GameScene::At::Waves, 1);
    // Slot 6 still holds the fifth wave's Ghost: there was no sixth wave.
    EXPECT_EQ(world.enemies[6].type, 2u);
    EXPECT_FLOAT_EQ(world.enemies[6].y, 380);
    EXPECT_TRUE(world.scenes.Empty()); // the game is over
    EXPECT_EQ(world.level, 3u);

    world.actualDifficulty = 6;
    EndLostGame(GameScene::At::Waves, 1);
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
    world.practice.level = 2;
    world.practice.boss = true;
    PracticeStart();
    EXPECT_EQ(world.level, 2u);
    EXPECT_EQ(world.dragon.lives, 4); // the rest of the new game stays

    // A level the game does not have starts an ordinary game.
    world.practice.level = 7;
    PracticeStart();
    EXPECT_EQ(world.level, 1u);
}

// Ramming the boss ends a fight at the cost of a life: the quickest way through.
TEST_F(Script, PracticeBossStartRunsFightStoryAndNextLevel) {
    for (std::uint32_t start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        LevelsTest::NewGame();
        world.practice.level = start;
        world.practice.boss = true;
        PracticeStart();
        LevelsTest::Key(KeyCode::kRight, true);
        LevelsTest::Key(KeyCode::kReturn, true);
        const std::uint32_t before = world.counter;
        world.scenes.Push(GameScene{});
        ASSERT_TRUE(Steps::Until([] { return world.mode == Mode::Interlude; }));
        EXPECT_FALSE(world.enemies[1].state);
        EXPECT_LT(world.dragon.lives, 4); // the ram cost a life
        EXPECT_FALSE(world.items[6][1].state || world.items[6][2].state);
        // No wave was fought: only the fight's own ticks went by.
        EXPECT_LT(world.counter - before, 100u);

        // Return held leaves the story, and the next level begins with its waves.
        ASSERT_TRUE(Steps::Until([start] { return world.level != start; }, 10));
        EXPECT_EQ(world.level, start + 1);
        EXPECT_EQ(world.mode, Mode::Wave);
        EXPECT_TRUE(std::holds_alternative<GameScene>(world.scenes.At(0)));
        EXPECT_EQ(std::get<GameScene>(world.scenes.At(0)).wave, 1u);
    }
}

// Only Enter leaves the story, and it is looked for after each 10 ms pause.
TEST_F(Script, InterludeWaitsForEnterAlone) {
    world.practice.boss = true;
    PracticeStart();
    LevelsTest::Key(KeyCode::kRight, true); // ram the boss
    int waits = 0;
    std::uint64_t first = 0, last = 0;
    Display::Run::SetSyncHook([&] {
        if (world.mode != Mode::Interlude) {
            return;
        }
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
    world.scenes.Push(GameScene{});
    const bool left = Steps::Until([] { return world.level != 1; });
    Display::Run::SetSyncHook({});
    ASSERT_TRUE(left);
    EXPECT_EQ(waits, 5);
    EXPECT_EQ(last - first, 40u);
    EXPECT_EQ(world.level, 2u);
}

namespace {

// The world as a dump shows it, without the clock, which is the run's.
std::string Played() {
    const std::string json = StateDump::StateJson();
    const auto at = json.find("\"clock_ms\":");
    return json.substr(json.find(',', at) + 1);
}

} // namespace

// The world is the whole game, its scenes included: a copy taken in the
// middle of a game and put back plays on exactly as the game did, through
// the waves that come after it.
TEST_F(Script, AWorldCopiedMidGameAndPutBackPlaysOnAlike) {
    LevelsTest::Key(KeyCode::kSpace, true);
    world.dragon.lives = 99;
    // The dragon aims by the world alone, so both runs aim alike.
    Display::Run::SetSyncHook([] {
        for (const std::uint32_t i : Slots(world.enemies)) {
            if (world.enemies[i].state && world.enemies[i].type != 5) {
                world.dragon.y = world.enemies[i].y;
                return;
            }
        }
    });
    Steps::InGame(BattleScene{}); // the first wave, just placed and gliding in
    Waves::Place(Waves::kLevel1, 1);
    ASSERT_TRUE(Steps::Ticks(150));
    const World saved = world;
    const std::uint32_t seed = Morvek::world.random.Seed();
    const std::uint32_t wave = std::get<GameScene>(world.scenes.At(1)).wave;

    ASSERT_TRUE(Steps::Ticks(600));
    ASSERT_GT(std::get<GameScene>(world.scenes.At(1)).wave, wave) << "no wave went by";
    const std::string played = Played();
    const auto frame = Display::backbuffer;

    world = saved;
    Morvek::world.random = {};
    for (int i = 0; i < 1014 && Morvek::world.random.Seed() != seed; ++i) {
        Morvek::world.random.Next();
    }
    ASSERT_EQ(Morvek::world.random.Seed(), seed);
    ASSERT_TRUE(Steps::Ticks(600));
    Display::Run::SetSyncHook({});
    EXPECT_EQ(Played(), played);
    EXPECT_EQ(Display::backbuffer, frame);
}
