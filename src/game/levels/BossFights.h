// The three boss fights as a set-up and the steps of a tick each, so that a
// fight can be stepped one tick at a time. BossFight1..3 run them until the
// field is clear.
#pragma once

#include "game/core/World.h"

#include <array>

namespace Morvek::Boss {

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
void Setup(WindFight& f);
void Counters(WindFight& f);
void Phases(WindFight& f);
void Overlay(const WindFight& f);

// The Ice Queen: a blowing phase, then a shooting phase.
struct IceFight {
    bool blowing = true; // the blowing phase; else the shooting phase
    std::uint32_t bossCounter = 1;
    std::uint32_t breezeCounter = 1;
    std::int32_t fullHealth = 0; // the boss's health bar when full
};
void Setup(IceFight& f);
void Counters(IceFight& f);
void Phases(IceFight& f);
void Overlay(const IceFight& f);

// The Dragon King: three stages by his health, and his brood.
struct KingFight {
    std::uint32_t stage = 1; // the stage, 1 to 3
    std::uint32_t flameCounter = 1;
    SlotTable<bool, kEnemySlots> equipped{}; // the hatchling in that slot has its size and health
    std::int32_t fullHealth = 0;             // the boss's health bar when full
};
void Setup(KingFight& f);
void Counters(KingFight& f);
void Phases(KingFight& f);
void Overlay(const KingFight& f);

// One tick of a fight in the order of every tick (combat/TickOrder.h): its
// counters first, its phases after the movers, its overlay over the frame.
template <typename Fight> void Tick(Fight& f);

} // namespace Morvek::Boss
