// The game's only source of randomness: a small generator with a fixed start,
// so a run draws the same sequence every time.
#pragma once

#include <cstdint>

namespace Random {

// A whole number from min to max, both included.
std::uint32_t Between(std::uint32_t min, std::uint32_t max);
// Advances the generator and returns its new state (0..1013).
std::uint32_t Next();

// The generator's state, and a way back to the start value (tests, new runs).
std::uint32_t Seed();
void Reset();

} // namespace Random
