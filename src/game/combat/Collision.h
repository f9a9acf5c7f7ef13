// Hits, damage, explosions and score.
#pragma once

#include "game/core/World.h"

namespace Morvek {

void Collision();
void ShotHit(std::uint32_t i);
void DragonHit(std::uint32_t i);
void SetOffExplosion(float x, float y, std::uint32_t type);
void AgeExplosions();
void AddScore(std::uint32_t type);
float Distance(float x1, float x2, float y1, float y2);

} // namespace Morvek
