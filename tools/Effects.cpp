// Explosions, the magic spark, the fire beam and the shield bubble.
#include "Media.h"
#include "Noise.h"
#include "Palette.h"
#include "Shade.h"

#include <algorithm>
#include <cmath>

namespace Art {

namespace {

constexpr float kTau = 6.2831853f;

Canvas explosion() {
    Canvas c(50, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            const float dx = x + 0.5f - 25, dy = y + 0.5f - 25;
            const float a = std::atan2(dy, dx);
            // A ragged edge: spikes plus noise around the rim.
            const float edge =
                17 + 5 * std::sin(a * 7) * std::sin(a * 3 + 1) + 6 * noise1((a + 3.2f) * 4, 3, 26);
            const float d = std::hypot(dx, dy);
            if (d > std::min(edge, 24.5f))
                continue;
            const float t =
                1 - d / edge + (noise2(float(x) * 0.25f, float(y) * 0.25f, 4) - 0.5f) * 0.5f;
            c.set(x, y, t < 0.12f ? hex(0x4A2A2A) : fireHeat(t * 1.25f));
        }
    return c;
}

Canvas spark() {
    Canvas c(25, 25);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x) {
            const float dx = std::abs(x - 12.0f), dy = std::abs(y - 12.0f);
            // A four-point twinkle with a round glow at the heart.
            const float ray = std::max(1 - dx / 12.5f - dy / 2.2f, 1 - dy / 12.5f - dx / 2.2f);
            const float diag = 1 - std::abs(dx - dy) / 1.6f - (dx + dy) / 14;
            const float glow = 1 - std::hypot(dx, dy) / 6.5f;
            const float s = std::max({ray, diag * 0.8f, glow});
            if (s <= 0)
                continue;
            c.set(x, y, s > 0.7f ? hex(0xFFFFFF) : s > 0.4f ? hex(0xB8A8FF) : hex(0x7A48E0));
        }
    return c;
}

// The beam is one flame chain of period 40 cut into two 20-pixel pieces that
// alternate, so the pieces join without a seam.
Canvas beamPiece(int piece) {
    Canvas c(20, 20);
    for (int x = 0; x < 20; ++x) {
        const float gx = float(piece * 20 + x) + 0.5f;
        const float phase = gx / 40 * kTau;
        const float half = 6 + 1.8f * std::sin(phase);
        const float cy = 10 + 1.2f * std::sin(phase * 2 + 0.7f);
        for (int y = 0; y < 20; ++y) {
            const float d = std::abs(y + 0.5f - cy) / half;
            const float lick = 0.12f * std::sin(phase * 3 + float(y) * 0.9f);
            if (d + lick > 1)
                continue;
            c.set(x, y, fireHeat(1.05f - d));
        }
    }
    return c;
}

Canvas shield() {
    Canvas c(75, 75);
    const float cx = 37.5f, cy = 37.5f;
    for (int y = 0; y < 75; ++y)
        for (int x = 0; x < 75; ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float d = std::hypot(dx, dy);
            if (d > 37)
                continue;
            const float lit = -(dx + dy) / (d + 0.01f); // 1 facing the light
            if (d > 33) {
                c.set(x, y, d > 36 ? hex(0x2060B0) : lit > 0.3f ? hex(0xE8FCFF) : hex(0x58B8F0));
                continue;
            }
            // The inside shows only on a sparse lattice, so the dragon
            // stays visible through the bubble.
            const bool highlight =
                std::hypot(dx + 15, dy + 15) < 6 || (d > 26 && d < 30 && lit > 0.75f);
            if (highlight)
                c.set(x, y, hex(0xFFFFFF));
            else if ((x + y) % 4 == 0 && (x - y + 400) % 4 == 0 && d > 14)
                c.set(x, y, hex(0x90D8FF));
        }
    return c;
}

} // namespace

void drawEffects(Media& m) {
    m.sprite("Media/Explosion.bmp", "Media/ExplosionMask.bmp", explosion());
    m.sprite("Media/Magicexplosion.bmp", "Media/MagicexplosionMask.bmp", spark());
    m.sprite("Media/Firebeam.bmp", "Media/FirebeamMask.bmp", beamPiece(0));
    m.sprite("Media/Firebeamsp.bmp", "Media/FirebeamspMask.bmp", beamPiece(1));
    m.sprite("Media/Shield.bmp", "Media/ShieldMask.bmp", shield());
}

} // namespace Art
