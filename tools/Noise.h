// Fixed-seed randomness for the art: the same pictures on every build.
#pragma once

#include <cstdint>

namespace Art {

class Rng {
  public:
    explicit Rng(std::uint32_t seed) : s_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    float unit() { return float(next() >> 8) / float(1u << 24); }
    float range(float a, float b) { return a + (b - a) * unit(); }
    int below(int n) { return int(next() % std::uint32_t(n)); }

  private:
    std::uint32_t s_;
};

// A fixed pseudo-random value in [0, 1] for a lattice point.
float hash01(int x, int y, std::uint32_t seed);
// Smooth value noise in [0, 1]; `seed` picks an independent field.
float noise2(float x, float y, std::uint32_t seed);
// Several octaves of noise2, still in [0, 1].
float fbm(float x, float y, std::uint32_t seed, int octaves = 4);
// 1D noise for skylines and ground lines, in [0, 1]; periodic in `period`
// when period > 0.
float noise1(float x, std::uint32_t seed, float period = 0);

} // namespace Art
