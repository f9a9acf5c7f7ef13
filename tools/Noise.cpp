#include "Noise.h"

#include <cmath>

namespace Art {

float hash01(int x, int y, std::uint32_t seed) {
    std::uint32_t h =
        std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xFFFFFF) / float(0xFFFFFF);
}

namespace {

float smooth(float t) {
    return t * t * (3 - 2 * t);
}

} // namespace

float noise2(float x, float y, std::uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float tx = smooth(x - fx), ty = smooth(y - fy);
    const float a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    const float c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fbm(float x, float y, std::uint32_t seed, int octaves) {
    float sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += noise2(x, y, seed + std::uint32_t(i) * 101u) * amp;
        norm += amp;
        amp *= 0.5f;
        x *= 2;
        y *= 2;
    }
    return sum / norm;
}

float noise1(float x, std::uint32_t seed, float period) {
    const float fx = std::floor(x);
    int i0 = int(fx), i1 = i0 + 1;
    if (period > 0) {
        const int p = int(period);
        i0 = ((i0 % p) + p) % p;
        i1 = ((i1 % p) + p) % p;
    }
    const float t = smooth(x - fx);
    const float a = hash01(i0, 0, seed), b = hash01(i1, 0, seed);
    return a + (b - a) * t;
}

} // namespace Art
