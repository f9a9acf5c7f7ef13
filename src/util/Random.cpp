#include "util/Random.h"

#include <cstdio>
#include <random>

namespace Random {

namespace {
constexpr std::uint32_t kStartSeed = 94;
std::uint32_t gSeed = kStartSeed;
// Only serves gPseudoRandom = false, which the game never selects; a fixed
// seed keeps even that path reproducible.
std::mt19937 platformSource{kStartSeed};
} // namespace

bool gPseudoRandom = true;

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
        std::printf("ERROR calling RandomCardFromInterval: min %u is bigger than max %u\n", min,
                    max);
        std::fflush(stdout);
        return min;
    }
    if (gPseudoRandom) {
        const double step = (static_cast<double>(max - min) + static_cast<double>(0.99999f)) / 1012;
        const std::uint32_t g = Next();
        return min + static_cast<std::uint32_t>(step * g);
    }
    std::uniform_int_distribution<std::uint32_t> pick(0, max - min);
    return min + pick(platformSource);
}

std::uint32_t Seed() {
    return gSeed;
}

void Reset() {
    gSeed = kStartSeed;
    gPseudoRandom = true;
    platformSource.seed(kStartSeed);
}

} // namespace Random
