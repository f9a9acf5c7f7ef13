#include "game/Procedures.h"

namespace Procedures {

void Energybeam() {}

void Energyshield() {}

void LaserHit(card /*i*/) {}

} // namespace Procedures
