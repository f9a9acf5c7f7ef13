// Movement and gun.
#pragma once

#include "game/core/World.h"

namespace Morvek {

// The direction keys move the dragon inside the field.
void MoveDragon();
// Every seventh tick the gun is ready again.
void ReloadShot();
// The fire key (Space) fires the volley of the dragon's weapon level, paid for in magic.
void Shoot();
// A shot of the dragon's in the first free bullet slot.
void NewBullet(float x, float y, float speedX, float speedY);
// Magic comes back slowly.
void RefillMagic();

} // namespace Morvek
