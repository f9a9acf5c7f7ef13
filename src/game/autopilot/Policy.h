// What the autopilot does with the dragon on one tick: which keys it holds,
// decided from the world state alone.
#pragma once

#include "game/core/World.h"

#include <array>

namespace Autopilot {

struct Controls {
    bool left = false, right = false, up = false, down = false;
    bool fire = false, beam = false, shield = false;
    bool operator==(const Controls&) const = default;
};

// What the policy remembers between ticks: last positions, to guess where
// things are heading, and how long the beam and shield keys have been held.
struct Memory {
    struct Seen {
        bool valid = false;
        float x = 0, y = 0;
    };
    Morvek::SlotTable<Seen, Morvek::kEnemySlots> enemies{};
    Morvek::SlotTable<Seen, Morvek::kIcicleSlots> icicles{};
    Controls last{};
    unsigned beamHeld = 0, shieldHeld = 0;
    void Forget() { *this = Memory{}; }
};

// One decision; updates `memory`. The walls are the game's own deadly area.
Controls Decide(Memory& memory);

} // namespace Autopilot
