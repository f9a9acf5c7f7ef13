// The enemy waves of the three levels, in the order they are released. Each
// row is one CreateEnemy call; rows with the same wave number are placed in the
// same tick and fought together.
#pragma once

#include <cstdint>

#include <array>
#include <span>

namespace Morvek::Waves {

struct Spawn {
    std::uint32_t wave;
    std::uint32_t slot;
    float x;
    float y; // ignored when randomHeight is set
    std::uint32_t type;
    std::uint32_t path;
    bool randomHeight = false; // y drawn with Between(kLowest, kHighest)
};

// The height band of a randomly placed enemy.
inline constexpr std::uint32_t kLowest = 250;
inline constexpr std::uint32_t kHighest = 450;

// Slot 3 is left alone in level 1: the third enemy of waves 3 to 5 goes to slot 4.
inline constexpr std::array<Spawn, 13> kLevel1{{
    {1, 1, 1150, 450, 1, 1},
    {1, 2, 1150, 250, 2, 2},
    {2, 1, 1150, 440, 1, 1},
    {2, 2, 1050, 200, 2, 2},
    {3, 1, 1150, 460, 1, 1},
    {3, 2, 1050, 360, 2, 2},
    {3, 4, 1100, 290, 2, 2},
    {4, 1, 1000, 210, 1, 1},
    {4, 2, 1050, 430, 2, 2},
    {4, 4, 1100, 320, 2, 2},
    {5, 1, 1110, 160, 1, 1},
    {5, 2, 1050, 400, 2, 2},
    {5, 4, 1100, 300, 2, 2},
}};

inline constexpr std::array<Spawn, 20> kLevel2{{
    {1, 1, 1150, 0, 1, 1, true}, {1, 2, 1150, 0, 2, 2, true}, {1, 3, 1150, 0, 4, 1, true},
    {2, 1, 1150, 450, 2, 1},     {2, 2, 1050, 380, 4, 2},     {2, 3, 950, 250, 1, 1},
    {2, 4, 1100, 320, 4, 2},     {3, 1, 1150, 330, 1, 1},     {3, 2, 1050, 380, 4, 1},
    {3, 3, 950, 420, 2, 2},      {3, 4, 1100, 310, 4, 2},     {4, 1, 1150, 290, 2, 2},
    {4, 2, 1050, 360, 4, 2},     {4, 3, 950, 410, 1, 1},      {4, 4, 1100, 320, 4, 2},
    {5, 1, 1150, 300, 1, 1},     {5, 2, 1050, 350, 4, 2},     {5, 3, 950, 450, 1, 2},
    {5, 4, 1100, 250, 4, 2},     {5, 5, 1150, 420, 2, 1},
}};

inline constexpr std::array<Spawn, 29> kLevel3{{
    {1, 1, 950, 180, 3, 1},  {1, 2, 1050, 220, 2, 2}, {1, 3, 1150, 430, 3, 2},
    {1, 4, 1050, 300, 4, 2}, {1, 5, 1150, 350, 2, 1}, {2, 1, 1150, 400, 2, 1},
    {2, 2, 1050, 300, 4, 2}, {2, 3, 960, 490, 2, 1},  {2, 4, 1100, 200, 4, 2},
    {2, 5, 1150, 230, 3, 2}, {2, 6, 1150, 320, 2, 1}, {3, 1, 1130, 450, 3, 1},
    {3, 2, 1040, 300, 4, 2}, {3, 3, 950, 450, 1, 1},  {3, 4, 1080, 250, 3, 2},
    {3, 5, 1120, 300, 4, 2}, {3, 6, 1150, 280, 2, 1}, {4, 1, 1140, 460, 3, 1},
    {4, 2, 1040, 320, 4, 2}, {4, 3, 930, 190, 1, 1},  {4, 4, 1080, 250, 3, 2},
    {4, 5, 1120, 360, 4, 2}, {4, 6, 1150, 220, 2, 1}, {5, 1, 1110, 190, 2, 1},
    {5, 2, 1040, 290, 3, 2}, {5, 3, 980, 450, 3, 1},  {5, 4, 1090, 250, 4, 2},
    {5, 5, 1020, 320, 4, 2}, {5, 6, 1150, 380, 2, 1},
}};

// Level 3's extra wave at a high difficulty: Genies on the diamond path,
// spread evenly down the field.
inline constexpr std::uint32_t kExtraWaveFrom = 6; // difficulty at which it comes
inline constexpr float kExtraWaveX = 950;
inline constexpr std::uint32_t kExtraWaveXLow = 10;
inline constexpr std::uint32_t kExtraWaveXHigh = 150;
inline constexpr float kExtraWaveTop = 200;
inline constexpr float kExtraWaveSpan = 400;
inline constexpr std::uint32_t kExtraWaveType = 4;
inline constexpr std::uint32_t kExtraWavePath = 2;

// Makes the CreateEnemy calls of one wave of a level's table, in table order.
void Place(std::span<const Spawn> table, std::uint32_t wave);

} // namespace Morvek::Waves
