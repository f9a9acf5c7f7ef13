#include "Dragon.h"

#include "Palette.h"

#include <algorithm>
#include <vector>

namespace Art {

namespace {

// Design units: a dragon is drawn in a 100 x 100 box and scaled to the canvas.
struct Frame {
    float k, ox, oy;
    Pt p(float x, float y) const { return {ox + x * k, oy + y * k}; }
    std::vector<Pt> poly(std::initializer_list<Pt> pts) const {
        std::vector<Pt> out;
        for (const Pt& q : pts)
            out.push_back(p(q.x, q.y));
        return out;
    }
    float r(float v) const { return v * k; }
};

Shading shaded(const Frame& f, float depth) {
    Shading s;
    s.depth = f.r(depth);
    s.tones = 5;
    return s;
}

void head(Canvas& c, const DragonLook& look, const Frame& f) {
    const int w = c.width(), h = c.height();
    const Ramp skin = ramp(look.scale), horn = ramp(look.horn);
    Region horns(w, h);
    const float hs = look.king ? 1.5f : 1.0f;
    horns.polygon(f.poly({{-4, -6}, {-4 - 15 * hs, -14 - 6 * hs}, {-9, -3}}));
    horns.polygon(f.poly({{2, -7}, {-6 - 9 * hs, -17 - 8 * hs}, {-3, -4}}));
    paint(c, horns, horn, shaded(f, 2));

    Region skull(w, h);
    const Pt hc = f.p(0, 0), sn = f.p(10, 2.5f);
    skull.ellipse(hc.x, hc.y, f.r(11), f.r(8.5f));
    skull.ellipse(sn.x, sn.y, f.r(10), f.r(5.5f), 0.1f);
    if (look.king) {
        Region jaw(w, h);
        jaw.polygon(f.poly({{-4, 4}, {18, 9}, {17, 13}, {-2, 10}}));
        paint(c, jaw, skin, shaded(f, 3));
        Region mouth(w, h);
        mouth.polygon(f.poly({{2, 5}, {19, 6.5f}, {17, 9}, {2, 8}}));
        c.fill(mouth, hex(0x5A0A14));
        Region teeth(w, h);
        for (float x : {7.0f, 11.0f, 15.0f})
            teeth.polygon(f.poly({{x, 6}, {x + 2, 6}, {x + 1, 8}}));
        c.fill(teeth, Pal::eyeWhite);
    }
    paint(c, skull, skin, shaded(f, 6));

    // Brow ridge over the eye keeps the look fierce even at 50 pixels.
    Region brow(w, h);
    brow.line(f.p(-1, -5).x, f.p(-1, -5).y, f.p(7, -3.5f).x, f.p(7, -3.5f).y, f.r(1.4f));
    c.fill(brow, skin.dark);

    Region eye(w, h);
    const Pt e = f.p(3.5f, -1.5f);
    eye.ellipse(e.x, e.y, std::max(1.2f, f.r(2.6f)), std::max(1.0f, f.r(2.0f)));
    c.fill(eye, look.king ? Pal::fireYellow : Pal::eyeWhite);
    Region pupil(w, h);
    pupil.ellipse(e.x + f.r(0.9f), e.y, std::max(0.6f, f.r(1.0f)), std::max(0.9f, f.r(1.9f)));
    c.fill(pupil, Pal::ink);
    Region nostril(w, h);
    const Pt n = f.p(17, 0.5f);
    nostril.circle(n.x, n.y, std::max(0.6f, f.r(1.0f)));
    c.fill(nostril, skin.outline);
}

void wing(Canvas& c, const DragonLook& look, const Frame& f, bool far) {
    const int w = c.width(), h = c.height();
    const Ramp membrane = ramp(far ? scale(look.wing, 0.72f) : look.wing);
    // The far wing peeks out beside the near one rather than under it.
    const float dx = far ? (look.wingsUp ? 14 : 8) : 0, dy = far ? (look.wingsUp ? -3 : -2) : 0;
    auto P = [&](float x, float y) { return f.p(x + dx, y + dy); };
    // Shoulder, wrist, three finger tips, with the skin sagging between them.
    Pt root, wrist, tips[3], sag[2], back;
    if (look.wingsUp) {
        root = P(56, 48), wrist = P(58, 16), back = P(40, 50);
        tips[0] = P(40, 1), tips[1] = P(22, 10), tips[2] = P(14, 30);
        sag[0] = P(38, 16), sag[1] = P(30, 30);
    } else {
        // Swept down and back, clear of the belly.
        root = P(54, 54), wrist = P(46, 78), back = P(36, 58);
        tips[0] = P(38, 98), tips[1] = P(22, 92), tips[2] = P(10, 76);
        sag[0] = P(30, 86), sag[1] = P(19, 78);
    }
    Region skin(w, h);
    skin.polygon({root, wrist, tips[0], sag[0], tips[1], sag[1], tips[2], back});
    Shading s = shaded(f, 6);
    paint(c, skin, membrane, s);
    Region fingers(w, h);
    for (const Pt& t : tips)
        fingers.capsule(wrist.x, wrist.y, t.x, t.y, std::max(0.5f, f.r(0.9f)),
                        std::max(0.4f, f.r(0.5f)));
    fingers &= skin;
    // Bones in the scale colour frame the membrane, so the wing reads as one.
    c.fill(fingers, ramp(far ? scale(look.scale, 0.72f) : look.scale).dark);
    Region arm(w, h);
    arm.capsule(root.x, root.y, wrist.x, wrist.y, f.r(3.2f), f.r(2.2f));
    paint(c, arm, ramp(far ? scale(look.scale, 0.72f) : look.scale), shaded(f, 2));
}

} // namespace

void paintDragonHead(Canvas& c, const DragonLook& look, float cx, float cy, float k) {
    head(c, look, Frame{k, cx, cy});
}

void paintDragon(Canvas& c, const DragonLook& look) {
    const int w = c.width(), h = c.height();
    const Frame f{float(w) / 100.0f, 0, 0};
    const Ramp skin = ramp(look.scale), belly = ramp(look.belly);

    wing(c, look, f, true);

    Region tail(w, h);
    tail.stroke({f.p(44, 62), f.p(30, 70), f.p(18, 68), f.p(9, 58)}, f.r(7), f.r(2));
    Region tip(w, h);
    tip.polygon(f.poly({{11, 60}, {1, 50}, {4, 63}, {10, 64}}));
    paint(c, tip, ramp(look.wing), shaded(f, 2));
    paint(c, tail, skin, shaded(f, 4));

    Region farLeg(w, h);
    farLeg.stroke({f.p(52, 64), f.p(56, 76), f.p(61, 79)}, f.r(4), f.r(2.5f));
    paint(c, farLeg, ramp(scale(look.scale, 0.75f)), shaded(f, 2));

    // Back spikes sit behind the body so only their tips show.
    Region spikes(w, h);
    const float sp = look.king ? 1.6f : 1.0f;
    for (float x : {36.0f, 44.0f, 52.0f, 60.0f})
        spikes.polygon(f.poly({{x - 3, 50}, {x - 1, 50 - 7 * sp}, {x + 3, 49}}));
    paint(c, spikes, ramp(look.horn), shaded(f, 1.5f));

    Region body(w, h);
    const Pt bc = f.p(50, 60);
    body.ellipse(bc.x, bc.y, f.r(19), f.r(12.5f), -0.15f);
    Region neck(w, h);
    neck.stroke({f.p(58, 56), f.p(68, 44), f.p(74, 36)}, f.r(8.5f), f.r(6));
    body |= neck;
    paint(c, body, skin, shaded(f, 8));

    Region plates(w, h);
    plates.ellipse(f.p(53, 67).x, f.p(53, 67).y, f.r(16), f.r(7.5f), -0.25f);
    plates.stroke({f.p(60, 63), f.p(70, 50), f.p(77, 40)}, f.r(5.5f), f.r(4));
    plates &= body;
    // The belly stays bright: it is what marks the dragon out against the sky.
    Shading bellyShade = shaded(f, 4);
    bellyShade.outline = false;
    bellyShade.ambient = 0.5f;
    paint(c, plates, belly, bellyShade);

    Region leg(w, h);
    leg.stroke({f.p(44, 64), f.p(42, 76), f.p(48, 80)}, f.r(6), f.r(3));
    leg.stroke({f.p(64, 64), f.p(70, 72), f.p(74, 73)}, f.r(4), f.r(2.5f));
    paint(c, leg, skin, shaded(f, 3));

    // A big head reads as "facing right" even at 50 pixels.
    constexpr float kHead = 1.22f;
    head(c, look, Frame{f.k * kHead, f.p(75, 30).x, f.p(75, 30).y});

    wing(c, look, f, false);
}

} // namespace Art
