// Fire beam and shield, and their pictures.
#pragma once

#include "game/core/World.h"

namespace Morvek {

void RunBeam();
void RunShield();
void DrawBeam();
void DrawShield();
void BeamHit(std::uint32_t i);

} // namespace Morvek
