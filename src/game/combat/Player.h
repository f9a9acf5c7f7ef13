// Movement and gun.
#pragma once

#include "game/core/World.h"

namespace Morvek {

void MoveDragon();
void ReloadShot();
void Shoot();
void NewBullet(float x, float y, float speedX, float speedY);
void RefillMagic();

} // namespace Morvek
