// The three level backgrounds, their mirror images and their deadly areas.
// Each level is built from a terrain line (or two): the deadly picture is
// black exactly under it, and the visible picture shows the same terrain as
// solid ground, so what kills the dragon is what the player sees.
#include "Media.h"
#include "Noise.h"
#include "Palette.h"
#include "Shade.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace Art {

namespace {

constexpr int kW = 1024, kH = 768;
// Nothing deadly may reach into the band where the waves fly.
constexpr int kSafeTop = 120, kSafeBottom = 660;

// Solid terrain of a level, one top (ceiling) and one bottom (floor) line
// per column: rows y <= ceiling[x] and y >= floor[x] are solid.
struct Terrain {
    std::vector<int> ceiling = std::vector<int>(kW, -1);
    std::vector<int> floor = std::vector<int>(kW, kH);
    bool solid(int x, int y) const {
        // Neighbour tests near the edges ask past them: the edge column stands in.
        const auto c = std::size_t(std::clamp(x, 0, kW - 1));
        return y <= ceiling[c] || y >= floor[c];
    }
};

Canvas deadly(const Terrain& t) {
    Canvas c(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            c.set(x, y, t.solid(x, y) ? Rgb{} : Rgb{255, 255, 255});
    return c;
}

float ridge(float x, std::uint32_t seed, float scale) {
    return noise1(x / scale, seed) * 0.65f + noise1(x / scale * 2.7f, seed + 1) * 0.35f;
}

Rgb vertical(float y, std::initializer_list<std::pair<float, Rgb>> stops) {
    auto prev = *stops.begin();
    for (const auto& s : stops) {
        if (y <= s.first)
            return s.first == prev.first
                       ? s.second
                       : mix(prev.second, s.second, (y - prev.first) / (s.first - prev.first));
        prev = s;
    }
    return prev.second;
}

// Soft clouds over a sky; `amount` 0..1.
float cloudiness(float x, float y, std::uint32_t seed) {
    const float n = fbm(x / 200, y / 70, seed, 4);
    return std::clamp((n - 0.54f) * 8.0f, 0.0f, 1.0f);
}

// A band of distant hills: returns true and the shade when (x, y) is below
// the band's line.
bool hill(float x, float y, float base, float amp, float scale, std::uint32_t seed) {
    return y >= base - amp * ridge(x, seed, scale);
}

void solidEdge(Canvas& c, const Terrain& t, Rgb line) {
    // A dark rim along every solid edge so the deadly ground reads as solid.
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (t.solid(x, y) &&
                ((x > 0 && !t.solid(x - 1, y)) || (x + 1 < kW && !t.solid(x + 1, y)) ||
                 (y > 0 && !t.solid(x, y - 1)) || (y + 1 < kH && !t.solid(x, y + 1))))
                c.set(x, y, line);
}

// Adds `count` pointed bumps at random columns to `height`: stalactites,
// stalagmites and crags. `round` gives a blunt (parabolic) profile.
void bumps(std::vector<float>& height, Rng& rng, int count, float halfMin, float halfMax,
           float lenMin, float lenMax, bool round) {
    for (int i = 0; i < count; ++i) {
        const float cx = rng.range(0, kW), half = rng.range(halfMin, halfMax),
                    len = rng.range(lenMin, lenMax);
        for (int x = std::max(0, int(cx - half)); x < std::min(kW, int(cx + half) + 1); ++x) {
            const float u = std::abs(float(x) - cx) / half;
            auto& h = height[std::size_t(x)];
            h = std::max(h, len * (1 - (round ? u * u : u)));
        }
    }
}

// --- Level 1: open sky over hills -------------------------------------------

Terrain fieldsTerrain() {
    Terrain t;
    for (int x = 0; x < kW; ++x)
        t.floor[std::size_t(x)] = 765 - int(22 * ridge(float(x), 101, 140));
    return t;
}

Canvas fields(const Terrain& t) {
    Canvas c(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float fx = float(x), fy = float(y);
            // Only the front-most layer at a pixel is worth texturing.
            if (hill(fx, fy, 718, 40, 80, 107)) {
                c.set(x, y, mix(hex(0x5AA444), hex(0x7CC050), fbm(fx / 14, fy / 14, 9, 3)));
                continue;
            }
            if (hill(fx, fy, 660, 70, 110, 105)) {
                c.set(x, y, mix(hex(0x5E9A70), hex(0x78B080), fbm(fx / 30, fy / 30, 5, 3)));
                continue;
            }
            if (hill(fx, fy, 600, 90, 160, 103)) {
                c.set(x, y, mix(hex(0x8AA8D0), hex(0x9CB8D8), fbm(fx / 40, fy / 40, 3, 2)));
                continue;
            }
            Rgb col = vertical(fy, {{0, hex(0xE8F2FF)},
                                    {90, hex(0xBCDCF8)},
                                    {420, hex(0x82B8EC)},
                                    {600, hex(0xB8D8EE)},
                                    {700, hex(0xD8E8F0)}});
            const float cl =
                fy < 560 ? cloudiness(fx, fy, 7) * std::clamp((560 - fy) / 200, 0.0f, 1.0f) : 0;
            if (cl > 0) {
                // Sunlit tops, grey-blue bellies: compare with the cloud up-left.
                const float lit = cloudiness(fx - 10, fy - 10, 7) - cl;
                const Rgb body = lit < -0.08f  ? hex(0xFFFFFF)
                                 : lit < 0.08f ? hex(0xEAF0FA)
                                               : hex(0xC6D2EA);
                col = mix(col, body, std::min(1.0f, cl * 2.5f));
            }
            c.set(x, y, col);
        }
    // Round trees along the near hills.
    Rng rng(109);
    for (int i = 0; i < 34; ++i) {
        const float x = rng.range(0, kW), r = rng.range(6, 12);
        const float ground = 718 - 40 * ridge(x, 107, 80);
        Region tree(kW, kH);
        tree.circle(x, ground - r * 0.6f, r);
        tree.circle(x + r * 0.6f, ground - r * 0.2f, r * 0.7f);
        Region trunk(kW, kH);
        trunk.rect(int(x) - 1, int(ground - r * 0.2f), int(x) + 2, int(ground + 4));
        c.fill(trunk, hex(0x4A3220));
        paint(c, tree, ramp(hex(0x2E7A36)), shaded(r * 0.7f, 4));
    }
    // The deadly hills in front: sod on top, dark earth and stones below.
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (!t.solid(x, y))
                continue;
            const int depth = y - t.floor[std::size_t(x)];
            const float grain = fbm(float(x) / 7, float(y) / 7, 121, 3);
            Rgb col = mix(hex(0x3A2C22), hex(0x5A4432), grain);
            if (grain > 0.68f)
                col = hex(0x8A8070); // a stone
            if (depth < 5 + int(3 * noise1(float(x) / 3, 123)))
                col = mix(hex(0x2E7A2E), hex(0x4E9A3A), grain);
            c.set(x, y, col);
        }
    solidEdge(c, t, hex(0x1E2A14));
    return c;
}

// --- Level 2: an ice cave ---------------------------------------------------

// Cellular facets: the shade of the nearest jittered lattice point, 0 to 1.
float facetShade(float x, float y, std::uint32_t seed) {
    const int cx = int(std::floor(x)), cy = int(std::floor(y));
    float best = 1e9f, shade = 0;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const float px =
                float(cx + i) + noise2(float(cx + i) * 7.1f, float(cy + j) * 3.3f, seed);
            const float py =
                float(cy + j) + noise2(float(cx + i) * 5.3f, float(cy + j) * 9.7f, seed + 1);
            const float d = (px - x) * (px - x) + (py - y) * (py - y);
            if (d < best) {
                best = d;
                shade = hash01(cx + i, cy + j, seed + 2);
            }
        }
    return shade;
}

Terrain caveTerrain() {
    Terrain t;
    Rng rng(202);
    std::vector<float> extra(kW, 0), rise(kW, 0);
    // Stalactites above, stalagmites below, hung at random places.
    bumps(extra, rng, 14, 8, 18, 14, 42, false);
    bumps(rise, rng, 9, 10, 22, 10, 40, false);
    for (int x = 0; x < kW; ++x) {
        const float fx = float(x);
        t.ceiling[std::size_t(x)] =
            std::min(kSafeTop - 6, int(66 + 24 * ridge(fx, 201, 90) + extra[std::size_t(x)]));
        t.floor[std::size_t(x)] =
            std::max(kSafeBottom + 8, int(742 - 30 * ridge(fx, 203, 110) - rise[std::size_t(x)]));
    }
    return t;
}

Canvas cave(const Terrain& t) {
    Canvas c(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float fx = float(x), fy = float(y);
            if (t.solid(x, y)) {
                // Pale ice, lit from above: light enough for the HUD on top.
                const bool top = y <= t.ceiling[std::size_t(x)];
                const float dist =
                    top ? float(t.ceiling[std::size_t(x)] - y) : float(y - t.floor[std::size_t(x)]);
                const float n = fbm(fx / 24, fy / 12, 211, 3);
                Rgb col = mix(hex(0xCDEAF6), hex(0xF2FBFF), n);
                if (dist < 8)
                    col = mix(hex(0x7CC0E4), col, dist / 8);
                if (std::abs(std::sin(fx * 0.05f + fy * 0.02f + n * 4)) < 0.04f)
                    col = hex(0xA8D8F0); // cracks in the ice
                c.set(x, y, col);
                continue;
            }
            Rgb col =
                vertical(fy, {{60, hex(0x4A8AC0)}, {380, hex(0x1E4A80)}, {700, hex(0x2E6698)}});
            // The far wall is faceted ice: each facet catches the light
            // at its own angle.
            const float facet = facetShade(fx / 46, fy / 46, 221);
            col = mix(col, hex(0x78B4DC), facet * 0.28f);
            // Faint light falling through the ice, far behind the battle.
            const float shaft = fbm(fx / 70, fy / 500, 225, 3);
            if (shaft > 0.58f)
                col = mix(col, hex(0x9AD0EC), std::min(1.0f, (shaft - 0.58f) * 5) * 0.3f);
            if (noise2(fx * 0.9f, fy * 0.9f, 229) > 0.985f)
                col = hex(0xE8FAFF);
            c.set(x, y, col);
        }
    solidEdge(c, t, hex(0x1E4A78));
    return c;
}

// --- Level 3: volcanic land over lava ----------------------------------------

Terrain lavaTerrain() {
    Terrain t;
    Rng rng(303);
    std::vector<float> rock(kW, 0);
    // Basalt crags standing in the lava.
    bumps(rock, rng, 7, 18, 36, 20, 48, true);
    for (int x = 0; x < kW; ++x)
        t.floor[std::size_t(x)] = std::max(
            kSafeBottom + 8, int(724 - 8 * ridge(float(x), 301, 60) - rock[std::size_t(x)]));
    return t;
}

// The rows of the lava behind "BOSS HEALTH:" and its bar (y 720 to 740).
constexpr float kLabelBandMid = 730, kLabelBandHalf = 11;

Canvas volcanic(const Terrain& t) {
    Canvas c(kW, kH);
    const Terrain lavaOnly = [] {
        Terrain l;
        for (int x = 0; x < kW; ++x)
            l.floor[std::size_t(x)] = int(724 - 8 * ridge(float(x), 301, 60));
        return l;
    }();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float fx = float(x), fy = float(y);
            if (t.solid(x, y)) {
                if (lavaOnly.solid(x, y)) {
                    // Slow currents running along the lava, with a few cooling plates.
                    const float n = fbm(fx / 90 + fy / 40, fy / 6, 311, 4);
                    const float crust = fbm(fx / 30, fy / 10, 313, 3);
                    const float below = float(y - lavaOnly.floor[std::size_t(x)]);
                    const float heat = 0.45f + n * 0.7f - std::min(below, 40.0f) / 160;
                    // One bright, even current under the boss's health label,
                    // so its dark letters never meet dark crust.
                    const float calm = std::clamp(
                        1 - (std::abs(fy - kLabelBandMid) - kLabelBandHalf) / 3, 0.0f, 1.0f);
                    const Rgb flow = crust > 0.7f ? hex(0x4A1C12) : fireHeat(heat);
                    c.set(x, y, mix(flow, fireHeat(0.8f + (n - 0.5f) * 0.12f), calm));
                } else {
                    // Basalt crags, lit from the top-left and glowing at the foot.
                    const float n = fbm(fx / 10, fy / 10, 317, 3);
                    Rgb rock = mix(hex(0x1C1218), hex(0x3A2A2E), n);
                    const bool litEdge = !t.solid(x - 3, y - 3) || !t.solid(x - 2, y - 4);
                    if (litEdge)
                        rock = hex(0xB86A48);
                    const int foot = lavaOnly.floor[std::size_t(x)] - y;
                    if (foot < 10)
                        rock = mix(rock, Pal::fireOrange, 0.6f - float(foot) * 0.05f);
                    c.set(x, y, rock);
                }
                continue;
            }
            Rgb col = vertical(fy, {{0, hex(0xF6E2C8)},
                                    {80, hex(0xF0C8A0)},
                                    {300, hex(0xD88A5A)},
                                    {560, hex(0x9A4432)},
                                    {700, hex(0xC8502A)}});
            const float smoke = fbm(fx / 150, fy / 70, 331, 3);
            if (smoke > 0.55f && fy > 70)
                col = mix(col, hex(0x7A5A58), std::min(1.0f, (smoke - 0.55f) * 3) * 0.6f);
            // Distant volcanoes: lava runs down from each crater, smoke rises.
            const float cone = std::fmod(fx + 180, 520.0f) - 260;
            auto peakAt = [](float px) {
                const float k = std::fmod(px + 180, 520.0f) - 260;
                return 590 - 150 * std::max(0.0f, 1 - std::abs(k) / 220) - 25 * ridge(px, 333, 50);
            };
            const float peak = peakAt(fx);
            const float below = fy - 440;
            if (fy < peak && std::abs(cone + std::sin(fy / 30) * 10) < 12 + (440 - fy) * 0.12f &&
                fy < 440)
                col = mix(col, hex(0x5A4444), std::clamp((fy - 120) / 320, 0.0f, 1.0f) * 0.7f);
            if (fy >= peak) {
                // Slopes rising to the right face the light.
                const float lit =
                    std::clamp(0.5f + (peakAt(fx + 4) - peakAt(fx - 4)) * 0.08f, 0.0f, 1.0f);
                col = mix(mix(hex(0x3E2430), hex(0x6A3A3E), lit * 0.6f), hex(0x7A4440),
                          fbm(fx / 30, fy / 30, 335, 3) * 0.4f);
                for (float side : {-1.0f, 1.0f}) {
                    const float run =
                        std::abs(cone - side * below * 0.42f - std::sin(fy / 14 + side) * 5);
                    if (below > 0 && run < 2.5f + below * 0.015f)
                        col = mix(Pal::fireOrange, Pal::fireYellow, 1 - run / 4);
                }
                if (std::hypot(cone / 3, fy - 445) < 7)
                    col = Pal::fireYellow; // the crater's glow
            }
            if (hill(fx, fy, 690, 30, 60, 339))
                col = mix(hex(0x8A4436), hex(0x9A5040), fbm(fx / 12, fy / 12, 341, 3));
            c.set(x, y, col);
        }
    solidEdge(c, t, hex(0x140808));
    return c;
}

void level(Media& m, int n, const Terrain& t, const Canvas& visible) {
    const std::string k = std::to_string(n);
    m.put("Media/Back" + k + ".bmp", visible);
    m.put("Media/Back" + k + "spiegel.bmp", visible.mirrored());
    const Canvas border = deadly(t);
    m.put("Media/Border" + k + ".bmp", border);
    m.put("Media/Border" + k + "spiegel.bmp", border.mirrored());
}

} // namespace

// A level at a time, the heaviest of the painters: the page draws between
// its frames, one painter per step.
void drawFields(Media& m) {
    const Terrain t = fieldsTerrain();
    level(m, 1, t, fields(t));
}

void drawCave(Media& m) {
    const Terrain t = caveTerrain();
    level(m, 2, t, cave(t));
}

void drawVolcano(Media& m) {
    const Terrain t = lavaTerrain();
    level(m, 3, t, volcanic(t));
}

} // namespace Art
