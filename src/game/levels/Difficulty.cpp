#include "game/levels/Difficulty.h"
#include "game/core/World.h"

#include <array>
#include <cstdint>

namespace Morvek {

namespace {

// Performance class by score per tick: the first row whose
// (score * mul) div counter is at most `atMost` gives the class.
struct Band {
    std::uint64_t mul;
    std::uint64_t atMost;
    float cls;
};
constexpr std::array<Band, 5> kBands = {{
    {4, 1, 1},
    {2, 1, 2},
    {1, 1, 3},
    {1, 2, 4},
    {1, 4, 5},
}};
constexpr float kTopClass = 6;
constexpr std::uint32_t kCap = 10;

float PerformanceClass() {
    // 64 bits so that no score can overflow the products.
    const std::uint64_t s = world.score;
    const std::uint64_t c = world.counter == 0 ? 1 : world.counter;
    for (const Band& b : kBands) {
        if (s * b.mul / c <= b.atMost) {
            return b.cls;
        }
    }
    return kTopClass;
}

// Truncates toward zero; a measurement outside an unsigned 32-bit range (only
// possible with values the game never sets) is held at its bounds.
std::uint32_t ToUnsigned(float v) {
    if (!(v >= 0)) {
        return 0;
    }
    if (v >= 4294967296.0f) {
        return UINT32_MAX;
    }
    return static_cast<std::uint32_t>(v);
}

} // namespace

std::uint32_t DynamicDifficulty(std::uint32_t current) {
    const float x = PerformanceClass();
    world.difficultyHistory[0] =
        ToUnsigned(x * Multiplier(world.difficulty) * static_cast<float>(world.dragon.upgrade) *
                       static_cast<float>(world.dragon.lives) / 4 +
                   1);
    for (std::uint32_t i = kDifficultyHistory; i >= 1; --i) {
        world.difficultyHistory[i] = world.difficultyHistory[i - 1];
    }
    bool seen = false;
    for (std::uint32_t v : world.difficultyHistory) {
        seen = seen || v == current;
    }
    if (!seen) {
        current = world.difficultyHistory[kDifficultyHistory];
    }
    return current > kCap ? kCap : current;
}

} // namespace Morvek
