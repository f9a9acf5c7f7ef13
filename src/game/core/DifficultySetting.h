// The difficulty the options screen sets.
#pragma once

#include <cstdint>

namespace Morvek {

// Easy is the zero of a fresh world, as before any setting is read.
enum class Difficulty : std::uint8_t { Easy, Normal, Hard };

// How strongly the player's own scoring drives the waves' difficulty up; Easy
// leaves it at its floor. Also what the state dump shows for the setting.
constexpr float Multiplier(Difficulty d) {
    switch (d) {
    case Difficulty::Easy:
        return 0.0f;
    case Difficulty::Normal:
        return 1.0f;
    case Difficulty::Hard:
        return 2.0f;
    }
    return 0.0f;
}

} // namespace Morvek
