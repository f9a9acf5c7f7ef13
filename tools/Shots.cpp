// Everything that flies: the dragon's fireball, enemy fire, the bosses'
// tornado, storm, ice, breeze and flame burst.
#include "Media.h"
#include "Noise.h"
#include "Palette.h"
#include "Shade.h"

#include <algorithm>
#include <cmath>

namespace Art {

namespace {

// A comet: round head at (hx, hy), a tail tapering to `tailX`; coloured by
// how close to the head's heart a pixel is.
template <class Colour> Canvas comet(int size, float hx, float tailX, float r, Colour colour) {
    Canvas c(size, size);
    const float hy = float(size) / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float along = std::clamp((px - hx) / (tailX - hx), 0.0f, 1.0f);
            const float wobble = std::sin(along * 9 + py) * 0.6f * along;
            const float radius = r * (1 - along * 0.85f);
            const float dy = std::abs(py - hy + wobble);
            const float inHead = std::hypot(px - hx, py - hy) / r;
            float t = 0;
            if (inHead <= 1)
                t = 1 - inHead * 0.7f;
            else if (((tailX < hx) ? px < hx && px > tailX : px > hx && px < tailX) && dy < radius)
                t = (1 - dy / radius) * (1 - along) * 0.8f;
            else
                continue;
            c.set(x, y, colour(t));
        }
    return c;
}

Canvas tornado() {
    Canvas c(50, 50);
    const Ramp wind = ramp(hex(0x6A6E8C), hex(0xB4B8CC), hex(0xF0F2FA), hex(0x282A40));
    for (int i = 0; i < 11; ++i) {
        const float t = float(i) / 10.0f;
        const float y = 6 + t * 40;
        const float rx = 21 * (1 - t) + 3;
        const float x = 25 + std::sin(t * 5) * 5 * t;
        Region band(50, 50);
        band.ellipse(x, y, rx, 3.8f + 1.5f * (1 - t));
        Shading s;
        s.depth = 3;
        s.tones = 4;
        paint(c, band, wind, s);
    }
    Region debris(50, 50);
    debris.circle(6, 20, 1.5f);
    debris.circle(44, 30, 1.2f);
    debris.circle(40, 12, 1.2f);
    c.fill(debris, hex(0x5A4030));
    return c;
}

// Streaks of wind blowing left; `at(x, y)` gives the strength (0 to 1) of
// the streak field, and `colour` turns strength into a pixel.
template <class Field, class Colour>
Canvas streaks(std::string_view file, Field at, Colour colour) {
    Canvas c = Media::blank(file);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const float s = at(float(x), float(y));
            if (s > 0)
                c.set(x, y, colour(std::min(1.0f, s)));
        }
    return c;
}

float streakLines(float x, float y, float spacing, std::uint32_t seed) {
    // Bands that wave gently and break up along their length.
    const float wave = y + std::sin(x * 0.012f + y * 0.05f) * 10 + std::sin(x * 0.031f) * 4;
    const float band = std::fmod(std::abs(wave), spacing) / spacing;
    const float across = 1 - std::abs(band - 0.5f) * 2;
    const float broken = noise2(x * 0.008f, std::floor(wave / spacing), seed);
    return std::max(0.0f, across * 1.6f - 0.9f) * (broken > 0.35f ? 1.0f : 0.0f);
}

Canvas storm() {
    return streaks(
        "Media/Storm.bmp",
        [](float x, float y) {
            const float fromRight = (650 - x) / 650; // strongest where it leaves the god
            const float cy = std::abs(y - 150) / 150;
            const float tail = std::min(1.0f, x / 140); // gusts die out at the far end
            const float body = (1 - cy * cy) * (1.1f - fromRight * 0.5f) * tail;
            const float dust = std::max(0.0f, (fbm(x * 0.02f, y * 0.03f, 31) - 0.62f) * 4 * body);
            // Weak wisps are left out so the gusts end cleanly.
            const float s = streakLines(x, y, 18, 5) * body * 1.4f + dust;
            return s > 0.15f ? s : 0.0f;
        },
        [](float s) {
            // Dark edges keep the gusts visible over a pale sky.
            return s > 0.55f ? hex(0xFFFFFF) : s > 0.3f ? hex(0xC0CCE8) : hex(0x5A6890);
        });
}

Canvas breeze() {
    return streaks(
        "Media/Breeze.bmp",
        [](float x, float y) {
            // A cone of frost widening from the queen's lips at (950, 200).
            const float t = std::clamp((980 - x) / 980, 0.0f, 1.0f);
            const float half = 16 + 180 * std::pow(t, 0.7f);
            const float across = std::abs(y - 200) / half;
            if (across >= 1 || x > 985)
                return 0.0f;
            const float fade = 1 - across * across;
            float s = streakLines(x, y, 14, 9) * fade * 1.3f;
            const float flake = noise2(x * 0.35f, y * 0.35f, 77);
            if (flake > 0.86f)
                s = std::max(s, 1.0f);
            return s;
        },
        [](float s) { return frostHeat(s); });
}

Canvas flameburst() {
    return streaks(
        "Media/Flameburst.bmp",
        [](float x, float y) {
            // From the king's jaws at (900, 150), spreading left and a
            // little down.
            const float t = std::clamp((905 - x) / 905, 0.0f, 1.0f);
            if (x > 910)
                return 0.0f;
            const float cy = 150 + 45 * t;
            const float half = 14 + 185 * std::pow(t, 0.65f);
            const float across = std::abs(y - cy) / std::min(half, 200.0f);
            const float tongues = fbm(x * 0.012f + y * 0.004f, y * 0.02f, 13);
            const float heat = (1 - across) * 1.25f - tongues * 0.65f - t * 0.25f;
            return heat > 0.05f ? heat : 0.0f;
        },
        [](float s) { return fireHeat(s); });
}

// A dark rim around everything drawn: a small shot then reads against any
// sky, cave or lava, pale or bright.
void outline(Canvas& c, Rgb colour) {
    const Region body = c.coverage();
    Region rim = body.dilated(1);
    rim -= body;
    c.fill(rim, colour);
}

Canvas dragonShot() {
    // Green dragonfire: no hazard and no background of any level is green
    // and yellow, and the dragon's own colour says whose shot it is.
    Canvas c = comet(20, 12.5f, 1, 5.8f, [](float t) {
        return t > 0.6f ? mix(hex(0xB8FF40), hex(0xFFFFC8), (t - 0.6f) / 0.4f)
                        : mix(hex(0x1E8C1E), hex(0xB8FF40), t / 0.6f);
    });
    outline(c, hex(0x06260A));
    return c;
}

Canvas iceShard() {
    Canvas c(25, 25);
    Region r(25, 25);
    // Points down and to the left, the way it falls; broad enough to carry
    // its colour, and violet rather than the icicles' and the cave's white
    // and blue.
    r.polygon({{1, 23}, {8, 8}, {18, 1}, {24, 6}, {17, 16}});
    Shading s;
    s.depth = 4;
    s.tones = 5;
    s.gloss = 0.8f;
    paint(c, r, ramp(hex(0x5A2CB8), hex(0x9A6CF0), hex(0xE4D4FF), hex(0x1A0840)), s);
    Region facet(25, 25);
    facet.line(4, 21, 19, 5, 0.6f);
    facet &= r.eroded(2);
    c.fill(facet, hex(0xF4ECFF));
    outline(c, hex(0x14062E));
    return c;
}

} // namespace

void drawShots(Media& m) {
    m.sprite("Media/Fireball.bmp", "Media/FireballMask.bmp", dragonShot());
    Canvas enemyFire = comet(20, 7, 19, 6, [](float t) {
        return t > 0.7f ? mix(Pal::magicPink, hex(0xFFF0FF), (t - 0.7f) / 0.3f)
                        : mix(hex(0x5A1488), Pal::magicPink, t / 0.7f);
    });
    outline(enemyFire, hex(0x200830));
    m.sprite("Media/Enemyfire.bmp", "Media/EnemyfireMask.bmp", enemyFire);
    m.sprite("Media/Tornado.bmp", "Media/TornadoMask.bmp", tornado());
    m.sprite("Media/Storm.bmp", "Media/StormMask.bmp", storm());
    m.sprite("Media/Ice.bmp", "Media/IceMask.bmp", iceShard());
    m.sprite("Media/Breeze.bmp", "Media/BreezeMask.bmp", breeze());
    m.sprite("Media/Flameburst.bmp", "Media/FlameburstMask.bmp", flameburst());
}

} // namespace Art
