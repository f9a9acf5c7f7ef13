// A practice start: a new game that begins at a chosen level, optionally
// right at that level's boss fight (world.practice).
#pragma once

#include "game/core/PracticeChoice.h"
#include "game/core/World.h"

#include <optional>
#include <string>
#include <string_view>

namespace Morvek {

// True once after a practice start that asked for the boss fight: the level
// script then skips its waves. Reading it clears it, so the levels that follow
// run in full.
bool TakeBossStart();

// A new game started at the chosen level or boss fight. Called by NewGame
// after its reset.
void PracticeStart();

// The choice as a recording's option line holds it: "off", "level 2",
// "level 3 boss"; and back, nothing for words that name no start.
std::string PracticeName(const Morvek::PracticeChoice& choice);
std::optional<Morvek::PracticeChoice> PracticeFromName(std::string_view name);

} // namespace Morvek
