// The game's only source of randomness: a small generator with a fixed start,
// so a run draws the same sequence every time. The game's own is part of its
// world, so a copy of the world draws on as the game would have.
#pragma once

#include <cstdint>

namespace Random {

class Generator {
  public:
    // A whole number from min to max, both included.
    std::uint32_t Between(std::uint32_t min, std::uint32_t max);
    // Advances the generator and returns its new state (0..1013).
    std::uint32_t Next();
    // The generator's state.
    std::uint32_t Seed() const { return seed_; }

    bool operator==(const Generator&) const = default;

  private:
    static constexpr std::uint32_t kStartSeed = 94;
    std::uint32_t seed_ = kStartSeed;
};

} // namespace Random
