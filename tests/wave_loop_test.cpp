#include "display/Display.h"
#include "display/KeyCodes.h"
#include "display/Run.h"
#include "game/combat/Cheats.h"
#include "game/combat/Enemies.h"
#include "game/combat/Lives.h"
#include "game/core/Catalogue.h"
#include "game/core/EnemyKinds.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "game/levels/Battle.h"
#include "support/Steps.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <variant>

using namespace Morvek;

namespace {

void Input(Display::Run::InputEvent::Kind kind, std::uint32_t code, std::int32_t x = 0,
           std::int32_t y = 0) {
    Display::Run::InputEvent e;
    e.ms = Display::Run::ClockMs();
    e.kind = kind;
    e.code = code;
    e.x = x;
    e.y = y;
    Display::Run::Apply(e);
}

// Clicks the game-over screen's Return button once it is up.
void ClickReturn() {
    Input(Display::Run::InputEvent::MouseMove, 0, 100, 680);
    Input(Display::Run::InputEvent::MouseDown, 0, 100, 680);
}

bool GameOverShown() {
    return world.mode == Mode::GameOver;
}

// A wave's battle past its glide-in.
BattleScene FirstTick() {
    BattleScene battle;
    battle.at = BattleScene::At::Tick;
    return battle;
}

} // namespace

TEST(WaveLoop, LostDragonComesBackWithShieldUp) {
    TestWorld::NewGameState();
    world.dragon = {500, 200, -20, 15, 3, false, false, false, true, 2, 1};
    world.beamRunning = true;
    world.growCounter = 40;
    SettleLives();
    EXPECT_EQ(world.dragon.lives, 2);
    EXPECT_EQ(world.dragon.health, 100);
    EXPECT_EQ(world.dragon.magic, 100);
    EXPECT_FLOAT_EQ(world.dragon.x, 60);
    EXPECT_FLOAT_EQ(world.dragon.y, 369);
    EXPECT_TRUE(world.dragon.state && world.dragon.beamReady && world.shieldRunning);
    EXPECT_FALSE(world.beamRunning);
    EXPECT_EQ(world.growCounter, 0u);
    EXPECT_FALSE(GameLost());
}

TEST(WaveLoop, LastLifeEndsTheGameInTheSameTick) {
    TestWorld::NewGameState();
    world.dragon.lives = 1;
    world.dragon.health = 0;
    CreateEnemy(500, 300, 7, 2, 1);
    Steps::InGame(FirstTick());
    ASSERT_TRUE(Steps::Until(GameOverShown));
    EXPECT_EQ(world.counter, 2u);
    EXPECT_EQ(world.dragon.lives, 0);
    EXPECT_TRUE(WaveCleared()); // the tables were emptied: the wave ends too
    EXPECT_TRUE(std::holds_alternative<GameOverScene>(world.scenes.Top()));
}

// Settling the lives ends nothing by itself: the battle opens the game-over
// screen, and only once the last life is gone.
TEST(WaveLoop, OnlyTheLastLifeOpensTheGameOverScreen) {
    TestWorld::NewGameState();
    world.dragon.lives = 2;
    world.dragon.health = 0;
    SettleLives();
    EXPECT_EQ(world.dragon.lives, 1);
    EXPECT_FALSE(GameLost());
    world.dragon.health = -5;
    SettleLives();
    EXPECT_EQ(world.dragon.lives, 0);
    EXPECT_TRUE(GameLost());
    EXPECT_TRUE(world.scenes.Empty());

    TestWorld::NewGameState();
    CreateEnemy(900, 300, 7, 2, 1);
    Steps::InGame(FirstTick());
    world.dragon.lives = 2;
    world.dragon.health = 0;
    ASSERT_TRUE(Steps::Ticks(2)); // the first tick settled: a life gone, the game on
    EXPECT_EQ(world.dragon.lives, 1);
    EXPECT_EQ(world.mode, Mode::Wave);
    world.dragon.health = -5;
    ASSERT_TRUE(Steps::Until(GameOverShown, 2));
    EXPECT_EQ(world.counter, 3u);
}

// Escape gives the game up at the end of its tick; leaving the game-over
// screen ends the game, which plays its level's script out (placing the
// waves still to come) and goes back to the menu.
TEST(WaveLoop, EscapeGivesUpAtTheEndOfTheTickAndTheGameEndsInTheMenu) {
    TestWorld::NewGameState();
    CreateEnemy(600, 300, 1, 2, 1);
    Input(Display::Run::InputEvent::KeyDown, Display::KeyCode::kEscape);
    Steps::InGame(BattleScene{});
    ASSERT_TRUE(Steps::Until(GameOverShown));
    EXPECT_EQ(world.counter, 2u);
    EXPECT_EQ(world.scenes.Size(), 4u); // menu, game, wave, game over

    Input(Display::Run::InputEvent::KeyUp, Display::KeyCode::kEscape);
    ClickReturn();
    ASSERT_TRUE(Steps::Until([] { return world.mode == Mode::Menu; }, 10));
    ASSERT_EQ(world.scenes.Size(), 1u);
    EXPECT_TRUE(std::holds_alternative<MenuScene>(world.scenes.Top()));
    EXPECT_EQ(world.level, 2u);
    EXPECT_FLOAT_EQ(world.enemies[1].y, 160); // level 1's last wave was placed
    EXPECT_TRUE(WaveCleared());
    EXPECT_NE(StateDump::StateJson().find("\"returnmenu\":true"), std::string::npos);
}

TEST(WaveLoop, CheatsGrowWithTheLevel) {
    for (std::uint32_t lvl = 0; lvl <= 4; ++lvl) {
        TestWorld::NewGameState();
        world.level = lvl;
        world.dragon.special = 0;
        world.dragon.lives = 1;
        for (std::uint32_t key : {0x61u, 0x62u, 0x63u}) {
            Input(Display::Run::InputEvent::KeyDown, key);
        }
        Cheats();
        const bool inGame = lvl >= 1 && lvl <= 3;
        EXPECT_EQ(world.dragon.special, inGame ? 5u : 0u) << "level " << lvl;
        EXPECT_EQ(world.dragon.lives, inGame && lvl >= 2 ? 4 : 1) << "level " << lvl;
        EXPECT_EQ(world.dragon.upgrade, lvl == 3 ? 6u : 1u) << "level " << lvl;
    }
}

TEST(WaveLoop, CastlesNeitherHoldUpNorGlideIn) {
    TestWorld::NewGameState();
    CreateEnemy(500, 700, 1, 5, 5);
    CreateEnemy(1150, 300, 2, 1, 1);
    EXPECT_FALSE(WaveCleared());
    const auto start = Display::Run::ClockMs();
    world.scenes.Push(BattleScene{});
    for (int pass = 0; pass < 10; ++pass) {
        ASSERT_TRUE(Steps::Once());
    }
    EXPECT_FLOAT_EQ(world.enemies[2].x, 950);
    EXPECT_FLOAT_EQ(world.enemies[1].x, 500);
    EXPECT_EQ(Display::Run::ClockMs() - start, 10u * world.tickMs);
    EXPECT_EQ(world.counter, 1u); // nothing played yet
    world.enemies[2].state = false;
    EXPECT_TRUE(WaveCleared());

    // Nothing to glide in: still ten frames, then the wave is won in a tick.
    world.scenes = SceneStack{};
    EXPECT_TRUE(Steps::Run(BattleScene{}, 12));
    EXPECT_EQ(world.counter, 2u);
}

TEST(WaveLoop, EveryKindButTheCastleHoldsUpItsWaveAndGlidesIn) {
    for (std::uint32_t type = 0; type <= kEnemyKinds.size(); ++type) {
        SCOPED_TRACE(type);
        TestWorld::NewGameState();
        CreateEnemy(700, 300, 1, type, 0);
        const bool castle = type == EnemyType::kCastle;
        EXPECT_EQ(WaveCleared(), castle);
        EXPECT_TRUE(GlideInPass(1));
        EXPECT_EQ(world.enemies[1].x, castle ? 700 : 680);
    }
}

TEST(WaveLoop, ClearArraysEmptiesEveryTableButKeepsTheDragon) {
    TestWorld::NewGameState();
    world.enemies[100].state = world.bullets[100].state = world.explosions[25].state = true;
    world.items[6][10].state = world.items[1][1].textShown = true;
    world.icicles[20].state = world.fireballs[10].state = true;
    world.beamRunning = world.shieldRunning = true;
    world.counter = 77;
    ClearField();
    EXPECT_FALSE(world.enemies[100].state || world.bullets[100].state ||
                 world.explosions[25].state);
    EXPECT_FALSE(world.items[6][10].state || world.items[1][1].textShown);
    EXPECT_FALSE(world.icicles[20].state || world.fireballs[10].state);
    EXPECT_FALSE(world.beamRunning || world.shieldRunning);
    EXPECT_EQ(world.counter, 77u);
    EXPECT_EQ(world.dragon.lives, 4);
}

TEST(WaveLoop, UnknownLevelReturnsToTheMenu) {
    TestWorld::NewGameState();
    world.level = 7;
    EXPECT_TRUE(Steps::Run(GameScene{}, 10)); // must not spin forever
    EXPECT_EQ(world.level, 7u);
}

namespace {

// A wave played from a script: fire held, a state dump after 3 s of game
// time; Escape at 15 s bounds it, leaving the game-over screen waiting.
std::string ScriptedWave(std::string& midWave) {
    TestWorld::NewGameState();
    LoadPictures(); // without the level's pictures all is black, and black kills
    world.dragon.upgrade = 3;
    for (std::uint32_t i = 1; i <= 3; ++i) {
        CreateEnemy(930 + 30 * static_cast<float>(i), 339 + 30 * static_cast<float>(i), i, 3, 1);
    }
    // Scripts write only inside the working directory.
    const std::filesystem::path script = "wave_loop_script.txt", dump = "wave_loop_state.json";
    std::ofstream(script) << "0 key down 0x20\n3000 state " << dump.string()
                          << "\n15000 key down 0x1B\n";
    std::string error;
    EXPECT_TRUE(Display::Run::LoadScript(script.string(), error)) << error;
    Display::Run::SetStateWriter(StateDump::WriteState);
    world.mode = Mode::Wave;
    EXPECT_TRUE(Steps::Run(BattleScene{})) << "the wave was not won";
    std::stringstream text;
    text << std::ifstream(dump).rdbuf();
    midWave = text.str();
    std::filesystem::remove(script);
    std::filesystem::remove(dump);
    return StateDump::StateJson();
}

} // namespace

TEST(WaveLoop, ScriptedWaveIsPacedAndRepeatable) {
    std::string mid1, mid2;
    const std::string end1 = ScriptedWave(mid1);
    // Ten entry frames, then one tick per 30 ms.
    EXPECT_NE(mid1.find("\"counter\":91,"), std::string::npos) << mid1;
    EXPECT_EQ(mid1.find("\"score\":0,"), std::string::npos) << "a kill within 3 s";
    // Won before Escape: only castles, which never hold up a wave, are left.
    EXPECT_NE(end1.find("\"returnmenu\":false"), std::string::npos);
    EXPECT_TRUE(WaveCleared());
    EXPECT_GT(world.counter, 91u);
    const std::string end2 = ScriptedWave(mid2);
    EXPECT_EQ(mid1, mid2);
    EXPECT_EQ(end1, end2);
}
