// What the three boss fights share: the boss's health and its bar, the timed
// phases and the area attack in the last bullet slot.
#pragma once

#include "game/core/World.h"

namespace Morvek::Boss {

// The boss always sits in enemy slot 1.
constexpr std::uint32_t kBoss = 1;

// The dragon where every fight starts it.
void PlaceDragonForFight();

// The difficulty setting as a table index: 0 Easy, 1 Normal, 2 Hard.
std::uint32_t Setting();
// A boss's full health: the Easy value, doubled on Normal, tripled on Hard.
std::int32_t FullHealth(std::int32_t easy);

// Counts a tick of a timed phase; true (and the boss's pattern restarted) when
// the phase has run its 181 ticks and the next one begins.
bool PhaseOver(std::uint32_t& bossCounter);

// "BOSS HEALTH: " and a bar of 100 pixels at full health, red from a quarter,
// on a dark panel; in the font the display left.
void HealthBar(std::int32_t full);

struct AreaAttack {
    std::uint32_t chance; // a new one when Between(1, chance) gives 4
    float dx;             // anchor relative to the boss
    float dy;
    std::uint32_t spread; // plus Between(1, spread) in y; 0 for none
    std::uint32_t life;   // ticks it lasts when it touches nothing
    float above;          // it hurts a dragon strictly within this band around its anchor
    float below;
    std::int32_t damage; // health per hitting tick
    std::uint32_t wear;  // extra age per hitting tick
    Picture picture;     // drawn with its right part at the anchor
    float left;
    float up;
};

// True while slot 100 holds an area attack. A stray shot that happens to sit
// in the last slot is not one.
bool AreaActive();
void AreaEnd();
// Birth, expiry and damage of one tick, in that order; age counts its ticks.
void AreaTick(const AreaAttack& a, std::uint32_t& age);
void AreaDraw(const AreaAttack& a);

} // namespace Morvek::Boss
