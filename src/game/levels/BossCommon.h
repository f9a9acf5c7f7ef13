// What the three boss fights share: the boss's health and its bar, the timed
// phases and the area attack in bullet slot 100.
#pragma once

#include "game/core/World.h"

namespace Procedures::Boss {

// The boss always sits in enemy slot 1.
constexpr card kBoss = 1;
// The area attack (storm, breeze, flame) is a standing bullet in the last slot.
constexpr card kArea = 100;
constexpr card kAreaType = 20;

// The difficulty setting as a table index: 0 Easy, 1 Normal, 2 Hard.
card Setting();
// A boss's full health: the Easy value, doubled on Normal, tripled on Hard.
integer FullHealth(integer easy);

// Counts a tick of a timed phase; true (and the boss's pattern restarted) when
// the phase has run its 181 ticks and the next one begins.
bool PhaseOver(card& bosscounter);

// "BOSS HEALTH: " and a bar of 100 pixels at full health, red from a quarter.
void HealthBar(integer full);

struct AreaAttack {
    card chance; // a new one when RandomCard(1, chance) gives 4
    real dx;     // anchor relative to the boss
    real dy;
    card spread; // plus RandomCard(1, spread) in y; 0 for none
    card life;   // ticks it lasts when it touches nothing
    real above;  // it hurts a dragon strictly within this band around its anchor
    real below;
    integer damage; // health per hitting tick
    card wear;      // extra age per hitting tick
    card group;     // picture images[group][slot], drawn with its right part at the anchor
    card slot;
    real left;
    real up;
};

// True while slot 100 holds an area attack. A stray shot that happens to sit
// in the last slot is not one.
bool AreaActive();
void AreaEnd();
// Birth, expiry and damage of one tick, in that order; age counts its ticks.
void AreaTick(const AreaAttack& a, card& age);
void AreaDraw(const AreaAttack& a);

} // namespace Procedures::Boss
