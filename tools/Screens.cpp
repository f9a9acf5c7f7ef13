// The full-window screens: the menu backdrop, the game-over picture and
// title, and the credits.
#include "Dragon.h"
#include "Font.h"
#include "Label.h"
#include "Media.h"
#include "Noise.h"
#include "Palette.h"
#include "Shade.h"

#include <algorithm>
#include <cmath>

namespace Art {

namespace {

constexpr int kW = 1024, kH = 768;

void starfield(Canvas& c, std::uint32_t seed, int count, float maxY) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const int x = rng.below(kW), y = int(rng.range(0, maxY));
        const float b = rng.unit();
        c.set(x, y, mix(c.get(x, y), hex(0xFFF8E8), 0.35f + b * 0.65f));
        if (b > 0.93f) { // the few bright ones twinkle in a cross
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                c.blend(x + dx, y + dy, hex(0xC8D0FF), 0.6f);
        }
    }
}

// A dark silhouette of the dragon family, filled flat.
void dragonShadow(Canvas& c, int x0, int y0, int size, bool facingLeft, Rgb colour) {
    Canvas d(size, size);
    DragonLook look{Pal::ink, Pal::ink, Pal::ink, Pal::ink};
    look.king = true;
    paintDragon(d, look);
    if (facingLeft)
        d = d.mirrored();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (d.covered(x, y))
                c.set(x0 + x, y0 + y, colour);
}

void castleShadow(Canvas& c, int x0, int ground, Rgb colour, Rgb window) {
    Region r(kW, kH);
    r.polygon({{float(x0) - 60, float(kH)},
               {float(x0) - 20, float(ground)},
               {float(x0) + 260, float(ground) - 30},
               {float(kW), float(ground) - 10},
               {float(kW), float(kH)}});
    r.rect(x0, ground - 150, x0 + 150, ground + 5);
    r.rect(x0 - 20, ground - 230, x0 + 30, ground);
    r.rect(x0 + 110, ground - 270, x0 + 170, ground);
    r.polygon({{float(x0) - 28, float(ground) - 229},
               {float(x0) + 5, float(ground) - 300},
               {float(x0) + 38, float(ground) - 229}});
    r.polygon({{float(x0) + 102, float(ground) - 269},
               {float(x0) + 140, float(ground) - 350},
               {float(x0) + 178, float(ground) - 269}});
    for (int x = x0; x < x0 + 150; x += 20)
        r.rect(x, ground - 162, x + 10, ground - 150);
    r.rect(x0 + 139, ground - 380, x0 + 142, ground - 350);
    c.fill(r, colour);
    Region lights(kW, kH);
    for (auto [dx, dy] :
         {std::pair{0, -200}, {10, -140}, {130, -230}, {130, -170}, {60, -100}, {90, -100}})
        lights.rect(x0 + dx, ground + dy, x0 + dx + 7, ground + dy + 12);
    c.fill(lights, window);
}

Canvas menuBack() {
    Canvas c(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float fy = float(y), fx = float(x);
            Rgb col = mix(hex(0x070718), hex(0x24143C), fy / kH);
            const float mist = fbm(fx / 220, fy / 90, 51, 3);
            col = mix(col, hex(0x3A2A5E), std::max(0.0f, mist - 0.5f) * 0.9f);
            c.set(x, y, col);
        }
    starfield(c, 52, 700, 560);
    // The moon sits above the story text so the text stays on dark sky.
    const float mx = 900, my = 92, mr = 60;
    for (int y = 0; y < 200; ++y)
        for (int x = 780; x < kW; ++x) {
            const float d = std::hypot(x - mx, y - my);
            if (d < mr) {
                const float crater = fbm(float(x) / 14, float(y) / 14, 53, 3);
                const float shade = std::clamp(((x - mx) + (y - my)) / mr * 0.25f, 0.0f, 0.3f);
                c.set(x, y, scale(mix(hex(0xFFF4D0), hex(0xD8CCA8), crater), 1 - shade));
            } else if (d < mr + 26) {
                c.blend(x, y, hex(0x6A5A8A), (1 - (d - mr) / 26) * 0.5f);
            }
        }
    dragonShadow(c, 790, 40, 120, true, hex(0x05030A));
    // Far mountains, then the castle on its crag, both as night shapes.
    for (int x = 0; x < kW; ++x) {
        const int top =
            640 - int(110 * noise1(float(x) / 130, 55) + 40 * noise1(float(x) / 40, 56));
        for (int y = top; y < kH; ++y)
            c.set(x, y, mix(hex(0x1A1030), hex(0x0C0818), float(y - top) / 200));
    }
    castleShadow(c, 820, 620, hex(0x06040C), hex(0xF0B040));
    return c;
}

Canvas gameOverBack() {
    Canvas c(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const float fx = float(x), fy = float(y);
            Rgb col = mix(hex(0x1A0408), hex(0x5A140C), std::pow(fy / kH, 1.5f));
            const float smoke = fbm(fx / 160, fy / 80, 61, 3);
            col = mix(col, hex(0x2A1418), std::max(0.0f, smoke - 0.45f) * 1.4f);
            const int ground = 650 - int(60 * noise1(fx / 120, 63) + 20 * noise1(fx / 30, 64));
            if (y >= ground)
                col = mix(hex(0x120608), hex(0x060204), float(y - ground) / 120);
            c.set(x, y, col);
        }
    // A sun going down in blood behind the hills, the king watching.
    for (int y = 380; y < kH; ++y)
        for (int x = 250; x < 780; ++x) {
            const float d = std::hypot(float(x) - 512, float(y) - 640);
            if (y >= 650 - int(60 * noise1(float(x) / 120, 63) + 20 * noise1(float(x) / 30, 64)))
                continue; // behind the hills
            if (d < 150)
                c.set(x, y, mix(hex(0xC8281C), hex(0x8A1410), d / 150));
            else if (d < 230)
                c.blend(x, y, hex(0xA82018), (1 - (d - 150) / 80) * 0.35f);
        }
    dragonShadow(c, 720, 400, 240, true, hex(0x0A0204));
    // Embers rising from the battlefield.
    Rng rng(65);
    for (int i = 0; i < 260; ++i) {
        const int x = rng.below(kW), y = int(rng.range(150, 700));
        const Rgb e = rng.unit() > 0.5f ? Pal::fireOrange : Pal::fireYellow;
        c.set(x, y, e);
        c.blend(x, y + 1, e, 0.4f);
    }
    // A dusky plate under the name field, light enough that the field's
    // black frame shows and dark enough for the white name typed into it.
    for (int y = 572; y < 614; ++y)
        for (int x = 460; x < 581; ++x) {
            const bool rim = y == 572 || y == 613 || x == 460 || x == 580;
            c.set(x, y,
                  rim ? hex(0x8A5A58) : mix(hex(0x6A3A3C), hex(0x4A2628), float(y - 572) / 42));
        }
    return c;
}

Canvas gameOverTitle() {
    Canvas c = Media::blank("Media/GameOver.bmp");
    Region letters(c.width(), c.height());
    textCentred(letters, "GAME OVER", c.width() / 2, c.height() / 2, 9, 15);
    Region shadow(c.width(), c.height());
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (letters.at(x - 5, y - 5))
                shadow.set(x, y);
    c.fill(shadow.dilated(2), hex(0x0A0204));
    Shading s;
    s.depth = 5;
    s.tones = 6;
    s.gloss = 0.5f;
    paint(c, letters.dilated(1), ramp(hex(0x5A0A10), hex(0xD02A1E), hex(0xFFD8A0), hex(0x1A0206)),
          s);
    return c;
}

Canvas credits(const Canvas& backdrop) {
    Canvas c = backdrop;
    // A dark framed panel behind the lettering so every line reads.
    for (int y = 60; y < 680; ++y)
        for (int x = 170; x < 854; ++x) {
            const int edge = std::min({x - 170, 853 - x, y - 60, 679 - y});
            if (edge < 2)
                c.set(x, y, hex(0x1A0E08));
            else if (edge < 5)
                c.set(x, y, edge == 3 ? hex(0xF0C860) : hex(0xB07828));
            else if (edge < 6)
                c.set(x, y, hex(0x1A0E08));
            else
                c.set(x, y, scale(c.get(x, y), 0.45f));
        }
    const LabelStyle title{hex(0xFFF4C0), hex(0xE07820), hex(0x2A0A04), hex(0x000000), 9, 12, 4};
    label(c, "MORVEK", 512, 130, title);
    const LabelStyle head{hex(0xE8C8FF), hex(0xA070E0), hex(0x10061C), hex(0x000000), 3, 3, 2};
    const LabelStyle line{hex(0xFFFFFF), hex(0xC8C8D8), hex(0x10061C), hex(0x000000), 2, 3, 2};
    label(c, "A GAME BY THE MORVEK TEAM", 512, 225, line);
    struct Row {
        const char* role;
        const char* who;
    };
    constexpr Row rows[] = {{"DESIGN", "THE MORVEK TEAM"},
                            {"CODE", "THE MORVEK TEAM"},
                            {"ART", "DRAWN BY CODE, PIXEL BY PIXEL"},
                            {"SPECIAL THANKS", "EVERYONE WHO FLIES WITH US"}};
    int y = 300;
    for (const Row& r : rows) {
        label(c, r.role, 512, y, head);
        label(c, r.who, 512, y + 36, line);
        y += 80;
    }
    label(c, "THANK YOU FOR PLAYING!", 512, 640, head);
    return c;
}

} // namespace

void drawScreens(Media& m) {
    const Canvas menu = menuBack();
    m.put("Media/MenuBack.bmp", menu);
    m.put("Media/GameOverback.bmp", gameOverBack());
    const Canvas title = gameOverTitle();
    m.put("Media/GameOver.bmp", title.blackened());
    m.put("Media/GameOverMask.bmp", title.mask());
    m.put("Media/Namen.bmp", credits(menu));
}

} // namespace Art
