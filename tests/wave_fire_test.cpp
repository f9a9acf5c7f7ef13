#include "game/combat/Enemies.h"
#include "game/combat/EnemyFire.h"
#include "game/core/World.h"
#include "support/TestWorld.h"
#include "util/Random.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Morvek;

namespace {

void Shot(std::uint32_t slot, float x, float y, std::uint32_t type) {
    world.bullets[slot] = {0, 0, x, y, world.bullets[slot].radius, true, type};
}

// Fires until the enemy in slot 1 has launched something, at most n ticks.
bool FireUntilShot(int n) {
    for (int t = 0; t < n; ++t) {
        world.bullets[1].state = false;
        EnemiesShoot();
        if (world.bullets[1].state) {
            return true;
        }
    }
    return false;
}

struct IceShot {
    std::uint32_t slot;
    float x;
    bool operator==(const IceShot&) const = default;
};

// The shots of an Ice Queen's volley fired from `from`, the slots below it
// taken by the dragon's shots, the random numbers as a new game has them.
std::vector<IceShot> IceVolleyFrom(std::uint32_t from) {
    TestWorld::NewGameState();
    for (std::uint32_t i = 1; i < from; ++i) {
        Shot(i, 500, 500, 0);
    }
    CreateEnemy(700, 300, from, 11, 0);
    EnemiesShoot();
    std::vector<IceShot> shots;
    for (const std::uint32_t i : Slots(world.bullets)) {
        if (world.bullets[i].state && world.bullets[i].type == 11) {
            shots.push_back({i, world.bullets[i].x});
        }
    }
    return shots;
}

} // namespace

TEST(WaveFire, EnemyWaitsForItsOwnBulletSlot) {
    TestWorld::NewGameState();
    world.actualDifficulty = 10; // a Bat then always fires
    CreateEnemy(600, 300, 3, 1, 0);
    Shot(3, 100, 100, 0);
    EnemiesShoot();
    EXPECT_FALSE(world.bullets[1].state);

    world.bullets[3].state = false;
    Shot(1, 100, 100, 0);
    world.bullets[2].radius = 10; // last carried the dragon's shot
    EnemiesShoot();
    ASSERT_TRUE(world.bullets[2].state);
    EXPECT_EQ(world.bullets[2].type, 1u);
    EXPECT_FLOAT_EQ(world.bullets[2].x, 600 - 35);
    EXPECT_FLOAT_EQ(world.bullets[2].speedX, -15);
}

TEST(WaveFire, AimedShots) {
    TestWorld::NewGameState();
    world.actualDifficulty = 10; // a Succubus then always fires
    world.dragon.x = 400;
    world.dragon.y = 100; // above it: still straight down
    CreateEnemy(400, 500, 1, 3, 0);
    EnemiesShoot();
    EXPECT_FLOAT_EQ(world.bullets[1].speedX, 0);
    EXPECT_FLOAT_EQ(world.bullets[1].speedY, 15);
    EXPECT_FLOAT_EQ(world.bullets[1].x, 400 - 30);

    TestWorld::NewGameState();
    world.dragon.x = 200;
    world.dragon.y = 400;
    CreateEnemy(500, 300, 1, 10, 0);
    bool high = false;
    for (int t = 0; t < 200 && !high; ++t) {
        ASSERT_TRUE(FireUntilShot(200));
        high = world.bullets[1].y == 100;
    }
    ASSERT_TRUE(high);
    EXPECT_EQ(world.bullets[1].type, 10u);
    MoveBullets();
    EXPECT_FLOAT_EQ(world.bullets[1].x, 770);
    EXPECT_FLOAT_EQ(world.bullets[1].y, 115);
}

TEST(WaveFire, IceVolleyKeepsItsShapeFromAnySlotAndDropsWhatFallsPastTheTable) {
    // From slot 1 the volley shows its shape: where each shot lands beyond
    // the slot it is fired from, and at what x.
    const std::vector<IceShot> shape = IceVolleyFrom(1);
    ASSERT_GE(shape.size(), 4u);
    EXPECT_EQ(shape.front().slot, 1u);
    EXPECT_GE(shape.back().slot, 16u); // spread well ahead, over the dragon's shots
    for (const std::uint32_t i : Slots(world.bullets)) {
        const Bullet& b = world.bullets[i];
        if (b.state && b.type == 11) {
            // From the top of the field, falling towards the dragon's side.
            EXPECT_LT(b.y, 100);
            EXPECT_LT(b.speedX, 0);
            EXPECT_GT(b.speedY, 0);
        }
    }
    // The same draws from any slot: the shots that fit land as from slot 1,
    // the rest are dropped, the last slot included.
    for (const std::uint32_t from : Slots(60, kBulletSlots)) {
        std::vector<IceShot> want;
        for (const IceShot& shot : shape) {
            if (from - 1 + shot.slot <= kBulletSlots) {
                want.push_back({from - 1 + shot.slot, shot.x});
            }
        }
        EXPECT_EQ(IceVolleyFrom(from), want) << "from slot " << from;
    }
}

TEST(WaveFire, HatchlingsAboveOrBelowBySlotParity) {
    TestWorld::NewGameState();
    CreateEnemy(800, 400, 1, 13, 13);
    bool odd = false, even = false;
    for (int t = 0; t < 20000 && !(odd && even); ++t) {
        if (t % 7 == 0) {
            Morvek::world.random.Between(0, 0); // shifts the draws' phase
        }
        EnemiesShoot();
        for (std::uint32_t i = 2; i <= 99; ++i) {
            if (!world.enemies[i].state) {
                continue;
            }
            EXPECT_EQ(world.enemies[i].type, 12u);
            EXPECT_FLOAT_EQ(world.enemies[i].y, i % 2 == 1 ? 450 : 350);
            EXPECT_GE(world.enemies[i].x, 450);
            EXPECT_LE(world.enemies[i].x, 549);
            (i % 2 == 1 ? odd : even) = true;
            world.enemies[i].state = false;
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
    MoveBullets();
    EXPECT_TRUE(world.bullets[1].state);
    EXPECT_FALSE(world.bullets[2].state);
    EXPECT_FALSE(world.bullets[3].state);
    EXPECT_TRUE(world.bullets[4].state);
    EXPECT_TRUE(world.bullets[5].state); // standing still inside stays
}
