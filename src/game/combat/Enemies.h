// Creation and movement.
#pragma once

#include "game/core/World.h"

namespace Procedures {

void CreateEnemy(real x, real y, card number, card type, card path);
void Enemymove();
void KamikazeEnemy();

} // namespace Procedures
