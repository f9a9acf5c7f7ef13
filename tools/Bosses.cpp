// The three bosses and the king's brood, all facing left.
#include "Dragon.h"
#include "Media.h"
#include "Palette.h"
#include "Shade.h"

#include <array>
#include <cmath>

namespace Art {

namespace {

constexpr int kBoss = 250;

void puffs(Canvas& c, std::initializer_list<std::array<float, 3>> circles, const Ramp& rp,
           float d) {
    // Each puff shaded on its own so the cloud keeps its billows.
    for (const auto& [x, y, r] : circles) {
        Region p(c.width(), c.height());
        p.circle(x, y, r);
        paint(c, p, rp, shaded(d, 6));
    }
}

Canvas windgod() {
    Canvas c(kBoss, kBoss);
    const Ramp cloud = ramp(hex(0x9C9CC8), hex(0xE4E8F8), hex(0xFFFFFF), hex(0x3C3C6C));
    const Ramp skin = ramp(hex(0x88A4D8));
    // Billowing hair and beard, behind the face.
    puffs(c,
          {{150, 40, 34},
           {196, 62, 32},
           {214, 110, 30},
           {206, 160, 30},
           {186, 204, 30},
           {140, 222, 28},
           {96, 214, 26},
           {112, 36, 28},
           {80, 56, 22},
           {222, 200, 20}},
          cloud, 14);
    Region face(kBoss, kBoss);
    face.ellipse(140, 128, 64, 76);
    paint(c, face, skin, shaded(30, 6));
    // Cheeks puffed full of wind.
    Region cheeks(kBoss, kBoss);
    cheeks.circle(96, 150, 30);
    paint(c, cheeks, ramp(hex(0xB8A8E8)), shaded(20, 6));
    Region cheek2(kBoss, kBoss);
    cheek2.circle(170, 156, 26);
    paint(c, cheek2, ramp(hex(0xB0A4E0)), shaded(18, 6));
    Region lips(kBoss, kBoss);
    lips.ellipse(64, 158, 11, 13);
    paint(c, lips, ramp(hex(0xC07AB0)), shaded(5, 6));
    Region mouth(kBoss, kBoss);
    mouth.ellipse(60, 158, 4, 6);
    c.fill(mouth, hex(0x1C1440));
    Region nose(kBoss, kBoss);
    nose.ellipse(116, 124, 12, 17, 0.3f);
    Shading noseShade = shaded(10, 6);
    noseShade.outline = false;
    paint(c, nose, skin, noseShade);
    Region nostril(kBoss, kBoss);
    nostril.ellipse(110, 136, 4, 2.5f);
    c.fill(nostril, skin.dark);
    Region whites(kBoss, kBoss);
    whites.ellipse(110, 92, 14, 9);
    whites.ellipse(164, 92, 14, 9);
    c.fill(whites, Pal::eyeWhite);
    Region pupils(kBoss, kBoss);
    pupils.circle(104, 93, 5.5f);
    pupils.circle(158, 93, 5.5f);
    c.fill(pupils, hex(0x203890));
    Region glint(kBoss, kBoss);
    glint.circle(102, 91, 1.6f);
    glint.circle(156, 91, 1.6f);
    c.fill(glint, Pal::eyeWhite);
    Region brows(kBoss, kBoss);
    brows.stroke({{92, 70}, {112, 76}, {128, 84}}, 6, 4);
    brows.stroke({{150, 82}, {166, 74}, {186, 72}}, 4, 6);
    paint(c, brows, cloud, shaded(4, 6));
    // Gusts leaving the mouth, part of the figure.
    Region gust(kBoss, kBoss);
    for (int i = 0; i < 3; ++i) {
        const float y = 150.0f + float(i) * 9;
        gust.stroke({{50, y}, {32, y - 4 + float(i) * 3}, {14, y + float(i) * 4}, {2, y - 2}}, 3,
                    1);
    }
    paint(c, gust, cloud, shaded(2, 4));
    return c;
}

void queenFigure(Canvas& c, bool blowing) {
    const Ramp gown = ramp(hex(0x4A8CD8)), trim = ramp(Pal::iceWhite), skin = ramp(hex(0xD2E6F6));
    const Ramp hair = ramp(hex(0xC8D8F0), hex(0xF4F8FF), hex(0xFFFFFF), hex(0x36407A));
    const Ramp cape = ramp(hex(0x28408A)), crystal = ramp(Pal::iceLight);
    Region capeR(kBoss, kBoss);
    capeR.polygon({{130, 70}, {176, 100}, {230, 240}, {150, 246}, {128, 120}});
    paint(c, capeR, cape, shaded(16, 6));
    Region hairR(kBoss, kBoss);
    hairR.stroke({{134, 52}, {160, 80}, {178, 128}, {196, 170}}, 22, 6);
    paint(c, hairR, hair, shaded(12, 6));
    Region dress(kBoss, kBoss);
    dress.polygon({{108, 118}, {150, 118}, {196, 244}, {62, 244}});
    dress.ellipse(128, 104, 20, 28);
    paint(c, dress, gown, shaded(20, 6));
    Region hem(kBoss, kBoss);
    hem.polygon({{62, 244}, {196, 244}, {192, 232}, {66, 232}});
    for (int i = 0; i < 6; ++i)
        hem.polygon({{70.0f + float(i) * 21, 232},
                     {80.0f + float(i) * 21, 214},
                     {90.0f + float(i) * 21, 232}});
    paint(c, hem, trim, shaded(4, 6));
    Region head(kBoss, kBoss);
    head.circle(124, 58, 19);
    head.rect(118, 72, 132, 84);
    paint(c, head, skin, shaded(10, 6));
    Region fringe(kBoss, kBoss);
    fringe.ellipse(132, 46, 20, 11, 0.3f);
    paint(c, fringe, hair, shaded(6, 6));
    Region crown(kBoss, kBoss);
    for (int i = 0; i < 5; ++i) {
        const float x = 108.0f + float(i) * 8;
        const float top = 12.0f + std::abs(float(i) - 2) * 6;
        crown.polygon({{x - 4, 40}, {x, top}, {x + 4, 40}});
    }
    paint(c, crown, crystal, shaded(3, 5));
    Region eye(kBoss, kBoss);
    eye.ellipse(112, 57, 4, 2.6f);
    c.fill(eye, hex(0x1A4A9A));
    Region lip(kBoss, kBoss);
    lip.ellipse(108, 70, blowing ? 3.5f : 4, blowing ? 3.5f : 1.5f);
    c.fill(lip, hex(0x5A78C0));
    Region arm(kBoss, kBoss);
    if (blowing) {
        arm.stroke({{116, 96}, {100, 100}, {96, 80}}, 6, 4);
        arm.circle(97, 74, 6);
    } else {
        arm.stroke({{116, 96}, {90, 86}, {66, 66}}, 6, 4);
        arm.circle(62, 62, 6);
    }
    paint(c, arm, skin, shaded(4, 6));
    if (!blowing) {
        // The gathering ice she is about to throw.
        Region orb(kBoss, kBoss);
        orb.circle(52, 46, 15);
        Shading s = shaded(12, 7);
        s.gloss = 0.6f;
        paint(c, orb, ramp(hex(0x3AA8E8), Pal::iceLight, Pal::iceWhite, Pal::iceDeep), s);
        Region spikes(kBoss, kBoss);
        for (int i = 0; i < 8; ++i) {
            const float a = float(i) * 0.785f;
            spikes.polygon({{52 + 14 * std::cos(a + 0.2f), 46 + 14 * std::sin(a + 0.2f)},
                            {52 + 26 * std::cos(a), 46 + 26 * std::sin(a)},
                            {52 + 14 * std::cos(a - 0.2f), 46 + 14 * std::sin(a - 0.2f)}});
        }
        paint(c, spikes, crystal, shaded(2, 4));
    } else {
        Region frost(kBoss, kBoss);
        frost.stroke({{100, 70}, {80, 68}, {50, 74}, {20, 66}, {2, 72}}, 4, 1.5f);
        frost.stroke({{100, 72}, {78, 82}, {48, 86}, {10, 94}}, 3, 1);
        paint(c, frost, crystal, shaded(2, 4));
    }
    // The gown's ice gems.
    Region gems(kBoss, kBoss);
    gems.circle(128, 118, 5);
    gems.circle(128, 150, 4);
    gems.circle(126, 180, 4);
    Shading g = shaded(3, 4);
    g.gloss = 0.8f;
    paint(c, gems, crystal, g);
}

Canvas queen(bool blowing) {
    Canvas c(kBoss, kBoss);
    queenFigure(c, blowing);
    return c;
}

Canvas redDragon(int size, bool king) {
    Canvas c(size, size);
    DragonLook look{Pal::kingScale, Pal::kingBelly, Pal::kingWing, king ? Pal::gold : Pal::horn};
    look.king = king;
    look.wingsUp = true;
    paintDragon(c, look);
    return c.mirrored();
}

} // namespace

void drawBosses(Media& m) {
    m.sprite("Media/Windgod.bmp", "Media/WindgodMask.bmp", windgod());
    m.sprite("Media/Icequeen2.bmp", "Media/Icequeen2Mask.bmp", queen(true));
    m.sprite("Media/Icequeen.bmp", "Media/IcequeenMask.bmp", queen(false));
    m.sprite("Media/Firedragon.bmp", "Media/FiredragonMask.bmp", redDragon(kBoss, true));
    m.sprite("Media/Firedragonmini1.bmp", "Media/Firedragonmini1Mask.bmp", redDragon(50, false));
    m.sprite("Media/Firedragonmini2.bmp", "Media/Firedragonmini2Mask.bmp", redDragon(100, false));
}

} // namespace Art
