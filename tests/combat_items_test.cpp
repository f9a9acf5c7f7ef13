#include "combat_support.h"
#include "game/combat/Items.h"
#include "support/TestWorld.h"
#include "util/Random.h"

#include <gtest/gtest.h>

using namespace Morvek;

namespace {

class Items : public ::testing::Test {
  protected:
    void SetUp() override {
        TestWorld::NewGameState();
        CombatTest::PutEnemy(1, 300, 400, 1);
        world.enemies[1].state = false; // just destroyed: the position is still there
    }
};

void StartRandomAt(int k) {
    Morvek::world.random = {};
    for (int i = 0; i < k; ++i) {
        Morvek::world.random.Next();
    }
}

// The kind (row) that gained an item since the tables were cleared, or 0.
std::uint32_t DroppedKind() {
    for (const std::uint32_t i : Slots(world.items)) {
        for (const std::uint32_t j : Slots(world.items[i])) {
            if (world.items[i][j].state) {
                return i;
            }
        }
    }
    return 0;
}

// Where in the random sequence the next drop is an extra life.
int FirstLifeDrop() {
    for (int k = 0; k < 1012; ++k) {
        world.items = {};
        StartRandomAt(k);
        DropItem(1);
        if (DroppedKind() == 5) {
            world.items = {};
            return k;
        }
    }
    return -1;
}

Item& PickedUp(std::uint32_t kind, std::uint32_t slot, std::uint32_t age) {
    Item& item = world.items[kind][slot];
    item = {};
    item.counter = age;
    item.textShown = true;
    return item;
}

} // namespace

TEST_F(Items, DropDrawsComeInTheirOrderAndStopAtTheFirstFive) {
    struct Draw {
        std::uint32_t max, kind;
    };
    const Draw draws[] = {{23, 5}, {18, 3}, {13, 4}, {11, 1}, {8, 2}};
    std::array<int, 6> seen{};
    for (int k = 0; k < 1012; ++k) {
        world.items = {};
        StartRandomAt(k);
        DropItem(1);
        const std::uint32_t got = DroppedKind();
        const auto seedAfter = Morvek::world.random.Seed();

        StartRandomAt(k);
        std::uint32_t expected = 0;
        for (const Draw& d : draws) {
            if (Morvek::world.random.Between(1, d.max) == 5) {
                expected = d.kind;
                break;
            }
        }
        ASSERT_EQ(got, expected) << "at " << k;
        ASSERT_EQ(seedAfter, Morvek::world.random.Seed()) << "at " << k;
        ++seen[got];
    }
    for (std::uint32_t kind = 0; kind <= kItemKinds; ++kind) {
        EXPECT_GT(seen[kind], 0) << "kind " << kind;
    }
    EXPECT_GT(seen[0], 500); // most enemies leave nothing
}

TEST_F(Items, ADropStartsAtTheEnemyAndDriftsDownLeft) {
    const int k = FirstLifeDrop();
    ASSERT_GE(k, 0);
    // Slot 1 is taken; slot 2 still shows the text of an earlier pick-up.
    world.items[5][1].state = true;
    PickedUp(5, 2, 40);
    StartRandomAt(k);
    DropItem(1);
    const Item& item = world.items[5][2];
    EXPECT_TRUE(item.state);
    EXPECT_FALSE(item.textShown);
    EXPECT_EQ(item.counter, 0u);
    EXPECT_FLOAT_EQ(item.x, 300);
    EXPECT_FLOAT_EQ(item.y, 400);
    EXPECT_FLOAT_EQ(item.speedX, -7);
    EXPECT_FLOAT_EQ(item.speedY, 1);
}

TEST_F(Items, NoEleventhItemOfAKind) {
    const int k = FirstLifeDrop();
    ASSERT_GE(k, 0);
    for (const std::uint32_t j : Slots(world.items[5])) {
        world.items[5][j].state = true;
        world.items[5][j].x = static_cast<float>(j);
    }
    const auto before = world.items;
    StartRandomAt(k);
    DropItem(1);
    for (const std::uint32_t i : Slots(world.items)) {
        for (const std::uint32_t j : Slots(world.items[i])) {
            EXPECT_EQ(world.items[i][j].state, before[i][j].state);
            EXPECT_EQ(world.items[i][j].x, before[i][j].x);
        }
    }
}

TEST_F(Items, ItemsExpireAtTheirHundredthMove) {
    Item& item = world.items[3][4];
    item.x = 800;
    item.y = 100;
    item.speedX = -7;
    item.speedY = 1;
    item.state = true;
    Item& cloud = world.items[6][1];
    cloud.speedX = 2;
    cloud.state = true;
    Item& text = PickedUp(1, 1, 50);
    for (int t = 0; t < 99; ++t) {
        MoveItems();
    }
    EXPECT_TRUE(item.state);
    EXPECT_FLOAT_EQ(item.x, 800 - 693);
    EXPECT_FLOAT_EQ(item.y, 199);
    EXPECT_FLOAT_EQ(cloud.x, 198); // the clouds move with the items
    EXPECT_EQ(text.counter, 50u);  // a pending text does not age here
    MoveItems();
    EXPECT_FALSE(item.state);
    EXPECT_FLOAT_EQ(item.x, 0);
    EXPECT_FLOAT_EQ(item.speedX, 0);
    EXPECT_EQ(item.counter, 100u);
}

TEST_F(Items, PickUpEffects) {
    struct Case {
        std::uint32_t kind;
        std::int32_t before, after;
    };
    const Case cases[] = {{1, 49, 99}, {1, 50, 100}, {1, 100, 100}, {1, -20, 30},
                          {2, 45, 95}, {2, 60, 100}, {3, 7, 8},     {4, 4, 5},
                          {4, 5, 5},   {5, 3, 4},    {5, 4, 4}};
    for (const Case& c : cases) {
        TestWorld::NewGameState();
        std::int32_t* stock[] = {nullptr, &world.dragon.health, &world.dragon.magic, nullptr,
                                 nullptr, &world.dragon.lives};
        if (c.kind == 3) {
            world.dragon.upgrade = static_cast<std::uint32_t>(c.before);
        } else if (c.kind == 4) {
            world.dragon.special = static_cast<std::uint32_t>(c.before);
        } else {
            *stock[c.kind] = c.before;
        }
        Item& item = world.items[c.kind][6];
        item.state = true;
        item.x = 90;
        item.speedX = -7;
        item.counter = 33;
        CollectItem(c.kind, 6);
        const std::int32_t now = c.kind == 3   ? static_cast<std::int32_t>(world.dragon.upgrade)
                                 : c.kind == 4 ? static_cast<std::int32_t>(world.dragon.special)
                                               : *stock[c.kind];
        EXPECT_EQ(now, c.after) << "kind " << c.kind << " from " << c.before;
        // Consumed even when it changes nothing; the text will run from its age.
        EXPECT_FALSE(item.state);
        EXPECT_TRUE(item.textShown);
        EXPECT_EQ(item.counter, 33u);
        EXPECT_FLOAT_EQ(item.x, 0);
        EXPECT_FLOAT_EQ(item.speedX, 0);
    }
}

TEST_F(Items, TextShowsFor126MinusTheAgeAtPickUp) {
    for (std::uint32_t age : {1u, 30u, 99u}) {
        Item& item = PickedUp(2, 3, age);
        std::uint32_t shown = 0;
        while (item.textShown && shown < 1000) {
            ShowItemText(2, 3);
            AgeItemTexts();
            shown += item.textShown ? 1 : 0;
        }
        EXPECT_EQ(shown, 126 - age);
        EXPECT_EQ(item.counter, 126u);
    }
}
