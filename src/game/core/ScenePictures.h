// Which picture of the catalogue draws which kind of thing in a frame of
// play, and where its top-left corner lies relative to the thing's position.
#pragma once

#include "game/core/World.h"

#include <array>
#include <optional>

namespace Morvek::ScenePictures {

// A picture drawn with its mask, at (x - dx, y - dy); none means not drawn.
struct Sprite {
    std::optional<Picture> picture;
    float dx = 0;
    float dy = 0;
};

// By bullet type; area attacks (20) are drawn by the boss fights.
inline constexpr std::array<Sprite, 13> kBullets = {{
    {Picture::Fireball, 5, 10.5f}, // the dragon's shot
    {Picture::EnemyFire, 5, 10.5f},
    {Picture::EnemyFire, 5, 10.5f},
    {Picture::EnemyFire, 5, 10.5f},
    {Picture::EnemyFire, 5, 10.5f},
    {Picture::EnemyFire, 5, 10.5f},
    {},
    {},
    {},
    {},
    {Picture::Tornado, 25, 25},
    {Picture::Ice, 12, 12},
    {Picture::Fireball, 10, 10}, // the brood's fire
}};

// By explosion type.
inline constexpr std::array<Sprite, 3> kExplosions = {{
    {},
    {Picture::Explosion, 25, 25},
    {Picture::MagicExplosion, 12, 12},
}};

// By item kind (row of `items`).
inline constexpr std::array<Sprite, 6> kItems = {{
    {},
    {Picture::Heart, 33, 33},
    {Picture::MagicOrb, 33, 33},
    {Picture::Upgrade, 33, 33},
    {Picture::Special, 33, 33},
    {Picture::Life, 33, 33},
}};

inline constexpr std::array<Sprite, 2> kDragon = {
    {{Picture::Dragon1, 25, 25}, {Picture::Dragon2, 25, 25}}};
inline constexpr std::uint32_t kWingBeat = 6; // ticks; first half the first picture
// The dragon's picture at tick `counter` of its wing beat.
constexpr const Sprite& DragonSprite(std::uint32_t counter) {
    return kDragon[counter % kWingBeat < kWingBeat / 2 ? 0 : 1];
}

inline constexpr Sprite kIcicle = {Picture::Icicle, 0, 0};
inline constexpr std::int32_t kIcicleWidth = 30, kIcicleHeight = 150;
inline constexpr Sprite kFireball = {Picture::Sun, 25, 25};
inline constexpr std::array<Sprite, 2> kClouds = {
    {{Picture::Cloud1, 75, 150}, {Picture::Cloud2, 75, 150}}};

inline constexpr Sprite kLifeIcon = {Picture::LifeIcon, 0, 0};
inline constexpr Sprite kSpecialIcon = {Picture::Special, 0, 0};

// The beam's pieces alternate between the two.
inline constexpr std::array<Picture, 2> kBeamPieces = {Picture::Beam, Picture::BeamMirror};

using Morvek::Backdrop;
using Morvek::Scenery;
// Level l in [1..kLastLevel].
constexpr const Scenery& SceneryOf(std::uint32_t level) {
    return LevelOf(level).scenery;
}
inline constexpr std::int32_t kBackgroundWidth = 1024;
inline constexpr std::int32_t kScrollStep = 7;
inline constexpr std::int32_t kScrollLoop = 2048;

} // namespace Morvek::ScenePictures
