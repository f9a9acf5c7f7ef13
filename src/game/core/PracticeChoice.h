// A practice start: a new game that begins at a chosen level, optionally
// right at that level's boss fight.
#pragma once

#include <cstdint>

namespace Morvek {

struct PracticeChoice {
    std::uint32_t level = 1; // --level N: a new game starts in level N
    bool boss = false;       // --boss: ... and straight at that level's boss fight
};

} // namespace Morvek
