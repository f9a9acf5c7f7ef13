// What the command line chose for the run.
#pragma once

#include "game/core/DifficultySetting.h"

#include <cstdint>

namespace Game {

// A practice start: a new game that begins at a chosen level, optionally
// right at that level's boss fight.
struct PracticeChoice {
    std::uint32_t level = 1; // --level N: a new game starts in level N (1..3)
    bool boss = false;       // --boss: ... and straight at that level's boss fight
};

// What the command line chose for this run.
struct Options {
    // The options screen's choices the program starts with: the settings
    // file's, or a recording's.
    Morvek::Difficulty difficulty = Morvek::Difficulty::Normal;
    std::uint32_t speed = 30;
    // The command line's, or a recording's: a replay starts its games where
    // the player's did.
    PracticeChoice practice;
};
extern Options options;

} // namespace Game
