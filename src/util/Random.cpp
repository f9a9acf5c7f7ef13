#include "util/Random.h"

#include <cstdio>

namespace Random {

std::uint32_t Generator::Next() {
    std::uint32_t next = (seed_ * 351 + 138) % 1013;
    if (next == seed_) { // the fixed point 509
        next = next + 1;
    }
    seed_ = next;
    return next;
}

std::uint32_t Generator::Between(std::uint32_t min, std::uint32_t max) {
    if (max < min) {
        std::fprintf(stderr, "morvek: Random::Between: min %u is bigger than max %u\n", min, max);
        return min;
    }
    const double step = (static_cast<double>(max - min) + static_cast<double>(0.99999f)) / 1012;
    return min + static_cast<std::uint32_t>(step * Next());
}

} // namespace Random
