// Castles, icicles and fireballs.
#pragma once

namespace Morvek {

// The steps of each level's hazard in a wave's tick: level 1 sends castles
// along the ground, level 2 drops icicles, level 3 throws fireballs.
void CastleHazard();
void IcicleHazard();
void FireballHazard();

} // namespace Morvek
