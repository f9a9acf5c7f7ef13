// What a boss fight keeps between its ticks, beside the world's tables.
#pragma once

#include "game/core/Slots.h"

#include <cstdint>
#include <variant>

namespace Morvek {

// The God of the Winds: a shooting phase, then a storm phase, and two clouds
// that guard him.
struct WindFight {
    bool storming = false; // the storm phase; else the shooting phase
    std::uint32_t bossCounter = 1;
    std::uint32_t stormCounter = 1;
    std::uint32_t beamContacts = 0; // beam contacts with the clouds since the last cut
    bool cloudsDrifting = false;
    std::int32_t fullHealth = 0; // the boss's health bar when full
};

// The Ice Queen: a blowing phase, then a shooting phase.
struct IceFight {
    bool blowing = true; // the blowing phase; else the shooting phase
    std::uint32_t bossCounter = 1;
    std::uint32_t breezeCounter = 1;
    std::int32_t fullHealth = 0; // the boss's health bar when full
};

// The Dragon King: three stages by his health, and his brood.
struct KingFight {
    std::uint32_t stage = 1; // the stage, 1 to 3
    std::uint32_t flameCounter = 1;
    SlotTable<bool, kEnemySlots> equipped{}; // the hatchling in that slot has its size and health
    std::int32_t fullHealth = 0;             // the boss's health bar when full
};

// A round of play: a wave (nothing kept beyond the world) or one of the fights.
using Fight = std::variant<std::monostate, WindFight, IceFight, KingFight>;

} // namespace Morvek
