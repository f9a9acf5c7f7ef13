// Hits, damage, explosions and score.
#pragma once

#include "game/core/World.h"

namespace Procedures {

void Collision();
void Bullethit(card i);
void TakingFire(card i);
void Explosion(real x, real y, card type);
void ExplosionCease();
void AddScore(card type);
real Distance(real x1, real x2, real y1, real y2);

} // namespace Procedures
