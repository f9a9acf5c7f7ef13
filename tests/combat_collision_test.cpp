#include "combat_support.h"
#include "game/combat/Collision.h"
#include "game/combat/Enemies.h"
#include "game/core/Catalogue.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Morvek;
using CombatTest::ExplosionsAlive;
using CombatTest::PutEnemy;
using CombatTest::PutShot;

namespace {

class Collisions : public ::testing::Test {
  protected:
    void SetUp() override { TestWorld::NewGameState(); } // dragon at (60, 369)
};

Item& PutItem(std::uint32_t kind, std::uint32_t slot, float x, float y) {
    Item& item = world.items[kind][slot];
    item = {};
    item.x = x;
    item.y = y;
    item.state = true;
    return item;
}

} // namespace

TEST_F(Collisions, FireballReachIsHalfTheEnemyPlusItsOwnLength) {
    Enemy& ghost = PutEnemy(1, 500, 300, 2);
    PutShot(1, 465, 300, 0, 10);     // exactly 25 + 10 away
    PutShot(2, 500, 335.01f, 0, 10); // a hair further
    Enemy& boss = PutEnemy(2, 700, 500, 10, 250);
    PutShot(3, 565, 500, 0, 10); // 125 + 10
    Collision();
    EXPECT_EQ(ghost.health, 50);
    EXPECT_FALSE(world.bullets[1].state);
    EXPECT_TRUE(world.bullets[2].state);
    EXPECT_FALSE(boss.state);
    EXPECT_EQ(world.score, 200u);
    // The impact shows the shot's length towards the enemy.
    EXPECT_FLOAT_EQ(world.explosions[1].x, 475);
    EXPECT_FLOAT_EQ(world.explosions[1].y, 300);
    EXPECT_EQ(world.explosions[1].type, 2u);
}

TEST_F(Collisions, EveryEnemyIsHitWhereItsPictureIs) {
    // A new enemy's hit circle is as wide as the picture it is drawn with,
    // whatever its slot held before: a fireball touching the picture's edge
    // hits, one a pixel further misses.
    struct Kind {
        std::uint32_t type;
        Picture picture;
    };
    for (const Kind k :
         {Kind{1, Picture::Bat}, Kind{2, Picture::Ghost}, Kind{3, Picture::Succubus},
          Kind{4, Picture::Genie}, Kind{5, Picture::Castle}, Kind{10, Picture::WindGod},
          Kind{11, Picture::IceQueenBlowing}, Kind{13, Picture::DragonKing}}) {
        SCOPED_TRACE(k.type);
        const CatalogueEntry* row = RowOf(k.picture);
        ASSERT_NE(row, nullptr);
        const auto width = static_cast<float>(row->width);
        for (const float gap : {0.0f, 1.0f}) {
            TestWorld::NewGameState();
            world.enemies[7].diameter = 999; // what the slot last held counts for nothing
            CreateEnemy(600, 400, 7, k.type, 0);
            PutShot(1, 600 - width / 2 - 10 - gap, 400, 0, 10);
            const std::int32_t before = world.enemies[7].health;
            Collision();
            EXPECT_EQ(world.enemies[7].health < before || !world.enemies[7].state, gap == 0)
                << "gap " << gap;
        }
    }
}

TEST_F(Collisions, OneFireballStrikesEveryEnemyItOverlaps) {
    Enemy& a = PutEnemy(3, 500, 300, 4);
    Enemy& b = PutEnemy(9, 520, 300, 4);
    PutShot(1, 510, 300, 0, 10);
    Collision();
    EXPECT_EQ(a.health, 80);
    EXPECT_EQ(b.health, 80);
    EXPECT_FALSE(world.bullets[1].state);
}

TEST_F(Collisions, EnemyShotReachDependsOnWhatItsSlotLastHeld) {
    PutShot(1, 60 + 30, 369, 1, 5);     // new game's 5: reach 30
    PutShot(2, 60, 369 + 30.01f, 3, 5); // just out of reach
    PutShot(3, 60 - 35, 369, 4, 10);    // slot last held a fireball: 35
    PutShot(4, 60, 369 - 20, 20, 5);    // the bosses' area attack hurts nothing here
    Collision();
    EXPECT_EQ(world.dragon.health, 100 - 30 - 10);
    EXPECT_FALSE(world.bullets[1].state);
    EXPECT_TRUE(world.bullets[2].state);
    EXPECT_FALSE(world.bullets[3].state);
    EXPECT_FALSE(world.bullets[4].state);
    EXPECT_FLOAT_EQ(world.explosions[1].x, 85); // 5 toward the dragon
}

TEST_F(Collisions, CoincidingCentresPutTheImpactAtTheFirstCentre) {
    PutShot(1, 60, 369, 4);
    PutEnemy(1, 400, 200, 4);
    PutShot(2, 400, 200, 0, 10);
    Collision();
    ASSERT_EQ(ExplosionsAlive(), 2);
    for (std::uint32_t i = 1; i <= 2; ++i) {
        EXPECT_FALSE(std::isnan(world.explosions[i].x));
        EXPECT_FALSE(std::isnan(world.explosions[i].y));
    }
    EXPECT_FLOAT_EQ(world.explosions[1].x, 60);
    EXPECT_FLOAT_EQ(world.explosions[1].y, 369);
    EXPECT_FLOAT_EQ(world.explosions[2].x, 400);
    EXPECT_FLOAT_EQ(world.explosions[2].y, 200);
}

TEST_F(Collisions, ItemsAreTouchedAt43Point75) {
    PutItem(1, 3, 60 + 43.75f, 369);
    Item& far = PutItem(2, 1, 60, 369 + 43.76f);
    Item& cloud = PutItem(6, 1, 60, 369);
    world.dragon.health = 10;
    Collision();
    EXPECT_EQ(world.dragon.health, 60);
    EXPECT_FALSE(world.items[1][3].state);
    EXPECT_TRUE(world.items[1][3].textShown);
    EXPECT_TRUE(far.state);
    EXPECT_TRUE(cloud.state); // row 6 is not an item
}

TEST_F(Collisions, LevelThreeFireballsBurnAt50) {
    Item& hit = world.fireballs[2];
    hit = {};
    hit.x = 60 + 50;
    hit.y = 369;
    hit.state = true;
    Item& miss = world.fireballs[3];
    miss = hit;
    miss.x = 60;
    miss.y = 369 - 50.01f;
    Collision();
    EXPECT_EQ(world.dragon.health, 50);
    EXPECT_FALSE(hit.state);
    EXPECT_TRUE(miss.state);
    EXPECT_EQ(world.explosions[1].type, 1u);
    EXPECT_FLOAT_EQ(world.explosions[1].x, 85);
}

TEST_F(Collisions, RammingCostsTheDragonAndPaysNothing) {
    Enemy& boss = PutEnemy(1, 60 + 150, 369, 13, 250);
    boss.counter = 30;
    Enemy& bat = PutEnemy(2, 60, 369 - 50.01f, 1);
    Collision();
    EXPECT_FALSE(boss.state);
    EXPECT_EQ(boss.counter, 0u);
    EXPECT_TRUE(bat.state);
    EXPECT_EQ(world.dragon.health, 0);
    EXPECT_EQ(world.score, 0u);
    EXPECT_EQ(world.explosions[1].type, 1u);
    EXPECT_FLOAT_EQ(world.explosions[1].x, 210 - 250);
}

TEST_F(Collisions, AnEnemyShotDownFirstCannotRam) {
    PutEnemy(1, 80, 369, 1);
    PutShot(1, 90, 369, 0, 10);
    Collision();
    EXPECT_FALSE(world.enemies[1].state);
    EXPECT_EQ(world.dragon.health, 100);
    EXPECT_EQ(world.score, 10u);
}

TEST_F(Collisions, ShotsOfDifferentTypesCancelEachOther) {
    PutShot(1, 500, 200, 1, 5);
    PutShot(2, 515, 200, 3, 10); // met from slot 2's side: 2 x 10 >= 15
    PutShot(3, 500, 600, 2);
    PutShot(4, 501, 600, 2); // same type: passes
    // A cancelled shot goes on cancelling in the same pass.
    PutShot(5, 300, 100, 0, 10);
    PutShot(6, 310, 100, 1);
    PutShot(7, 290, 100, 4);
    Collision();
    EXPECT_FALSE(world.bullets[1].state);
    EXPECT_FALSE(world.bullets[2].state);
    EXPECT_TRUE(world.bullets[3].state);
    EXPECT_TRUE(world.bullets[4].state);
    EXPECT_FALSE(world.bullets[5].state);
    EXPECT_FALSE(world.bullets[6].state);
    EXPECT_FALSE(world.bullets[7].state);
    EXPECT_FLOAT_EQ(world.explosions[1].x, 507.5f);
}

TEST_F(Collisions, AtMostFiveExplosionsButEveryHitCounts) {
    for (std::uint32_t i = 1; i <= 6; ++i) {
        const float x = 200 + 100 * static_cast<float>(i);
        PutEnemy(i, x, 600, 4);
        PutShot(i, x - 30, 600, 0, 10);
    }
    Collision();
    EXPECT_EQ(ExplosionsAlive(), 5);
    for (std::uint32_t i = 1; i <= 6; ++i) {
        EXPECT_EQ(world.enemies[i].health, 80);
    }
    EXPECT_FALSE(world.explosions[6].state);
}

TEST_F(Collisions, ExplosionsLiveThreeFramesInTheLowestSlots) {
    SetOffExplosion(1, 2, 2);
    SetOffExplosion(3, 4, 1);
    AgeExplosions();
    AgeExplosions();
    EXPECT_EQ(ExplosionsAlive(), 2);
    SetOffExplosion(5, 6, 2); // slot 3, one frame younger
    AgeExplosions();
    EXPECT_FALSE(world.explosions[1].state);
    EXPECT_FALSE(world.explosions[2].state);
    EXPECT_EQ(world.explosions[1].counter, 0u);
    EXPECT_TRUE(world.explosions[3].state);
    SetOffExplosion(7, 8, 2);
    EXPECT_TRUE(world.explosions[1].state);
    EXPECT_FLOAT_EQ(world.explosions[1].x, 7);
}

TEST_F(Collisions, DestroyedEnemiesPayTheirPointsOnce) {
    Enemy& ghost = PutEnemy(1, 500, 300, 2);
    ShotHit(1);
    EXPECT_TRUE(ghost.state);
    EXPECT_EQ(world.score, 0u);
    ghost.counter = 7;
    ShotHit(1);
    EXPECT_FALSE(ghost.state);
    EXPECT_EQ(ghost.counter, 0u);
    EXPECT_EQ(world.score, 20u);

    PutEnemy(2, 500, 300, 12);
    ShotHit(2);
    EXPECT_EQ(world.score, 1020u);
    Enemy& king = PutEnemy(3, 500, 300, 13, 250);
    ShotHit(3);
    EXPECT_EQ(king.health, -100);
    EXPECT_FALSE(king.state);
    EXPECT_EQ(world.score, 1020u);
    Enemy& unknown = PutEnemy(4, 500, 300, 14);
    ShotHit(4);
    EXPECT_EQ(unknown.health, 100);
    AddScore(5);
    AddScore(99);
    EXPECT_EQ(world.score, 1050u);
}
