// Damage to an enemy, shared by the dragon's fireballs and its beam.
#pragma once

#include "game/core/World.h"

namespace Morvek {

// Takes `damage` from enemy slot i; an enemy whose health runs out pays its
// points, leaves its slot and may drop an item.
void DamageEnemy(std::uint32_t i, std::int32_t damage);

} // namespace Morvek
