#include "game/Procedures.h"

namespace Procedures {

void Move() {}

void Shootstate() {}

void Shoot() {}

void NewBullet(real /*x*/, real /*y*/, real /*speedx*/, real /*speedy*/) {}

void MagicRefill() {}

} // namespace Procedures
