#include "game/core/Slots.h"
#include "game/core/World.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace Morvek;

namespace {

using V = std::vector<std::uint32_t>;

V Walk(SlotRange range) {
    V seen;
    for (const std::uint32_t i : range) {
        seen.push_back(i);
    }
    return seen;
}

struct Slot {
    bool state = false;
};

} // namespace

TEST(Slots, WalkFromOneToTheLastEntryAndNeverEntryZero) {
    EXPECT_EQ(Walk(Slots(SlotTable<int, 4>{})), (V{1, 2, 3, 4}));
    EXPECT_EQ(Walk(Slots(SlotTable<int, 1>{})), (V{1}));
    EXPECT_EQ(Walk(Slots(std::array<int, 1>{})), V{}); // entry 0 alone: no slots
    EXPECT_EQ(Walk(Slots(2, 5)), (V{2, 3, 4, 5}));
    EXPECT_EQ(Walk(Slots(7, 7)), (V{7}));
    EXPECT_EQ(Walk(Slots(1, 0)), V{});
    EXPECT_EQ(Walk(Slots(9, 3)), V{}); // a range given backwards is empty, not endless

    // The walks over the world's tables reach their last entry and no further.
    const auto last = [](const auto& table) { return Walk(Slots(table)).back() + 1; };
    EXPECT_EQ(last(world.enemies), world.enemies.size());
    EXPECT_EQ(last(world.explosions), world.explosions.size());
    EXPECT_EQ(last(world.items), world.items.size());
    EXPECT_EQ(last(world.items[kCloudRow]), world.items[kCloudRow].size());
}

TEST(Slots, CountUsedCountsTakenSlotsOnly) {
    SlotTable<Slot, 6> table{};
    EXPECT_EQ(CountUsed(table), 0u); // nothing in use
    table[0].state = true;           // entry 0 is not a slot
    EXPECT_EQ(CountUsed(table), 0u);
    table[1].state = table[4].state = table[6].state = true;
    EXPECT_EQ(CountUsed(table), 3u);

    // Icicles too: a slot is taken by its state, not by where it stands.
    SlotTable<Background, 3> ice{};
    ice[2].state = true;
    ice[3].x = 5;
    EXPECT_EQ(CountUsed(ice), 1u);
}
