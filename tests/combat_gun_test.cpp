#include "combat_support.h"
#include "display/KeyCodes.h"
#include "game/combat/EnemyFire.h"
#include "game/combat/Player.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace Morvek;
using CombatTest::BulletsInUse;
using CombatTest::Key;

namespace KeyCode = Display::KeyCode;

namespace {

class Gun : public ::testing::Test {
  protected:
    void SetUp() override { TestWorld::NewGameState(); }
};

void MoveTimes(int n) {
    for (int i = 0; i < n; ++i) {
        MoveDragon();
    }
}

// Fills bullet slots 1..n with enemy shots far from everything.
void FillBullets(std::uint32_t n) {
    for (std::uint32_t i = 1; i <= n; ++i) {
        CombatTest::PutShot(i, 500, 500, 1);
    }
}

void ArmAndShoot() {
    world.dragon.shotReady = true;
    Shoot();
}

// Where a volley's shots are after each tick of flight: flight[t][k] is shot k
// (in slot order) t ticks after the volley left the dragon at (60, 369).
using Flight = std::vector<std::vector<Bullet>>;

Flight Fly(std::uint32_t level, int ticks) {
    TestWorld::NewGameState();
    Key(KeyCode::kSpace, true);
    world.dragon.upgrade = level;
    ArmAndShoot();
    Flight flight;
    for (int t = 0; t <= ticks; ++t) {
        std::vector<Bullet> shots;
        for (const std::uint32_t i : Slots(world.bullets)) {
            if (world.bullets[i].state) {
                shots.push_back(world.bullets[i]);
            }
        }
        flight.push_back(shots);
        MoveBullets();
    }
    return flight;
}

} // namespace

TEST_F(Gun, StepsThatWouldReachABoundAreNotTaken) {
    Key(KeyCode::kLeft, true);
    world.dragon.x = 35;
    MoveDragon();
    EXPECT_FLOAT_EQ(world.dragon.x, 35);
    world.dragon.x = 36;
    MoveTimes(3);
    EXPECT_FLOAT_EQ(world.dragon.x, 26);
    Key(KeyCode::kLeft, false);

    Key(KeyCode::kRight, true);
    world.dragon.x = 60;
    MoveTimes(200);
    EXPECT_FLOAT_EQ(world.dragon.x, 990);
    Key(KeyCode::kRight, false);

    Key(KeyCode::kUp, true);
    MoveTimes(100);
    EXPECT_FLOAT_EQ(world.dragon.y, 89);
    Key(KeyCode::kUp, false);

    Key(KeyCode::kDown, true);
    MoveTimes(100);
    EXPECT_FLOAT_EQ(world.dragon.y, 739);

    // A step that would land exactly on a bound is not taken either.
    for (const auto& [key, x, y] :
         {std::tuple{KeyCode::kRight, 989.0f, 400.0f}, std::tuple{KeyCode::kUp, 500.0f, 95.0f},
          std::tuple{KeyCode::kDown, 500.0f, 733.0f}}) {
        Key(KeyCode::kDown, false);
        Key(key, true);
        world.dragon.x = x;
        world.dragon.y = y;
        MoveDragon();
        EXPECT_FLOAT_EQ(world.dragon.x, x) << "key " << key;
        EXPECT_FLOAT_EQ(world.dragon.y, y) << "key " << key;
        Key(key, false);
    }
    world.dragon.y = 739;
    Key(KeyCode::kDown, true);

    // Opposite keys cancel.
    Key(KeyCode::kUp, true);
    Key(KeyCode::kLeft, true);
    Key(KeyCode::kRight, true);
    world.dragon.x = 500;
    MoveDragon();
    EXPECT_FLOAT_EQ(world.dragon.x, 500);
    EXPECT_FLOAT_EQ(world.dragon.y, 739);
}

TEST_F(Gun, EachWeaponLevelFiresItsVolleyAndSevenIsTheLast) {
    const std::size_t shots[] = {0, 1, 2, 3, 3, 4, 5, 7};
    for (std::uint32_t level = 1; level <= 7; ++level) {
        EXPECT_EQ(Fly(level, 0)[0].size(), shots[level]) << "level " << level;
    }
    // No level, or one past the last, fires the last one, shot for shot.
    const Flight seven = Fly(7, 3);
    for (const std::uint32_t level : {0u, 8u, 12u}) {
        const Flight other = Fly(level, 3);
        ASSERT_EQ(other.back().size(), 7u) << "level " << level;
        for (std::size_t k = 0; k < 7; ++k) {
            EXPECT_EQ(other.back()[k].x, seven.back()[k].x) << "level " << level;
            EXPECT_EQ(other.back()[k].y, seven.back()[k].y) << "level " << level;
        }
    }
}

TEST_F(Gun, VolleysFlyAbreastAndMirrorTheirShotsAboutTheDragon) {
    constexpr float kDragonX = 60, kDragonY = 369;
    for (std::uint32_t level = 1; level <= 7; ++level) {
        const Flight flight = Fly(level, 20);
        const auto& first = flight[0];
        for (std::size_t t = 0; t < flight.size(); ++t) {
            const auto& now = flight[t];
            ASSERT_EQ(now.size(), first.size()) << "level " << level << " tick " << t;
            for (std::size_t k = 0; k < now.size(); ++k) {
                // Fired from just in front of the dragon, top shot in the lowest slot.
                EXPECT_GT(first[k].x, kDragonX);
                EXPECT_LE(first[k].x, kDragonX + 30);
                if (k > 0) {
                    EXPECT_LT(now[k - 1].y, now[k].y) << "level " << level << " tick " << t;
                }
                // One speed for the whole volley: no shot gains on another.
                EXPECT_FLOAT_EQ(now[k].x - now[0].x, first[k].x - first[0].x)
                    << "level " << level << " shot " << k << " tick " << t;
                // Above and below the dragon's line alike.
                const auto& mirror = now[now.size() - 1 - k];
                EXPECT_FLOAT_EQ(now[k].x, mirror.x) << "level " << level << " tick " << t;
                EXPECT_NEAR(now[k].y + mirror.y, 2 * kDragonY, 1e-3)
                    << "level " << level << " shot " << k << " tick " << t;
            }
        }
    }
}

TEST_F(Gun, TheFourthLevelIsTheFastNarrowVolley) {
    // Ten ticks out, as far and how far apart each level's shots have come.
    auto reach = [](std::uint32_t level) {
        const Flight f = Fly(level, 10);
        return f[10][0].x - f[0][0].x;
    };
    auto spread = [](std::uint32_t level) {
        const Flight f = Fly(level, 10);
        return f[10].back().y - f[10].front().y;
    };
    EXPECT_FLOAT_EQ(reach(1), 150);
    EXPECT_FLOAT_EQ(reach(3), 300);
    EXPECT_FLOAT_EQ(reach(4), 450);
    EXPECT_FLOAT_EQ(reach(5), 300);
    EXPECT_NEAR(spread(3), 100, 0.01); // 40 at the start, 3 more a tick each way
    EXPECT_NEAR(spread(4), 46, 0.01);  // barely widening
    // Level 4's shots are still in one band when they leave the field.
    const Flight four = Fly(4, 30);
    std::size_t t = 0;
    while (t + 1 < four.size() && four[t + 1].size() == 3) {
        ++t;
    }
    EXPECT_EQ(t, 21u); // gone on the 22nd tick, together
    EXPECT_TRUE(four[t + 1].empty());
    EXPECT_LT(four[t].back().y - four[t].front().y, 55);
}

TEST_F(Gun, AVolleyCostsMagicEvenWhenTheTableIsTooFull) {
    Key(KeyCode::kSpace, true);
    FillBullets(98);
    ArmAndShoot();
    EXPECT_EQ(world.dragon.magic, 95);
    EXPECT_EQ(BulletsInUse(), 98);
    EXPECT_FALSE(world.dragon.shotReady);

    // Three free slots are enough to try.
    world.bullets[98].state = false;
    ArmAndShoot();
    EXPECT_EQ(world.dragon.magic, 90);
    EXPECT_EQ(BulletsInUse(), 98);
    EXPECT_EQ(world.bullets[98].type, 0u);
}

TEST_F(Gun, FireballsFindingNoSlotAreDropped) {
    // A level-7 volley with three free slots: three shots fly, four are lost.
    Key(KeyCode::kSpace, true);
    FillBullets(97);
    world.dragon.upgrade = 7;
    ArmAndShoot();
    EXPECT_EQ(BulletsInUse(), 100);
    EXPECT_EQ(world.bullets[100].type, 0u);
    EXPECT_FLOAT_EQ(world.bullets[100].y, 369 - 15);

    // With the table full a lone fireball changes nothing.
    const Bullet before = world.bullets[100];
    NewBullet(1, 2, 3, 4);
    EXPECT_EQ(world.bullets[100].x, before.x);
    EXPECT_EQ(world.bullets[100].y, before.y);
}

TEST_F(Gun, NoMagicNoShotAndTheGunStaysArmed) {
    Key(KeyCode::kSpace, true);
    world.dragon.magic = 0;
    ArmAndShoot();
    EXPECT_EQ(world.dragon.magic, 0);
    EXPECT_TRUE(world.dragon.shotReady);
    EXPECT_EQ(BulletsInUse(), 0);

    Key(KeyCode::kSpace, false);
    world.dragon.magic = 100;
    Shoot();
    EXPECT_TRUE(world.dragon.shotReady);
    EXPECT_EQ(world.dragon.magic, 100);
}

TEST_F(Gun, ReArmsOnlyOnMultiplesOfSevenWithASlotFree) {
    world.counter = 15;
    ReloadShot();
    EXPECT_FALSE(world.dragon.shotReady);
    world.counter = 14;
    ReloadShot();
    EXPECT_TRUE(world.dragon.shotReady);
    world.counter = 15;
    ReloadShot();
    EXPECT_TRUE(world.dragon.shotReady); // never disarms

    world.dragon.shotReady = false;
    FillBullets(100);
    world.counter = 21;
    ReloadShot();
    EXPECT_FALSE(world.dragon.shotReady);
}

TEST_F(Gun, HeldFireSpendsFivePerSevenTicksAndRegainsFivePerTen) {
    Key(KeyCode::kSpace, true);
    int volleys = 0;
    for (world.counter = 1; world.counter <= 70; ++world.counter) {
        const int before = BulletsInUse();
        ReloadShot();
        Shoot();
        RefillMagic();
        volleys += BulletsInUse() > before ? 1 : 0;
    }
    EXPECT_EQ(volleys, 10);
    EXPECT_EQ(world.dragon.magic, 85);

    // Run dry: the gun falls silent only at 0 magic.
    world.dragon.magic = 5;
    world.dragon.shotReady = true;
    Shoot();
    EXPECT_EQ(world.dragon.magic, 0);
    world.dragon.shotReady = true;
    const int before = BulletsInUse();
    Shoot();
    EXPECT_EQ(BulletsInUse(), before);
}
