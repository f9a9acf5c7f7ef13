// The pick-ups an enemy drops, and the scenery pieces of the level hazards.
#include "Dragon.h"
#include "Media.h"
#include "Noise.h"
#include "Palette.h"
#include "Shade.h"
#include "StormCloud.h"

#include <cmath>

namespace Art {

namespace {

constexpr int kItem = 37;

Region star(int w, int h, float cx, float cy, float outer, float inner, int points, float turn) {
    std::vector<Pt> pts;
    for (int i = 0; i < points * 2; ++i) {
        const float a = turn + float(i) * 3.14159265f / float(points);
        const float r = (i % 2 == 0) ? outer : inner;
        pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    Region s(w, h);
    s.polygon(pts);
    return s;
}

Canvas heart() {
    Canvas c(kItem, kItem);
    Region r(kItem, kItem);
    r.circle(11.5f, 13, 8.5f);
    r.circle(25.5f, 13, 8.5f);
    r.polygon({{3.5f, 16}, {18.5f, 33}, {33.5f, 16}, {18.5f, 12}});
    paint(c, r, ramp(hex(0x8A1030), hex(0xE82840), hex(0xFFC8C8), hex(0x3A0818)),
          shaded(7, 6, 0.7f));
    return c;
}

Canvas magicOrb() {
    Canvas c(kItem, kItem);
    Region r(kItem, kItem);
    r.circle(18.5f, 18.5f, 15);
    paint(c, r, ramp(hex(0x30186A), Pal::magicViolet, hex(0xF4D8FF), hex(0x140828)),
          shaded(13, 6, 0.9f));
    Region swirl(kItem, kItem);
    swirl.stroke({{11, 22}, {15, 26}, {21, 25}, {24, 20}, {21, 16}, {17, 18}}, 1.2f, 0.8f);
    c.fill(swirl, Pal::magicPink);
    Region sparkle = star(kItem, kItem, 12, 11, 5, 1.2f, 4, 0);
    c.fill(sparkle, Pal::eyeWhite);
    return c;
}

Canvas upgrade() {
    Canvas c(kItem, kItem);
    Region badge(kItem, kItem);
    badge.circle(18.5f, 18.5f, 16);
    paint(c, badge, ramp(Pal::gold), shaded(5, 6, 0.4f));
    Region inner(kItem, kItem);
    inner.circle(18.5f, 18.5f, 12);
    Shading flat = shaded(10, 6, 0);
    flat.outline = true;
    paint(c, inner, ramp(hex(0x9A2010)), flat);
    Region arrow(kItem, kItem);
    arrow.polygon(
        {{18.5f, 7}, {28, 17}, {22.5f, 17}, {22.5f, 29}, {14.5f, 29}, {14.5f, 17}, {9, 17}});
    paint(c, arrow, ramp(Pal::fireYellow), shaded(3, 6, 0.5f));
    return c;
}

Canvas special() {
    Canvas c(kItem, kItem);
    Region s = star(kItem, kItem, 18.5f, 19.5f, 17, 7.5f, 5, -1.5708f);
    paint(c, s, ramp(hex(0xC07010), hex(0xFFD030), hex(0xFFFCE0), hex(0x4A2008)),
          shaded(6, 6, 0.9f));
    Region core = star(kItem, kItem, 18.5f, 19.5f, 7, 3, 5, -1.5708f);
    c.fill(core, hex(0xFFF4B0));
    return c;
}

Canvas life() {
    Canvas c(kItem, kItem);
    Region ring(kItem, kItem);
    ring.circle(18.5f, 18.5f, 17);
    paint(c, ring, ramp(hex(0x2A3A70)), shaded(6, 6, 0.3f));
    const DragonLook look{Pal::heroScale, Pal::heroBelly, Pal::heroWing, Pal::horn};
    paintDragonHead(c, look, 15, 21, 1.05f);
    return c;
}

Canvas icicle() {
    const Canvas blank = Media::blank("Media/Ijspegel.bmp");
    Canvas c(blank.width(), blank.height());
    Region r(c.width(), c.height());
    r.polygon({{1, 0},
               {29, 0},
               {27, 10},
               {24, 18},
               {22, 40},
               {19, 80},
               {17, 120},
               {15.5f, 148},
               {13, 120},
               {10, 70},
               {7, 30},
               {4, 12}});
    Shading s = shaded(8, 6, 0.8f);
    paint(c, r, ramp(Pal::iceDeep, Pal::iceMid, Pal::iceWhite, hex(0x123458)), s);
    // A bright streak down the lit side.
    Region streak(c.width(), c.height());
    streak.stroke({{9, 4}, {11, 40}, {13, 90}, {14.5f, 128}}, 1.5f, 0.6f);
    streak &= r.eroded(1);
    c.fill(streak, Pal::iceWhite);
    return c;
}

// Black exactly where the icicle shows: the game reads the pixel under the
// dragon to tell a hit.
Canvas icicleCollision(const Canvas& icicle) {
    Canvas c(icicle.width(), icicle.height());
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            c.set(x, y, icicle.covered(x, y) ? Rgb{} : Rgb{255, 255, 255});
    return c;
}

Canvas sun() {
    Canvas c(50, 50);
    Region flames = star(50, 50, 25, 25, 24.5f, 15, 11, 0.2f);
    Region rim(50, 50);
    rim.circle(25, 25, 18);
    flames |= rim;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            if (!flames.at(x, y))
                continue;
            const float d = std::hypot(x + 0.5f - 22.5f, y + 0.5f - 22.5f) / 25.0f;
            const float n = noise2(float(x) * 0.3f, float(y) * 0.3f, 7) * 0.25f;
            const float t = d + n;
            Rgb col = t < 0.3f    ? Pal::fireCore
                      : t < 0.55f ? Pal::fireYellow
                      : t < 0.8f  ? Pal::fireOrange
                                  : Pal::fireRed;
            c.set(x, y, col);
        }
    return c;
}

} // namespace

void drawItems(Media& m) {
    m.sprite("Media/DragonHeart.bmp", "Media/DragonHeartMask.bmp", heart());
    m.sprite("Media/Magicorb.bmp", "Media/MagicorbMask.bmp", magicOrb());
    m.sprite("Media/Upgrade.bmp", "Media/UpgradeMask.bmp", upgrade());
    m.sprite("Media/Special.bmp", "Media/SpecialMask.bmp", special());
    m.sprite("Media/Life.bmp", "Media/LifeMask.bmp", life());
    const Canvas ice = icicle();
    m.sprite("Media/Ijspegel.bmp", "Media/IjspegelMask.bmp", ice);
    m.put("Media/IjspegelColl.bmp", icicleCollision(ice));
    m.sprite("Media/Zon.bmp", "Media/ZonMask.bmp", sun());
    m.sprite("Media/Cloud1.bmp", "Media/Cloud1Mask.bmp", stormCloud(Storm::Anvil));
    m.sprite("Media/Cloud2.bmp", "Media/Cloud2Mask.bmp", stormCloud(Storm::Rain));
}

} // namespace Art
