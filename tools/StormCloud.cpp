#include "StormCloud.h"

#include "Media.h"
#include "Noise.h"
#include "Palette.h"
#include "Shade.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace Art {

namespace {

// Storm greys from the shadowed underside to the sunlit crown.
constexpr std::array<Rgb, 8> kTones = {hex(0x16172A), hex(0x212440), hex(0x2E3352), hex(0x3E4666),
                                       hex(0x535D7E), hex(0x6E7A98), hex(0x95A0BA), hex(0xC2CADA)};
constexpr Rgb kOutline = hex(0x0E0F1C);

// A billow: an ellipse that bulges towards the viewer like half a ball.
struct Lobe {
    float x, y, rx, ry;
};

struct Layout {
    std::vector<Lobe> lobes;
    float top, base;     // the body's rows; below `base` only rain
    std::uint32_t seed;  // edge noise and the small billows
    float warp;          // how ragged the outline is
    bool cauliflowerLow; // small billows also on the lower flanks
    Pt flash{0, 0};      // where lightning lights the cloud from inside
    float flashR = 0;
};

float smax(float a, float b, float k) {
    const float h = std::max(k - std::abs(a - b), 0.0f) / k;
    return std::max(a, b) + h * h * k * 0.25f;
}

float smoothstep(float a, float b, float v) {
    const float t = std::clamp((v - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// Small billows along the big ones' free rims: what makes a cloud read as
// cauliflower rather than as a stack of balls.
void addCauliflower(Layout& l) {
    Rng rng(l.seed);
    const std::vector<Lobe> big = l.lobes;
    auto inside = [&](float x, float y, std::size_t skip) {
        for (std::size_t j = 0; j < big.size(); ++j) {
            if (j == skip)
                continue;
            const float dx = (x - big[j].x) / big[j].rx, dy = (y - big[j].y) / big[j].ry;
            if (dx * dx + dy * dy < 0.8f)
                return true;
        }
        return false;
    };
    for (std::size_t i = 0; i < big.size(); ++i) {
        const Lobe& b = big[i];
        if (b.ry < 12)
            continue; // wisps stay smooth
        for (int k = 0; k < 14; ++k) {
            const float a = float(k) / 14 * 6.2831853f + rng.range(-0.15f, 0.15f);
            const float px = b.x + std::cos(a) * b.rx, py = b.y + std::sin(a) * b.ry;
            const bool low = std::sin(a) > 0.35f;
            if (inside(px, py, i) || (low && !l.cauliflowerLow) || py > l.base - 14)
                continue;
            const float r = rng.range(5, 11) * (low ? 0.7f : 1.0f);
            l.lobes.push_back({b.x + std::cos(a) * (b.rx - r * 0.45f),
                               b.y + std::sin(a) * (b.ry - r * 0.45f), r, r});
        }
    }
}

// The cloud's surface height per pixel, negative outside.
std::vector<float> heights(const Layout& l, int w, int h) {
    std::vector<float> ht(std::size_t(w) * h, -1.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // A warped lookup frays the edges the way vapour does.
            const float qx = float(x) + 0.5f +
                             (fbm(float(x) * 0.09f, float(y) * 0.09f, l.seed, 3) - 0.5f) * l.warp;
            const float qy =
                float(y) + 0.5f +
                (fbm(float(x) * 0.09f, float(y) * 0.09f, l.seed + 7, 3) - 0.5f) * l.warp;
            const float floor = l.base + (noise1(qx * 0.11f, l.seed + 3) - 0.5f) * 6;
            if (qy > floor)
                continue;
            float v = -1;
            for (const Lobe& b : l.lobes) {
                const float dx = (qx - b.x) / b.rx, dy = (qy - b.y) / b.ry;
                const float d2 = dx * dx + dy * dy;
                if (d2 >= 1)
                    continue;
                const float hl = std::min(b.rx, b.ry) * std::sqrt(1 - d2);
                v = v < 0 ? hl : smax(v, hl, 6);
            }
            ht[std::size_t(y) * w + x] = v;
        }
    return ht;
}

// A box blur of the heights, for the shade that gathers in the creases.
std::vector<float> blurred(const std::vector<float>& ht, int w, int h, int r) {
    auto at = [&](const std::vector<float>& v, int x, int y) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        return std::max(0.0f, v[std::size_t(y) * w + x]);
    };
    std::vector<float> a(ht.size()), b(ht.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = 0;
            for (int k = -r; k <= r; ++k)
                s += at(ht, x + k, y);
            a[std::size_t(y) * w + x] = s / float(2 * r + 1);
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = 0;
            for (int k = -r; k <= r; ++k)
                s += at(a, x, y + k);
            b[std::size_t(y) * w + x] = s / float(2 * r + 1);
        }
    return b;
}

void paintBody(Canvas& c, const Layout& l) {
    const int w = c.width(), h = c.height();
    const std::vector<float> ht = heights(l, w, h);
    const std::vector<float> soft = blurred(ht, w, h, 5);
    auto H = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return 0.0f;
        return std::max(0.0f, ht[std::size_t(y) * w + x]);
    };
    const float lx = -0.55f, ly = -0.65f, lz = 0.52f;
    Region body(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            if (ht[i] < 0)
                continue;
            body.set(x, y);
            const float nx = -(H(x + 1, y) - H(x - 1, y)) * 0.5f;
            const float ny = -(H(x, y + 1) - H(x, y - 1)) * 0.5f;
            const float len = std::sqrt(nx * nx + ny * ny + 1);
            const float diffuse = std::max(0.0f, (nx * lx + ny * ly + lz) / len);
            const float crease = std::clamp((soft[i] - ht[i]) / 9, 0.0f, 1.0f);
            // Storm clouds are lit from above and go dark towards the base.
            const float down = std::clamp((float(y) - l.top) / (l.base - l.top), 0.0f, 1.0f);
            const float under =
                1 - 0.55f * down * down - 0.35f * smoothstep(l.base - 30, l.base, float(y));
            float v = (0.03f + 1.15f * diffuse) * (1 - 0.55f * crease) * under;
            if (l.flashR > 0) {
                const float fx = (float(x) - l.flash.x) / l.flashR,
                            fy = (float(y) - l.flash.y) / l.flashR;
                v += 0.6f * std::exp(-(fx * fx + fy * fy) * 2);
            }
            v += (fbm(float(x) * 0.12f, float(y) * 0.12f, l.seed + 21, 3) - 0.5f) * 0.08f;
            const float q = std::clamp(v, 0.0f, 1.0f) * float(kTones.size() - 1);
            const float base = std::floor(q);
            const int tone = int(base) + (q - base > bayer(x, y) ? 1 : 0);
            c.set(x, y, kTones[std::size_t(std::min<int>(tone, kTones.size() - 1))]);
        }
    Region rim = body.dilated(1);
    rim -= body;
    c.fill(rim, kOutline);
}

// A 1-pixel streak from (x0, y0) to (x1, y1).
void streak(Canvas& c, float x0, float y0, float x1, float y1, Rgb col) {
    const int n = int(std::max(std::abs(x1 - x0), std::abs(y1 - y0))) + 1;
    for (int k = 0; k <= n; ++k) {
        const float t = float(k) / float(n);
        c.set(int(std::floor(x0 + (x1 - x0) * t)), int(std::floor(y0 + (y1 - y0) * t)), col);
    }
}

// Rain slanting left with the god's wind, thinning as it falls.
void rain(Canvas& c, const Layout& l) {
    Rng rng(l.seed + 5);
    const std::array<std::array<float, 2>, 4> shafts = {{{30, 14}, {60, 18}, {98, 16}, {126, 10}}};
    for (const auto& [mid, half] : shafts)
        for (int k = 0; k < 22; ++k) {
            const float x = mid + rng.range(-half, half);
            const float y = l.base - 4 + rng.range(0, 1) * rng.range(0, 60);
            const float len = rng.range(6, 16);
            if (y + len > float(c.height()) - 2)
                continue;
            streak(c, x, y, x - len * 0.35f, y + len, k % 3 ? hex(0x56648A) : hex(0x8A98BC));
        }
}

void lightning(Canvas& c) {
    const int w = c.width(), h = c.height();
    Region bolt(w, h);
    bolt.stroke({{74, 196}, {68, 214}, {76, 222}, {64, 246}, {70, 252}, {58, 276}}, 1.1f, 0.6f);
    bolt.stroke({{76, 222}, {86, 236}, {84, 248}}, 0.8f, 0.5f);
    Region halo = bolt.dilated(1);
    halo -= bolt;
    c.fill(halo, hex(0x9C92E8));
    c.fill(bolt, hex(0xFFFBE6));
}

Layout anvil() {
    // A thunderhead whose top the wind has sheared into an anvil.
    Layout l{{{70, 24, 66, 13},
              {36, 20, 32, 10},
              {110, 28, 34, 11},
              {78, 36, 34, 12},
              {80, 58, 24, 22},
              {70, 82, 26, 24},
              {88, 106, 30, 28},
              {60, 120, 28, 26},
              {78, 148, 36, 32},
              {48, 172, 28, 26},
              {106, 170, 30, 30},
              {78, 202, 42, 36},
              {40, 228, 28, 26},
              {112, 228, 30, 28},
              {76, 248, 42, 26},
              // Tatters the wind tears off downwind.
              {38, 46, 11, 5},
              {21, 53, 7, 4},
              {9, 58, 4, 2.5f},
              {40, 98, 8, 4},
              {25, 103, 5, 3}},
             10,
             272,
             11,
             9,
             false};
    // Squeezed down into the lower part of the canvas: at the top of its
    // drift the cloud's corner then stays clear of the score's label.
    constexpr float kTop = 70, kSqueeze = 0.8f;
    for (Lobe& b : l.lobes) {
        b.y = kTop + (b.y - l.top) * kSqueeze;
        b.ry *= kSqueeze;
    }
    l.base = kTop + (l.base - l.top) * kSqueeze;
    l.top = kTop;
    addCauliflower(l);
    return l;
}

Layout rainCloud() {
    // Towers of billows over a heavy flat base.
    Layout l{{{50, 30, 22, 22},
              {62, 56, 28, 26},
              {98, 66, 24, 22},
              {126, 98, 20, 20},
              {30, 94, 22, 22},
              {80, 104, 38, 34},
              {40, 138, 30, 28},
              {112, 134, 30, 28},
              {76, 162, 44, 36},
              {34, 184, 28, 24},
              {118, 182, 28, 26},
              {74, 200, 62, 18}},
             8,
             214,
             29,
             7,
             true,
             {72, 194},
             32};
    addCauliflower(l);
    return l;
}

} // namespace

Canvas stormCloud(Storm kind) {
    Canvas c = Media::blank("Media/Cloud1.bmp");
    if (kind == Storm::Anvil) {
        paintBody(c, anvil());
    } else {
        const Layout l = rainCloud();
        rain(c, l);
        paintBody(c, l);
        lightning(c);
    }
    return c;
}

} // namespace Art
