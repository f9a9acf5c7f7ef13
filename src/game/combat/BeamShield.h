// Fire beam and shield, and their pictures.
#pragma once

#include "game/core/World.h"

namespace Procedures {

void Energybeam();
void Energyshield();
void DrawEnergybeam();
void DrawEnergyshield();
void LaserHit(std::uint32_t i);

} // namespace Procedures
