#include "game/core/Slots.h"
#include "game/core/World.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace Morvek;

namespace {

template <typename Range> std::vector<std::uint32_t> Walk(const Range& range) {
    std::vector<std::uint32_t> seen;
    for (const std::uint32_t i : range) {
        seen.push_back(i);
    }
    return seen;
}

using V = std::vector<std::uint32_t>;

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

TEST(Slots, UsedSlotsVisitsTakenSlotsInOrder) {
    SlotTable<Slot, 6> table{};
    EXPECT_EQ(Walk(UsedSlots(table)), V{}); // nothing in use
    EXPECT_EQ(CountUsed(table), 0u);

    table[0].state = true; // entry 0 is not a slot
    EXPECT_EQ(Walk(UsedSlots(table)), V{});
    EXPECT_EQ(CountUsed(table), 0u);

    table[1].state = table[4].state = table[6].state = true;
    EXPECT_EQ(Walk(UsedSlots(table)), (V{1, 4, 6}));
    EXPECT_EQ(CountUsed(table), 3u);

    // Backgrounds and icicles are taken by `update`.
    SlotTable<Background, 3> ice{};
    ice[2].update = true;
    EXPECT_EQ(Walk(UsedSlots(ice)), (V{2}));
    EXPECT_EQ(CountUsed(ice), 1u);
}

// The walk must behave as the loop it replaces, which tests each slot when it
// gets there: slots the body frees or fills further on count as they are then.
TEST(Slots, UsedSlotsSeesWhatTheBodyChangesAhead) {
    SlotTable<Slot, 8> table{};
    for (const std::uint32_t i : {2u, 3u, 5u, 8u}) {
        table[i].state = true;
    }
    const auto body = [&table](std::uint32_t i, V& seen) {
        seen.push_back(i);
        if (i == 2) {
            table[2].state = false; // frees its own slot
            table[3].state = false; // and the next taken one
            table[6].state = true;  // fills one further on
        }
        if (i == 6) {
            table[1].state = true; // behind the walk: not visited
        }
    };

    SlotTable<Slot, 8> start = table;
    V expected;
    for (std::uint32_t i = 1; i < table.size(); ++i) {
        if (table[i].state) {
            body(i, expected);
        }
    }
    table = start;
    V seen;
    for (const std::uint32_t i : UsedSlots(table)) {
        body(i, seen);
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(seen, (V{2, 5, 6, 8}));

    // Freeing the last taken slot from the one before ends the walk there.
    table = {};
    table[4].state = table[8].state = true;
    seen.clear();
    for (const std::uint32_t i : UsedSlots(table)) {
        seen.push_back(i);
        table[8].state = false;
    }
    EXPECT_EQ(seen, (V{4}));
}
