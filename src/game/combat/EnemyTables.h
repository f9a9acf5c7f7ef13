// The enemies' movement patterns, by `path`, and the bosses' own attacks, as
// data. What each kind of enemy is lies in core/EnemyKinds.h.
#pragma once

#include "game/core/World.h"

#include <array>
#include <cstdint>
#include <limits>

namespace Morvek::EnemyTables {

// One leg of a movement pattern: the motion applied while the phase k is at
// most `last`.
struct Leg {
    std::uint32_t last = 0;
    float dx = 0;
    float dy = 0;
};

// A pattern is up to four legs; past the last leg it restarts (phase back to
// 0, no motion that tick). `dxPerPhase` adds k * dxPerPhase to x, for the dive.
struct Path {
    std::array<Leg, 4> legs{};
    std::uint32_t count = 0;
    float dxPerPhase = 0;
};

inline constexpr std::uint32_t kForever = std::numeric_limits<std::uint32_t>::max();

// The paths the code itself sends enemies on: the kamikaze bats' two, and
// the hatchlings'.
inline constexpr std::uint32_t kDivePath = 3, kFastLeftPath = 4, kWithGroundPath = 5,
                               kBroodPath = 12;

// Indexed by `path`; paths without legs stand still.
inline constexpr std::array<Path, 14> kPaths = {{
    {},                                                                 // 0
    {{{{10, 0, 10}, {20, 0, -10}}}, 2},                                 // 1: bob
    {{{{5, -10, -10}, {10, 10, -10}, {15, 10, 10}, {20, -10, 10}}}, 4}, // 2: diamond
    {{{{kForever, 0, 10}}}, 1, -1},                                     // 3: dive
    {{{{kForever, -21, 0}}}, 1},                                        // 4: fast left
    {{{{kForever, -7, 0}}}, 1},                                         // 5: with the ground
    {},
    {},
    {},
    {},                                                                  // 6-9
    {{{{20, 10.5f, -5.25f}, {40, 0, 10.5f}, {60, -10.5f, -5.25f}}}, 3},  // 10: triangle
    {{{{20, -7, 7}, {40, -7, -7}, {60, 7, 7}, {80, 7, -7}}}, 4},         // 11: sway
    {{{{10, -10, -10}, {20, 10, -10}, {30, 10, 10}, {40, -10, 10}}}, 4}, // 12: big diamond
    {{{{35, 0, -7}, {70, 0, 7}}}, 2},                                    // 13: rise and sink
}};

// The tornado of the God of the Winds.
inline constexpr std::uint32_t kTornadoShot = 10;
inline constexpr float kTornadoSpeed = 30;
inline constexpr float kTornadoDown = 30;
inline constexpr float kTornadoX = 800;
inline constexpr std::array<float, 3> kTornadoY = {0, 100, 600}; // by Between(1, 2)

// The Ice Queen's volley: five shots, each into slot i + Between(jmin, jmax)
// at x = Between(xmin, xmax).
struct IceShot {
    std::uint32_t jmin, jmax, xmin, xmax;
};
inline constexpr std::array<IceShot, 5> kIceVolley = {{
    {0, 0, 200, 950},
    {1, 5, 300, 900},
    {5, 10, 300, 1000},
    {10, 15, 200, 1000},
    {15, 20, 200, 1000},
}};
inline constexpr std::uint32_t kIceShot = 11;
inline constexpr float kIceY = 50;
inline constexpr float kIceSpeedX = -15;
inline constexpr float kIceSpeedY = 15;

} // namespace Morvek::EnemyTables
