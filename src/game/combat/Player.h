// Movement and gun.
#pragma once

#include "game/core/World.h"

namespace Procedures {

void Move();
void Shootstate();
void Shoot();
void NewBullet(float x, float y, float speedX, float speedY);
void MagicRefill();

} // namespace Procedures
