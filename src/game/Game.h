// What the command line chose for the run.
#pragma once

#include "game/core/DifficultySetting.h"

#include <cstdint>

namespace Game {

// What the command line chose for this run.
struct Options {
    // The options screen's choices the program starts with: the settings
    // file's, or a recording's.
    Morvek::Difficulty difficulty = Morvek::Difficulty::Normal;
    std::uint32_t speed = 30;
};
extern Options options;

} // namespace Game
