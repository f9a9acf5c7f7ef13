#include "game/Procedures.h"
#include "support/TestWorld.h"
#include "util/StandardLib.h"

#include <gtest/gtest.h>

#include <set>

using namespace Procedures;

namespace {

void Shot(card slot, real x, real y, card type) {
    bullets[slot] = {0, 0, x, y, bullets[slot].length, true, type};
}

// Fires until the enemy in slot 1 has launched something, at most n ticks.
bool FireUntilShot(int n) {
    for (int t = 0; t < n; ++t) {
        bullets[1].state = false;
        Enemyshoot();
        if (bullets[1].state) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(WaveFire, EnemyWaitsForItsOwnBulletSlot) {
    TestWorld::NewGameState();
    actualdifficulty = 10; // a Bat then always fires
    CreateEnemy(600, 300, 3, 1, 0);
    Shot(3, 100, 100, 0);
    Enemyshoot();
    EXPECT_FALSE(bullets[1].state);

    bullets[3].state = false;
    Shot(1, 100, 100, 0);
    bullets[2].length = 10; // last carried the dragon's shot
    Enemyshoot();
    ASSERT_TRUE(bullets[2].state);
    EXPECT_EQ(bullets[2].type, 1u);
    EXPECT_FLOAT_EQ(bullets[2].x, 600 - 35);
    EXPECT_FLOAT_EQ(bullets[2].speedx, -15);
}

TEST(WaveFire, AimedShots) {
    TestWorld::NewGameState();
    actualdifficulty = 10; // a Succubus then always fires
    schip.x = 400;
    schip.y = 100; // above it: still straight down
    CreateEnemy(400, 500, 1, 3, 0);
    Enemyshoot();
    EXPECT_FLOAT_EQ(bullets[1].speedx, 0);
    EXPECT_FLOAT_EQ(bullets[1].speedy, 15);
    EXPECT_FLOAT_EQ(bullets[1].x, 400 - 30);

    TestWorld::NewGameState();
    schip.x = 200;
    schip.y = 400;
    CreateEnemy(500, 300, 1, 10, 0);
    bool high = false;
    for (int t = 0; t < 200 && !high; ++t) {
        ASSERT_TRUE(FireUntilShot(200));
        high = bullets[1].y == 100;
    }
    ASSERT_TRUE(high);
    EXPECT_EQ(bullets[1].type, 10u);
    Bulletmove();
    EXPECT_FLOAT_EQ(bullets[1].x, 770);
    EXPECT_FLOAT_EQ(bullets[1].y, 115);
}

TEST(WaveFire, IceVolleyLandsInFixedSlotRanges) {
    TestWorld::NewGameState();
    for (card i = 2; i <= 30; ++i) {
        Shot(i, 500, 500, 0); // the dragon's shots are overwritten
    }
    CreateEnemy(700, 300, 1, 11, 0);
    Enemyshoot();
    StandardLib::ResetRandom();
    std::set<card> expected = {1};
    StandardLib::RandomCard(200, 950);
    for (auto [lo, hi, xlo, xhi] : {std::array<card, 4>{1, 5, 300, 900},
                                    {5, 10, 300, 1000},
                                    {10, 15, 200, 1000},
                                    {15, 20, 200, 1000}}) {
        expected.insert(1 + StandardLib::RandomCard(lo, hi));
        StandardLib::RandomCard(xlo, xhi);
    }
    for (card i = 1; i <= 30; ++i) {
        EXPECT_EQ(bullets[i].type == 11, expected.contains(i)) << "slot " << i;
    }
    EXPECT_FLOAT_EQ(bullets[1].y, 50);

    // From a high slot the volley would run past the table; it stops at 100.
    TestWorld::NewGameState();
    for (card i = 1; i <= 89; ++i) {
        Shot(i, 500, 500, 0);
    }
    CreateEnemy(700, 300, 90, 11, 0);
    Enemyshoot();
    EXPECT_EQ(bullets[90].type, 11u);
}

TEST(WaveFire, HatchlingsAboveOrBelowBySlotParity) {
    TestWorld::NewGameState();
    CreateEnemy(800, 400, 1, 13, 13);
    bool odd = false, even = false;
    for (int t = 0; t < 20000 && !(odd && even); ++t) {
        if (t % 7 == 0) {
            StandardLib::RandomCard(0, 0); // shifts the draws' phase
        }
        Enemyshoot();
        for (card i = 2; i <= 99; ++i) {
            if (!enemies[i].state) {
                continue;
            }
            EXPECT_EQ(enemies[i].type, 12u);
            EXPECT_FLOAT_EQ(enemies[i].y, i % 2 == 1 ? 450 : 350);
            EXPECT_GE(enemies[i].x, 450);
            EXPECT_LE(enemies[i].x, 549);
            (i % 2 == 1 ? odd : even) = true;
            enemies[i].state = false;
        }
    }
    EXPECT_TRUE(odd && even);
}

TEST(WaveFire, ShotsLeaveBeyondTheEdges) {
    TestWorld::NewGameState();
    Shot(1, 1029, 400, 1);
    Shot(2, 1030, 400, 1);
    Shot(3, 500, 0, 1);
    Shot(4, 500, 789.5f, 1);
    Shot(5, 1, 1, 1);
    Bulletmove();
    EXPECT_TRUE(bullets[1].state);
    EXPECT_FALSE(bullets[2].state);
    EXPECT_FALSE(bullets[3].state);
    EXPECT_TRUE(bullets[4].state);
    EXPECT_TRUE(bullets[5].state); // standing still inside stays
}
