// Rates that follow the dynamic difficulty.
#pragma once

#include "game/core/World.h"

namespace Morvek {

// Ticks between two events that come every n div d ticks. Never 0: a
// difficulty outside 1..n would otherwise divide by zero.
constexpr std::uint32_t Period(std::uint32_t n, std::uint32_t d) {
    const std::uint32_t p = d == 0 ? n : n / d;
    return p == 0 ? 1 : p;
}

// True on the ticks of an event that comes every n div actualDifficulty ticks.
inline bool Due(std::uint32_t n) {
    return world.counter % Period(n, world.actualDifficulty) == 0;
}

} // namespace Morvek
