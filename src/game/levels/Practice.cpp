#include "game/levels/Practice.h"

#include "game/core/World.h"

namespace Morvek {

PracticeChoice practice;

void PracticeStart() {
    // Anything but a real level starts an ordinary game: the scripts and the
    // renderer index their tables by level.
    const std::uint32_t chosen = practice.level;
    world.level = (chosen >= 1 && chosen <= kLastLevel) ? chosen : 1;
    world.bossStart = practice.boss;
}

bool TakeBossStart() {
    const bool start = world.bossStart;
    world.bossStart = false;
    return start;
}

} // namespace Morvek
