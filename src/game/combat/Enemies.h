// Creation and movement.
#pragma once

#include "game/core/World.h"

namespace Morvek {

void CreateEnemy(float x, float y, std::uint32_t number, std::uint32_t type, std::uint32_t path);
void MoveEnemies();
void SendKamikazeBat();

} // namespace Morvek
