#include "display/Run.h"
#include "display/Wimdows.h"
#include "game/Procedures.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

using namespace Procedures;

namespace {

void Input(Wimdows::Run::InputEvent::Kind kind, card code, integer x = 0, integer y = 0) {
    Wimdows::Run::InputEvent e;
    e.ms = Wimdows::Run::ClockMs();
    e.kind = kind;
    e.code = code;
    e.x = x;
    e.y = y;
    Wimdows::Run::Apply(e);
}

// Holds the left button on the game-over screen's Return button, so that
// GameOver comes back at once.
void ReturnPressed() {
    Input(Wimdows::Run::InputEvent::MouseMove, 0, 100, 680);
    Input(Wimdows::Run::InputEvent::MouseDown, 0, 100, 680);
}

} // namespace

TEST(WaveLoop, LostDragonComesBackWithShieldUp) {
    TestWorld::NewGameState();
    schip = {500, 200, -20, 15, 3, false, false, false, true, 2, 1};
    initbeam = true;
    growcounter = 40;
    LifeController();
    EXPECT_EQ(schip.lives, 2);
    EXPECT_EQ(schip.health, 100);
    EXPECT_EQ(schip.magic, 100);
    EXPECT_FLOAT_EQ(schip.x, 60);
    EXPECT_FLOAT_EQ(schip.y, 369);
    EXPECT_TRUE(schip.state && schip.beamstate && initshield);
    EXPECT_FALSE(initbeam);
    EXPECT_EQ(growcounter, 0u);
    EXPECT_FALSE(returnmenu);
}

TEST(WaveLoop, LastLifeEndsTheGameInTheSameTick) {
    TestWorld::NewGameState();
    schip.lives = 1;
    schip.health = 0;
    CreateEnemy(500, 300, 7, 2, 1);
    ReturnPressed();
    LifeController();
    EXPECT_EQ(schip.lives, 0);
    EXPECT_TRUE(returnmenu);
    EXPECT_TRUE(Proceed()); // the tables were emptied: the wave ends too
}

TEST(WaveLoop, EscapeGivesUpAtTheEndOfTheTick) {
    TestWorld::NewGameState();
    CreateEnemy(600, 300, 1, 2, 1);
    Input(Wimdows::Run::InputEvent::KeyDown, 0x1B);
    ReturnPressed();
    Loop(); // returns only because the game is over
    EXPECT_TRUE(returnmenu);
    EXPECT_EQ(counter, 2u);
}

TEST(WaveLoop, CheatsGrowWithTheLevel) {
    for (card lvl = 0; lvl <= 4; ++lvl) {
        TestWorld::NewGameState();
        level = lvl;
        schip.special = 0;
        schip.lives = 1;
        for (card key : {0x61u, 0x62u, 0x63u}) {
            Input(Wimdows::Run::InputEvent::KeyDown, key);
        }
        Cheats();
        const bool inGame = lvl >= 1 && lvl <= 3;
        EXPECT_EQ(schip.special, inGame ? 5u : 0u) << "level " << lvl;
        EXPECT_EQ(schip.lives, inGame && lvl >= 2 ? 4 : 1) << "level " << lvl;
        EXPECT_EQ(schip.upgrade, lvl == 3 ? 6u : 1u) << "level " << lvl;
    }
}

TEST(WaveLoop, CastlesNeitherHoldUpNorGlideIn) {
    TestWorld::NewGameState();
    CreateEnemy(500, 700, 1, 5, 5);
    CreateEnemy(1150, 300, 2, 1, 1);
    EXPECT_FALSE(Proceed());
    const auto start = Wimdows::Run::ClockMs();
    EnterField();
    EXPECT_FLOAT_EQ(enemies[2].x, 950);
    EXPECT_FLOAT_EQ(enemies[1].x, 500);
    EXPECT_EQ(Wimdows::Run::ClockMs() - start, 10u * speed);
    enemies[2].state = false;
    EXPECT_TRUE(Proceed());

    EnterField(); // nothing to glide in: still ends after ten frames
    EXPECT_FLOAT_EQ(enemies[1].x, 500);
}

TEST(WaveLoop, ClearArraysEmptiesEveryTableButKeepsTheDragon) {
    TestWorld::NewGameState();
    enemies[100].state = bullets[100].state = explosions[25].state = true;
    objects[6][10].state = objects[1][1].textstate = true;
    BackObjLevel2[20].update = BackObjLevel3[10].state = true;
    initbeam = initshield = true;
    counter = 77;
    ClearArrays();
    EXPECT_FALSE(enemies[100].state || bullets[100].state || explosions[25].state);
    EXPECT_FALSE(objects[6][10].state || objects[1][1].textstate);
    EXPECT_FALSE(BackObjLevel2[20].update || BackObjLevel3[10].state);
    EXPECT_FALSE(initbeam || initshield);
    EXPECT_EQ(counter, 77u);
    EXPECT_EQ(schip.lives, 4);
}

TEST(WaveLoop, UnknownLevelReturnsToTheMenu) {
    TestWorld::NewGameState();
    level = 7;
    Levelcontroller(); // must not spin forever
    EXPECT_EQ(level, 7u);
}
