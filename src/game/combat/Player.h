// Movement and gun.
#pragma once

#include "game/core/World.h"

namespace Procedures {

void Move();
void Shootstate();
void Shoot();
void NewBullet(real x, real y, real speedX, real speedY);
void MagicRefill();

} // namespace Procedures
