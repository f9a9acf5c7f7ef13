// Fire beam and shield, and their pictures.
#pragma once

#include "game/core/World.h"

namespace Morvek {

// Steps of the tick: while the beam key (Shift) or the shield key (Ctrl) is held and a
// special is spent, the beam grows and burns what it reaches; the shield
// grows round the dragon and destroys what it touches.
void RunBeam();
void RunShield();
// Their pictures, drawn from the world as the steps left it.
void DrawBeam();
void DrawShield();
// The beam's damage to the enemy in slot `enemy`.
void BeamHit(std::uint32_t enemy);

} // namespace Morvek
