#include "Shade.h"

#include <algorithm>
#include <cmath>

namespace Art {

Rgb Ramp::at(float t) const {
    t = std::clamp(t, 0.0f, 1.0f);
    return t < 0.55f ? mix(dark, mid, t / 0.55f) : mix(mid, light, (t - 0.55f) / 0.45f);
}

Ramp ramp(Rgb base) {
    return {mix(scale(base, 0.42f), hex(0x201040), 0.3f), base, mix(base, hex(0xFFF6DC), 0.55f),
            mix(scale(base, 0.2f), hex(0x120A1C), 0.6f)};
}

Ramp ramp(Rgb dark, Rgb mid, Rgb light, Rgb outline) {
    return {dark, mid, light, outline};
}

float bayer(int x, int y) {
    static constexpr int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (float(m[y & 3][x & 3]) + 0.5f) / 16.0f;
}

std::vector<float> lighting(const Region& r, float depth, float ambient, float gloss) {
    const int w = r.width(), h = r.height();
    const float big = 1e6f;
    std::vector<float> d(std::size_t(w) * h);
    auto D = [&](int x, int y) -> float& { return d[std::size_t(y) * w + x]; };
    auto get = [&](int x, int y) { return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : D(x, y); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            D(x, y) = r.at(x, y) ? big : 0.0f;
    constexpr float k1 = 1.0f, k2 = 1.4142f;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (D(x, y) > 0)
                D(x, y) = std::min({D(x, y), get(x - 1, y) + k1, get(x, y - 1) + k1,
                                    get(x - 1, y - 1) + k2, get(x + 1, y - 1) + k2});
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x)
            if (D(x, y) > 0)
                D(x, y) = std::min({D(x, y), get(x + 1, y) + k1, get(x, y + 1) + k1,
                                    get(x + 1, y + 1) + k2, get(x - 1, y + 1) + k2});
    // Height of a rounded profile over the distance to the edge.
    std::vector<float> ht(d.size());
    for (std::size_t i = 0; i < d.size(); ++i) {
        const float t = std::min(d[i], depth) / depth;
        ht[i] = d[i] > 0 ? depth * std::sqrt(std::max(0.0f, 1 - (1 - t) * (1 - t))) : 0;
    }
    auto H = [&](int x, int y) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        return ht[std::size_t(y) * w + x];
    };
    const float lx = -0.55f, ly = -0.65f, lz = 0.52f;
    std::vector<float> out(d.size(), 0.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!r.at(x, y))
                continue;
            const float nx = -(H(x + 1, y) - H(x - 1, y)) * 0.5f;
            const float ny = -(H(x, y + 1) - H(x, y - 1)) * 0.5f;
            const float len = std::sqrt(nx * nx + ny * ny + 1);
            const float dot = (nx * lx + ny * ly + lz) / len;
            float v = ambient + (1 - ambient) * std::max(0.0f, dot) * 1.15f;
            if (gloss > 0)
                v += gloss * std::pow(std::max(0.0f, dot), 12.0f);
            out[std::size_t(y) * w + x] = std::clamp(v, 0.0f, 1.0f);
        }
    return out;
}

void paint(Canvas& c, const Region& whole, const Ramp& rp, const Shading& s) {
    // Work in the region's own box (plus a margin for the outline): small
    // parts of big pictures stay cheap.
    Region::Box box = whole.bounds();
    if (box.x1 == 0)
        return;
    box = {std::max(0, box.x0 - 2), std::max(0, box.y0 - 2), std::min(c.width(), box.x1 + 2),
           std::min(c.height(), box.y1 + 2)};
    const Region r = whole.crop(box);
    if (s.outline) {
        Region edge = r.dilated(1);
        edge -= r;
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x)
                if (edge.at(x, y))
                    c.set(box.x0 + x, box.y0 + y, rp.outline);
    }
    const auto light = lighting(r, s.depth, s.ambient, s.gloss);
    const int w = r.width();
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < w; ++x) {
            if (!r.at(x, y))
                continue;
            const int cx = box.x0 + x, cy = box.y0 + y;
            float t = light[std::size_t(y) * w + x];
            if (s.tones > 1) {
                const float q = t * float(s.tones - 1);
                const float base = std::floor(q);
                const float frac = q - base;
                const float step =
                    s.dither ? (frac > bayer(cx, cy) ? 1.0f : 0.0f) : (frac > 0.5f ? 1.0f : 0.0f);
                t = (base + step) / float(s.tones - 1);
            }
            c.set(cx, cy, rp.at(t));
        }
}

} // namespace Art
