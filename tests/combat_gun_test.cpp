#include "combat_support.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

using namespace Procedures;
using CombatTest::BulletsInUse;
using CombatTest::Key;

namespace {

constexpr card kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kSpace = 0x20;

class Gun : public ::testing::Test {
  protected:
    void SetUp() override { TestWorld::NewGameState(); }
};

void MoveTimes(int n) {
    for (int i = 0; i < n; ++i) {
        Move();
    }
}

// Fills bullet slots 1..n with enemy shots far from everything.
void FillBullets(card n) {
    for (card i = 1; i <= n; ++i) {
        CombatTest::PutShot(i, 500, 500, 1);
    }
}

void ArmAndShoot() {
    schip.shootstate = true;
    Shoot();
}

} // namespace

TEST_F(Gun, StepsThatWouldReachABoundAreNotTaken) {
    Key(kLeft, true);
    schip.x = 35;
    Move();
    EXPECT_FLOAT_EQ(schip.x, 35);
    schip.x = 36;
    MoveTimes(3);
    EXPECT_FLOAT_EQ(schip.x, 26);
    Key(kLeft, false);

    Key(kRight, true);
    schip.x = 60;
    MoveTimes(200);
    EXPECT_FLOAT_EQ(schip.x, 990);
    Key(kRight, false);

    Key(kUp, true);
    MoveTimes(100);
    EXPECT_FLOAT_EQ(schip.y, 89);
    Key(kUp, false);

    Key(kDown, true);
    MoveTimes(100);
    EXPECT_FLOAT_EQ(schip.y, 739);

    // Opposite keys cancel.
    Key(kUp, true);
    Key(kLeft, true);
    Key(kRight, true);
    schip.x = 500;
    Move();
    EXPECT_FLOAT_EQ(schip.x, 500);
    EXPECT_FLOAT_EQ(schip.y, 739);
}

TEST_F(Gun, EachWeaponLevelFiresItsVolley) {
    const int expected[] = {7, 1, 2, 3, 3, 4, 5, 7, 7, 7};
    for (card level = 0; level <= 9; ++level) {
        TestWorld::NewGameState();
        Key(kSpace, true);
        schip.upgrade = level;
        ArmAndShoot();
        EXPECT_EQ(BulletsInUse(), expected[level]) << "level " << level;
    }
}

TEST_F(Gun, VolleyShotsStartAroundTheDragonInSlotOrder) {
    Key(kSpace, true);
    schip.upgrade = 4;
    ArmAndShoot();
    const bullet& top = bullets[1];
    EXPECT_EQ(top.type, 0u);
    EXPECT_FLOAT_EQ(top.length, 10);
    EXPECT_FLOAT_EQ(top.x, 60 + 17.5f);
    EXPECT_FLOAT_EQ(top.y, 369 - 20);
    EXPECT_FLOAT_EQ(top.speedx, 45);
    EXPECT_EQ(top.speedy, -0.3f);
    EXPECT_FLOAT_EQ(bullets[2].y, 369);
    EXPECT_EQ(bullets[3].speedy, 0.3f);

    // Level 7 and every higher level fire the same seven shots.
    auto volley = [](card level) {
        TestWorld::NewGameState();
        Key(kSpace, true);
        schip.upgrade = level;
        ArmAndShoot();
        std::array<bullet, 8> shots{};
        std::copy(bullets.begin() + 1, bullets.begin() + 8, shots.begin() + 1);
        return shots;
    };
    const auto seven = volley(7);
    const auto twelve = volley(12);
    for (card i = 1; i <= 7; ++i) {
        EXPECT_EQ(seven[i].x, twelve[i].x);
        EXPECT_EQ(seven[i].y, twelve[i].y);
        EXPECT_EQ(seven[i].speedy, twelve[i].speedy);
    }
    EXPECT_FLOAT_EQ(seven[1].y, 369 - 40);
    EXPECT_FLOAT_EQ(seven[3].x, 60 + 30);
    EXPECT_FLOAT_EQ(seven[7].speedy, 3);
}

TEST_F(Gun, AVolleyCostsMagicEvenWhenTheTableIsTooFull) {
    Key(kSpace, true);
    FillBullets(98);
    ArmAndShoot();
    EXPECT_EQ(schip.magic, 95);
    EXPECT_EQ(BulletsInUse(), 98);
    EXPECT_FALSE(schip.shootstate);

    // Three free slots are enough to try.
    bullets[98].state = false;
    ArmAndShoot();
    EXPECT_EQ(schip.magic, 90);
    EXPECT_EQ(BulletsInUse(), 98);
    EXPECT_EQ(bullets[98].type, 0u);
}

TEST_F(Gun, FireballsFindingNoSlotAreDropped) {
    // A level-7 volley with three free slots: three shots fly, four are lost.
    Key(kSpace, true);
    FillBullets(97);
    schip.upgrade = 7;
    ArmAndShoot();
    EXPECT_EQ(BulletsInUse(), 100);
    EXPECT_EQ(bullets[100].type, 0u);
    EXPECT_FLOAT_EQ(bullets[100].y, 369 - 15);

    // With the table full a lone fireball changes nothing.
    const bullet before = bullets[100];
    NewBullet(1, 2, 3, 4);
    EXPECT_EQ(bullets[100].x, before.x);
    EXPECT_EQ(bullets[100].y, before.y);
}

TEST_F(Gun, NoMagicNoShotAndTheGunStaysArmed) {
    Key(kSpace, true);
    schip.magic = 0;
    ArmAndShoot();
    EXPECT_EQ(schip.magic, 0);
    EXPECT_TRUE(schip.shootstate);
    EXPECT_EQ(BulletsInUse(), 0);

    Key(kSpace, false);
    schip.magic = 100;
    Shoot();
    EXPECT_TRUE(schip.shootstate);
    EXPECT_EQ(schip.magic, 100);
}

TEST_F(Gun, ReArmsOnlyOnMultiplesOfSevenWithASlotFree) {
    counter = 15;
    Shootstate();
    EXPECT_FALSE(schip.shootstate);
    counter = 14;
    Shootstate();
    EXPECT_TRUE(schip.shootstate);
    counter = 15;
    Shootstate();
    EXPECT_TRUE(schip.shootstate); // never disarms

    schip.shootstate = false;
    FillBullets(100);
    counter = 21;
    Shootstate();
    EXPECT_FALSE(schip.shootstate);
}

TEST_F(Gun, HeldFireSpendsFivePerSevenTicksAndRegainsFivePerTen) {
    Key(kSpace, true);
    int volleys = 0;
    for (counter = 1; counter <= 70; ++counter) {
        const int before = BulletsInUse();
        Shootstate();
        Shoot();
        MagicRefill();
        volleys += BulletsInUse() > before ? 1 : 0;
    }
    EXPECT_EQ(volleys, 10);
    EXPECT_EQ(schip.magic, 85);

    // Run dry: the gun falls silent only at 0 magic.
    schip.magic = 5;
    schip.shootstate = true;
    Shoot();
    EXPECT_EQ(schip.magic, 0);
    schip.shootstate = true;
    const int before = BulletsInUse();
    Shoot();
    EXPECT_EQ(BulletsInUse(), before);
}
