// Castles, icicles and fireballs.
#pragma once

namespace Morvek {

void CastleHazard();
void IcicleHazard();
void FireballHazard();

} // namespace Morvek
