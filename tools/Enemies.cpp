// The wave enemies, all 50 x 50 and facing left, the way they fly.
#include "Media.h"
#include "Palette.h"
#include "Shade.h"

namespace Art {

namespace {

constexpr int kSize = 50;

void eyes(Canvas& c, std::initializer_list<Pt> at, Rgb colour, float r = 1.3f) {
    Region e(c.width(), c.height());
    for (const Pt& p : at)
        e.circle(p.x, p.y, r);
    c.fill(e, colour);
}

Canvas bat() {
    Canvas c(kSize, kSize);
    const Ramp membrane = ramp(hex(0x6A3C8C)), fur = ramp(hex(0x4A3050));
    // Scalloped wings: the lower edge dips between the finger tips.
    Region wings(kSize, kSize);
    wings.polygon(
        {{25, 20}, {12, 10}, {2, 14}, {1, 30}, {6, 26}, {10, 33}, {14, 27}, {19, 33}, {24, 28}});
    wings.polygon(
        {{25, 20}, {38, 10}, {48, 14}, {49, 30}, {44, 26}, {40, 33}, {36, 27}, {31, 33}, {26, 28}});
    paint(c, wings, membrane, shaded(3));
    Region bones(kSize, kSize);
    for (Pt tip : std::initializer_list<Pt>{{2, 15}, {6, 26}, {14, 27}})
        bones.line(22, 21, tip.x, tip.y, 0.7f);
    for (Pt tip : std::initializer_list<Pt>{{48, 15}, {44, 26}, {36, 27}})
        bones.line(28, 21, tip.x, tip.y, 0.7f);
    c.fill(bones, membrane.outline);
    Region body(kSize, kSize);
    body.ellipse(25, 27, 6.5f, 9);
    body.circle(23, 16, 6);
    body.polygon({{18, 14}, {17, 5}, {22, 11}});
    body.polygon({{25, 11}, {28, 4}, {28, 13}});
    paint(c, body, fur, shaded(4));
    Region fangs(kSize, kSize);
    fangs.polygon({{19, 20}, {21, 20}, {20, 23}});
    fangs.polygon({{23, 20}, {25, 20}, {24, 23}});
    c.fill(fangs, Pal::eyeWhite);
    eyes(c, {{19.5f, 15.5f}, {25, 15.5f}}, hex(0xFF3030), 1.5f);
    Region feet(kSize, kSize);
    feet.line(22, 35, 21, 39, 1);
    feet.line(28, 35, 29, 39, 1);
    paint(c, feet, fur, shaded(1));
    return c;
}

Canvas ghost() {
    Canvas c(kSize, kSize);
    const Ramp sheet = ramp(hex(0x9AB0E8), hex(0xD8E4FF), hex(0xFFFFFF), hex(0x3A3A78));
    Region body(kSize, kSize);
    body.circle(19, 19, 14);
    // The tail trails to the right and waves, the way it came.
    body.stroke({{22, 24}, {32, 30}, {38, 36}, {44, 35}, {48, 40}}, 13, 2);
    body.polygon({{8, 26}, {3, 36}, {12, 30}});
    Shading s = shaded(7);
    s.tones = 6;
    paint(c, body, sheet, s);
    Region hollow(kSize, kSize);
    hollow.ellipse(12, 16, 3, 4.2f);
    hollow.ellipse(21, 16, 3, 4.2f);
    hollow.ellipse(15, 27, 3.4f, 3.8f);
    c.fill(hollow, hex(0x1A1440));
    eyes(c, {{11.5f, 15}, {20.5f, 15}}, hex(0x8AF0FF), 1.0f);
    return c;
}

Canvas succubus() {
    Canvas c(kSize, kSize);
    const Ramp wingRamp = ramp(hex(0x8A1E46)), skin = ramp(hex(0xE29AB8)),
               hair = ramp(hex(0x4A1450));
    const Ramp cloth = ramp(hex(0x2A1A3A));
    Region wings(kSize, kSize);
    wings.polygon({{26, 20}, {36, 4}, {48, 6}, {44, 12}, {49, 18}, {42, 20}, {46, 28}, {34, 26}});
    paint(c, wings, wingRamp, shaded(3));
    Region tail(kSize, kSize);
    tail.stroke({{28, 34}, {36, 40}, {42, 38}, {45, 33}}, 1.3f, 1.0f);
    tail.polygon({{44, 29}, {48, 33}, {43, 35}});
    paint(c, tail, wingRamp, shaded(1));
    Region hairBack(kSize, kSize);
    hairBack.stroke({{22, 9}, {27, 14}, {29, 22}}, 5, 2);
    paint(c, hairBack, hair, shaded(2));
    Region body(kSize, kSize);
    body.circle(20, 11, 5.5f);
    body.stroke({{22, 17}, {23, 24}, {25, 31}}, 4, 5);
    body.stroke({{24, 33}, {20, 41}, {16, 47}}, 3, 2);
    body.stroke({{26, 33}, {26, 41}, {26, 47}}, 3, 2);
    body.stroke({{21, 19}, {14, 22}, {9, 18}}, 1.8f, 1.5f); // beckoning arm
    paint(c, body, skin, shaded(3));
    Region dress(kSize, kSize);
    dress.polygon({{19, 20}, {27, 20}, {27, 25}, {19, 25}});
    dress.polygon({{20, 29}, {30, 29}, {28, 36}, {21, 36}});
    paint(c, dress, cloth, shaded(2));
    Region hairTop(kSize, kSize);
    hairTop.ellipse(23.5f, 7.5f, 5, 3.5f);
    hairTop.polygon({{19, 6}, {27, 5}, {26, 12}});
    paint(c, hairTop, hair, shaded(2));
    Region horns(kSize, kSize);
    horns.polygon({{17, 7}, {13, 0}, {19, 5}});
    horns.polygon({{22, 5}, {21, 0}, {24, 4}});
    paint(c, horns, ramp(hex(0x301020)), shaded(1));
    eyes(c, {{16.5f, 10.5f}}, hex(0xFFD040), 1.1f);
    eyes(c, {{16, 14.5f}}, hex(0xB0104A), 0.8f);
    return c;
}

Canvas genie() {
    Canvas c(kSize, kSize);
    const Ramp skin = ramp(hex(0x4A86E0)), smoke = ramp(hex(0x7AA8F0)), gold = ramp(Pal::gold);
    Region tail(kSize, kSize);
    tail.stroke({{27, 30}, {31, 38}, {38, 43}, {45, 40}, {46, 34}}, 9, 2);
    paint(c, tail, smoke, shaded(5));
    Region body(kSize, kSize);
    body.ellipse(28, 26, 10, 8.5f);
    paint(c, body, skin, shaded(5));
    // Arms folded across the chest, as a genie waits for a wish.
    Region arms(kSize, kSize);
    arms.capsule(21, 26, 35, 27, 2.6f, 2.6f);
    paint(c, arms, ramp(scale(hex(0x4A86E0), 0.85f)), shaded(2));
    Region cuffs(kSize, kSize);
    cuffs.circle(22, 26.5f, 2.2f);
    cuffs.circle(34, 27, 2.2f);
    paint(c, cuffs, gold, shaded(1));
    // A big head: the face is what tells a genie from a ghost at this size.
    Region head(kSize, kSize);
    head.circle(18, 16, 8);
    head.polygon({{24, 12}, {30, 9}, {25, 18}}); // a pointed ear
    paint(c, head, skin, shaded(5));
    Region turban(kSize, kSize);
    turban.ellipse(19, 8.5f, 9, 4.5f);
    turban.circle(22, 3.5f, 2.5f);
    paint(c, turban, ramp(hex(0xF2ECDC)), shaded(3));
    Region gem(kSize, kSize);
    gem.circle(12, 9, 2);
    c.fill(gem, hex(0xE02848));
    Region beard(kSize, kSize);
    beard.polygon({{11, 20}, {19, 21}, {12, 28}});
    paint(c, beard, ramp(hex(0x182050)), shaded(1));
    Region brow(kSize, kSize);
    brow.line(10.5f, 12.5f, 15, 13.2f, 0.7f);
    c.fill(brow, hex(0x182050));
    eyes(c, {{13, 15.5f}}, Pal::eyeWhite, 1.6f);
    eyes(c, {{12.4f, 15.5f}}, Pal::ink, 0.8f);
    Region earring(kSize, kSize);
    earring.circle(24, 20, 1.2f);
    c.fill(earring, Pal::gold);
    Region belt(kSize, kSize);
    belt.rect(18, 31, 38, 33);
    belt &= body;
    c.fill(belt, Pal::gold);
    return c;
}

Canvas castle() {
    Canvas c(kSize, kSize);
    const Ramp wall = ramp(Pal::stone), roof = ramp(hex(0xB8343A)), rock = ramp(hex(0x6E5A48));
    Region mound(kSize, kSize);
    mound.ellipse(25, 49, 24, 6);
    paint(c, mound, rock, shaded(3));
    Region keep(kSize, kSize);
    keep.rect(11, 22, 39, 46);
    for (int x = 11; x < 39; x += 6)
        keep.rect(x, 19, x + 3, 22);
    Region towers(kSize, kSize);
    towers.rect(3, 16, 14, 46);
    towers.rect(36, 16, 47, 46);
    paint(c, keep, wall, shaded(4));
    paint(c, towers, wall, shaded(4));
    Region roofs(kSize, kSize);
    roofs.polygon({{1, 17}, {8.5f, 2}, {16, 17}});
    roofs.polygon({{34, 17}, {41.5f, 2}, {49, 17}});
    paint(c, roofs, roof, shaded(3));
    Region flag(kSize, kSize);
    flag.polygon({{25, 5}, {18, 8}, {25, 11}});
    c.fill(flag, hex(0x6A2C9A));
    Region pole(kSize, kSize);
    pole.rect(25, 4, 26, 20);
    c.fill(pole, Pal::ink);
    Region dark(kSize, kSize);
    dark.rect(20, 34, 30, 46);
    dark.circle(25, 34, 5);
    dark.rect(7, 24, 10, 29);
    dark.rect(40, 24, 43, 29);
    c.fill(dark, hex(0x20141C));
    Region glow(kSize, kSize);
    glow.rect(8, 25, 9, 28);
    glow.rect(41, 25, 42, 28);
    c.fill(glow, Pal::fireYellow);
    // Mortar lines catch the light unevenly, which sells the stone.
    for (int y = 26; y < 46; y += 5)
        for (int x = 12 + (y / 5 % 2) * 3; x < 38; x += 6)
            if (c.covered(x, y) && !dark.at(x, y))
                c.set(x, y, wall.dark);
    return c;
}

} // namespace

void drawEnemies(Media& m) {
    m.sprite("Media/Bat.bmp", "Media/BatMask.bmp", bat());
    m.sprite("Media/Ghost.bmp", "Media/GhostMask.bmp", ghost());
    m.sprite("Media/Succubus.bmp", "Media/SuccubusMask.bmp", succubus());
    m.sprite("Media/Genie.bmp", "Media/GenieMask.bmp", genie());
    m.sprite("Media/Castle.bmp", "Media/CastleMask.bmp", castle());
}

} // namespace Art
