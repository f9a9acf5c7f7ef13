// Hits, damage, explosions and score.
#pragma once

#include "game/core/World.h"

namespace Morvek {

// Every contact of a tick: shots with enemies and the dragon, items and
// fireballs with the dragon, enemies ramming it, shots meeting shots.
void Collision();
// A fireball of the dragon's damages the enemy in slot `enemy`.
void ShotHit(std::uint32_t enemy);
// The enemy shot in slot `bullet` costs the dragon health.
void DragonHit(std::uint32_t bullet);
// An explosion of `type` (1 large, 2 small) in the first free slot.
void SetOffExplosion(float x, float y, std::uint32_t type);
// Each explosion lasts three ticks.
void AgeExplosions();
// The points for destroying an enemy of `type`.
void AddScore(std::uint32_t type);
// The distance between (x1, y1) and (x2, y2); note the order of arguments.
float Distance(float x1, float x2, float y1, float y2);

} // namespace Morvek
