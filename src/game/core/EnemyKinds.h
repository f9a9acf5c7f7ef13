// What each kind of enemy is, one record a kind, found by the `type` an
// enemy carries: its picture, hit size, fire, what hurts it, what it pays and
// how the game treats it. Movement is no part of a kind: an enemy's `path`
// chooses it (combat/EnemyTables.h).
#pragma once

#include "game/core/ScenePictures.h"

#include <array>
#include <cstdint>

namespace Morvek {

// The types the code names itself; the waves give theirs as numbers.
namespace EnemyType {
inline constexpr std::uint32_t kBat = 1;
inline constexpr std::uint32_t kCastle = 5;
inline constexpr std::uint32_t kHatchling = 12;
} // namespace EnemyType

enum class Trigger : std::uint8_t {
    None,       // never fires
    BelowDPlus, // a shot when Between(1, roll) < actualDifficulty + value
    Equals,     // a shot when Between(1, roll) = value
    Tornado,    // the bosses' own attacks (combat/EnemyFire.cpp)
    IceVolley,
    Hatch,
};

// How an enemy fires. Aimed shots keep `speed` as their horizontal speed;
// straight shots fly left at it. `down` is the speed of an aimed shot when
// the dragon is exactly above or below.
struct FireRule {
    Trigger trigger = Trigger::None;
    std::uint32_t roll = 0;
    std::uint32_t value = 0;
    std::uint32_t shot = 0; // the bullet type it fires
    bool aimed = false;
    float speed = 0;
    float down = 0;
};

struct EnemyKind {
    ScenePictures::Sprite picture{}; // none: its fight draws it
    float diameter = 0;              // of the hit circle it is made with; 0 keeps the slot's
    FireRule fire{};
    std::int32_t shotDamage = 0; // health one of the dragon's fireballs takes
    std::int32_t beamDamage = 0; // health one test of the beam takes
    std::uint32_t points = 0;    // paid when it is destroyed
    bool boss = false;           // the foe of a fight: its music, a wide berth
    bool lastBoss = false;       // its fall ends the game, to a fanfare
    bool holdsUpWave = true;     // its wave is not cleared while it lives
    bool glidesIn = true;        // comes in with its wave's glide
    bool diveLook = false;       // on a dive path a streak trails it and its eyes glow
};

// By type; a type without a kind of its own is row 0, which is nothing.
// clang-format off
inline constexpr std::array<EnemyKind, 14> kEnemyKinds{{
    {},
    // 1: Bat
    {.picture = {Picture::Bat, 25, 25}, .diameter = 50,
     .fire = {Trigger::BelowDPlus, 10, 2, 1, false, 15, 0},
     .shotDamage = 100, .beamDamage = 100, .points = 10, .diveLook = true},
    // 2: Ghost
    {.picture = {Picture::Ghost, 25, 25}, .diameter = 50,
     .fire = {Trigger::BelowDPlus, 15, 2, 2, false, 30, 0},
     .shotDamage = 50, .beamDamage = 20, .points = 20},
    // 3: Succubus
    {.picture = {Picture::Succubus, 25, 25}, .diameter = 50,
     .fire = {Trigger::BelowDPlus, 11, 2, 3, true, 15, 15},
     .shotDamage = 25, .beamDamage = 20, .points = 30},
    // 4: Genie
    {.picture = {Picture::Genie, 25, 25}, .diameter = 50,
     .fire = {Trigger::BelowDPlus, 20, 3, 4, true, 30, 15},
     .shotDamage = 20, .beamDamage = 20, .points = 40},
    // 5: Castle, rising from the ground of level 1; the beam passes it by
    {.picture = {Picture::Castle, 25, 25}, .diameter = 50,
     .fire = {Trigger::Equals, 25, 9, 2, true, 15, 15},
     .shotDamage = 100, .beamDamage = 0, .points = 30, .holdsUpWave = false, .glidesIn = false},
    {}, {}, {}, {}, // 6-9
    // 10: the God of the Winds
    {.picture = {Picture::WindGod, 125, 125}, .diameter = 250,
     .fire = {.trigger = Trigger::Tornado},
     .shotDamage = 100, .beamDamage = 1, .points = 200, .boss = true},
    // 11: the Ice Queen, drawn by her fight
    {.diameter = 250, .fire = {.trigger = Trigger::IceVolley},
     .shotDamage = 50, .beamDamage = 1, .points = 500, .boss = true},
    // 12: the Dragon King's hatchling, drawn and sized by his fight
    {.fire = {Trigger::Equals, 20, 9, 12, true, 30, 15},
     .shotDamage = 100, .beamDamage = 5, .points = 1000},
    // 13: the Dragon King
    {.picture = {Picture::DragonKing, 125, 125}, .diameter = 250,
     .fire = {.trigger = Trigger::Hatch},
     .shotDamage = 200, .beamDamage = 3, .points = 0, .boss = true, .lastBoss = true},
}};
// clang-format on

constexpr const EnemyKind& Kind(std::uint32_t type) {
    return type < kEnemyKinds.size() ? kEnemyKinds[type] : kEnemyKinds[0];
}

} // namespace Morvek
