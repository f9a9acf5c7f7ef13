#include "util/Random.h"

#include <cstdio>

namespace Random {

namespace {
constexpr std::uint32_t kStartSeed = 94;
std::uint32_t gSeed = kStartSeed;
} // namespace

std::uint32_t Next() {
    std::uint32_t next = (gSeed * 351 + 138) % 1013;
    if (next == gSeed) { // the fixed point 509
        next = next + 1;
    }
    gSeed = next;
    return next;
}

std::uint32_t Between(std::uint32_t min, std::uint32_t max) {
    if (max < min) {
        std::fprintf(stderr, "morvek: Random::Between: min %u is bigger than max %u\n", min, max);
        return min;
    }
    const double step = (static_cast<double>(max - min) + static_cast<double>(0.99999f)) / 1012;
    return min + static_cast<std::uint32_t>(step * Next());
}

std::uint32_t Seed() {
    return gSeed;
}

void Reset() {
    gSeed = kStartSeed;
}

} // namespace Random
