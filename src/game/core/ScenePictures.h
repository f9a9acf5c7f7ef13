// Which picture of the catalogue draws which kind of thing in a frame of
// play, and where its top-left corner lies relative to the thing's position.
#pragma once

#include "game/core/World.h"

#include <array>

namespace Morvek::ScenePictures {

// images[group][slot], drawn with its mask, at (x - dx, y - dy).
// Group 0 means not drawn.
struct Sprite {
    std::uint32_t group = 0;
    std::uint32_t slot = 0;
    float dx = 0;
    float dy = 0;
};

// By enemy type. The Ice Queen (11) and the brood (12) are drawn by their fight.
inline constexpr std::array<Sprite, 14> kEnemies = {{
    {},
    {3, 1, 25, 25}, // Bat
    {3, 2, 25, 25}, // Ghost
    {3, 3, 25, 25}, // Succubus
    {3, 4, 25, 25}, // Genie
    {3, 5, 25, 25}, // Castle
    {},
    {},
    {},
    {},
    {3, 6, 125, 125}, // God of the Winds
    {},
    {},
    {3, 9, 125, 125}, // Dragon King
}};

// By bullet type; area attacks (20) are drawn by the boss fights.
inline constexpr std::array<Sprite, 13> kBullets = {{
    {5, 1, 5, 10.5f}, // the dragon's shot
    {5, 4, 5, 10.5f},
    {5, 4, 5, 10.5f},
    {5, 4, 5, 10.5f},
    {5, 4, 5, 10.5f},
    {5, 4, 5, 10.5f},
    {},
    {},
    {},
    {},
    {5, 2, 25, 25}, // tornado
    {5, 5, 12, 12}, // ice
    {5, 1, 10, 10}, // the brood's fire
}};

// By explosion type.
inline constexpr std::array<Sprite, 3> kExplosions = {{
    {},
    {6, 1, 25, 25},
    {6, 2, 12, 12},
}};

// By item kind (row of `items`).
inline constexpr std::array<Sprite, 6> kItems = {{
    {},
    {4, 1, 33, 33}, // health
    {4, 2, 33, 33}, // magic
    {4, 3, 33, 33}, // weapon
    {4, 4, 33, 33}, // special
    {4, 5, 33, 33}, // life
}};

inline constexpr std::array<Sprite, 2> kDragon = {{{1, 1, 25, 25}, {1, 2, 25, 25}}};
inline constexpr std::uint32_t kWingBeat = 6; // ticks; first half the first picture

inline constexpr Sprite kIcicle = {4, 6, 0, 0};
inline constexpr std::uint32_t kIcicleContactGroup = 4, kIcicleContactSlot = 7; // opaque
inline constexpr std::int32_t kIcicleWidth = 30, kIcicleHeight = 150;
inline constexpr Sprite kFireball = {4, 8, 25, 25};
inline constexpr std::array<Sprite, 2> kClouds = {{{4, 9, 75, 150}, {4, 10, 75, 150}}};

inline constexpr Sprite kLifeIcon = {6, 6, 0, 0};
inline constexpr Sprite kSpecialIcon = {4, 4, 0, 0};

// Backgrounds of level l: images[2][2l - 1] and images[2][2l]; entry 1 the
// visible picture, entry 2 its deadly area. The second slot is the mirror.
inline constexpr std::uint32_t kBackgroundGroup = 2;
inline constexpr std::int32_t kBackgroundWidth = 1024;
inline constexpr std::int32_t kScrollStep = 7;
inline constexpr std::int32_t kScrollLoop = 2048;

} // namespace Morvek::ScenePictures
