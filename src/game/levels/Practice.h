// A practice start: a new game that begins at a chosen level, optionally
// right at that level's boss fight.
#pragma once

#include "game/core/World.h"

namespace Morvek {

// What the command line chose for this run's new games.
struct PracticeChoice {
    std::uint32_t level = 1; // --level N: a new game starts in level N (1..3)
    bool boss = false;       // --boss: ... and straight at that level's boss fight
};
extern PracticeChoice practice;

// True once after a practice start that asked for the boss fight: the level
// script then skips its waves. Reading it clears it, so the levels that follow
// run in full.
bool TakeBossStart();

// A new game started at a chosen level or boss fight
// (command line --level N, --boss). Called by NewGame after its reset.
void PracticeStart();

} // namespace Morvek
