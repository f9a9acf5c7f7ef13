#include "game/combat/Enemies.h"
#include "game/core/Rates.h"
#include "game/core/World.h"
#include "support/TestWorld.h"
#include "util/Random.h"

#include <gtest/gtest.h>

using namespace Morvek;

namespace {

// Ticks the slot spends moving in direction (sx, sy) from now on, in a row.
int RunOf(std::uint32_t slot, int sx, int sy) {
    int n = 0;
    for (;; ++n) {
        const float x = world.enemies[slot].x, y = world.enemies[slot].y;
        MoveEnemies();
        if ((world.enemies[slot].x - x) * sx <= 0 || (world.enemies[slot].y - y) * sy <= 0) {
            return n;
        }
    }
}

int EnemiesInUse() {
    return static_cast<int>(CountUsed(world.enemies));
}

} // namespace

TEST(WaveEnemies, PathsHaveALongerFirstCycle) {
    TestWorld::NewGameState();
    CreateEnemy(500, 300, 1, 2, 1); // bob
    for (int t = 0; t < 11; ++t) {
        MoveEnemies();
    }
    EXPECT_FLOAT_EQ(world.enemies[1].y, 410); // 110 down before rising
    for (int t = 0; t < 10; ++t) {
        MoveEnemies();
    }
    EXPECT_FLOAT_EQ(world.enemies[1].y, 310);
    for (int t = 0; t < 21; ++t) {
        MoveEnemies();
    }
    EXPECT_FLOAT_EQ(world.enemies[1].y, 310); // later cycles come back to where they began

    CreateEnemy(500, 400, 2, 3, 2); // diamond
    EXPECT_EQ(RunOf(2, -1, -1), 6);
    for (int t = 0; t < 15; ++t) {
        MoveEnemies();
    }
    EXPECT_EQ(RunOf(2, -1, -1), 5);
}

TEST(WaveEnemies, DiveStraightAndStill) {
    TestWorld::NewGameState();
    CreateEnemy(900, 100, 1, 1, 3);
    CreateEnemy(900, 200, 2, 1, 4);
    CreateEnemy(500, 500, 3, 1, 0);
    MoveEnemies();
    EXPECT_FLOAT_EQ(world.enemies[1].x, 900); // no sideways move at k = 0
    EXPECT_FLOAT_EQ(world.enemies[1].y, 110);
    for (int t = 1; t < 10; ++t) {
        MoveEnemies();
    }
    EXPECT_FLOAT_EQ(world.enemies[1].x, 900 - 45); // n(n - 1)/2 after 10 ticks
    EXPECT_FLOAT_EQ(world.enemies[2].x, 900 - 210);
    EXPECT_FLOAT_EQ(world.enemies[3].x, 500);
    EXPECT_EQ(world.enemies[3].counter, 10u);
}

TEST(WaveEnemies, TouchingAnEdgeLeavesTheField) {
    TestWorld::NewGameState();
    CreateEnemy(21, 300, 1, 1, 4);   // reaches x = 0
    CreateEnemy(1024, 300, 2, 1, 0); // on the right edge
    CreateEnemy(500, 0, 3, 1, 0);    // top
    CreateEnemy(500, 768, 4, 1, 0);  // bottom
    CreateEnemy(1023.5f, 767.5f, 5, 1, 0);
    CreateEnemy(1150, 300, 6, 2, 1); // a wave enemy moved before its entry
    world.enemies[1].counter = 7;
    MoveEnemies();
    for (std::uint32_t i = 1; i <= 6; ++i) {
        EXPECT_EQ(world.enemies[i].state, i == 5) << "slot " << i;
    }
    EXPECT_EQ(world.enemies[1].counter, 0u);
}

TEST(WaveEnemies, KamikazeBatsFollowTheDifficulty) {
    TestWorld::NewGameState();
    world.actualDifficulty = 4;
    world.counter = 26;
    SendKamikazeBat();
    EXPECT_EQ(EnemiesInUse(), 0);
    world.counter = 25;
    SendKamikazeBat();
    ASSERT_TRUE(world.enemies[1].state);
    EXPECT_EQ(world.enemies[1].path, 4u);
    EXPECT_GE(world.enemies[1].y, 200);
    EXPECT_LE(world.enemies[1].y, 480);

    // Both due: the second Bat takes the same slot, after both draws.
    TestWorld::NewGameState();
    world.dragon.y = 500;
    world.counter = 200;
    world.actualDifficulty = 1;
    SendKamikazeBat();
    Morvek::world.random = {};
    Morvek::world.random.Between(200, 480);
    const bool level = Morvek::world.random.Between(1, 2) == 2;
    EXPECT_EQ(EnemiesInUse(), 1);
    EXPECT_EQ(world.enemies[1].path, level ? 4u : 3u);
    EXPECT_FLOAT_EQ(world.enemies[1].y, level ? 480 : 100);
}

TEST(WaveEnemies, KamikazeTakesSlotHundredWhenFull) {
    TestWorld::NewGameState();
    for (const std::uint32_t i : Slots(world.enemies)) {
        CreateEnemy(500, 300, i, 2, 0);
    }
    world.counter = 25;
    SendKamikazeBat();
    EXPECT_EQ(world.enemies[100].type, 1u);
    EXPECT_EQ(world.enemies[100].path, 4u);
    EXPECT_EQ(world.enemies[99].type, 2u);
}

TEST(WaveEnemies, DifficultyOutOfRangeNeverDividesByZero) {
    EXPECT_EQ(Period(100, 0), 100u);
    EXPECT_EQ(Period(100, 200), 1u);
    EXPECT_EQ(Period(200, 7), 28u);
    TestWorld::NewGameState();
    world.actualDifficulty = 0;
    SendKamikazeBat();
    world.actualDifficulty = 500;
    world.counter = 3;
    SendKamikazeBat();
    EXPECT_TRUE(world.enemies[1].state);
    CreateEnemy(1, 1, 0, 1, 1);   // no slot 0
    CreateEnemy(1, 1, 101, 1, 1); // nor 101
    SUCCEED();
}
