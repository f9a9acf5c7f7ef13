// What the command line chose for the run.
#pragma once

#include "game/core/DifficultySetting.h"
#include "game/core/PracticeChoice.h"

#include <cstdint>

namespace Game {

// What the command line chose for this run.
struct Options {
    // The options screen's choices the program starts with: the settings
    // file's, or a recording's.
    Morvek::Difficulty difficulty = Morvek::Difficulty::Normal;
    std::uint32_t speed = 30;
    // The command line's, or a recording's: a replay starts its games where
    // the player's did.
    Morvek::PracticeChoice practice;
};
extern Options options;

} // namespace Game
