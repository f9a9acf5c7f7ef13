// Hits, damage, explosions and score.
#pragma once

#include "game/core/World.h"

namespace Procedures {

void Collision();
void Bullethit(std::uint32_t i);
void TakingFire(std::uint32_t i);
void Explosion(float x, float y, std::uint32_t type);
void ExplosionCease();
void AddScore(std::uint32_t type);
float Distance(float x1, float x2, float y1, float y2);

} // namespace Procedures
