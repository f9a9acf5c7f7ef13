// Creation and movement.
#pragma once

#include "game/core/World.h"

namespace Morvek {

// An enemy of `type` at (x, y) in slot `slot`, to move along `path`.
void CreateEnemy(float x, float y, std::uint32_t slot, std::uint32_t type, std::uint32_t path);
// Every enemy one tick along its path.
void MoveEnemies();
// In a wave, now and then a Bat that flies straight at the dragon.
void SendKamikazeBat();

} // namespace Morvek
