// Frames drawn with the game's real pictures, measured as a player sees
// them: labels over the storm cloud and the lava, shots against every
// level's background and the hazards, diving bats against ordinary ones.
#include "display/Display.h"
#include "display/Font.h"
#include "game/combat/Collision.h"
#include "game/combat/Field.h"
#include "game/combat/Render.h"
#include "game/core/Catalogue.h"
#include "game/core/Hud.h"
#include "game/core/World.h"
#include "game/levels/BossCommon.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

using namespace Morvek;

namespace {

struct Rgb {
    double r, g, b;
};

// The layer's pixels are red + 256 * blue + 65536 * green.
Rgb Colour(std::uint32_t v) {
    return {double(v & 0xFF), double((v >> 16) & 0xFF), double((v >> 8) & 0xFF)};
}

double Distance(const Rgb& a, const Rgb& b) {
    return std::hypot(a.r - b.r, a.g - b.g, a.b - b.b);
}

// Relative luminance, and the contrast ratio of two colours (1 to 21).
double Luminance(const Rgb& c) {
    const auto lin = [](double v) {
        v /= 255;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}
double Contrast(const Rgb& a, const Rgb& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

using Frame = std::vector<std::uint32_t>;

Frame Grab() {
    Frame f(1024u * 768u);
    for (std::uint32_t y = 0; y < 768; ++y)
        for (std::uint32_t x = 0; x < 1024; ++x)
            f[y * 1024 + x] = Display::GetPixel(x, y);
    return f;
}

class Readability : public ::testing::Test {
  protected:
    void SetUp() override {
        TestWorld::NewGameState();
        LoadPictures();
        world.dragon.x = 60; // on the left, clear of every label and shot below
        world.dragon.y = 400;
        world.dragon.state = false;
    }

    // One frame of play in `lvl` at a fixed scroll position. A frame moves the
    // scroll on before it draws, so the position is set one step back.
    Frame Render(std::uint32_t lvl, std::int32_t scroll = -700,
                 const std::function<void()>& extra = {}) {
        world.level = lvl;
        world.backgrounds[lvl].x = scroll + 7;
        FieldRules();
        Draw();
        if (extra)
            extra();
        return Grab();
    }

    // Share of the pixels around a label (its cell boxes grown by two) that
    // are neither the text colour nor in contrast of at least 3:1 with it.
    static double PoorBackdrop(const Frame& f, int x, int y, int chars, std::uint32_t text) {
        const Rgb ink = Colour(text);
        int poor = 0, all = 0;
        for (int py = y - 2; py < y + Display::Font::kCellHeight + 2; ++py)
            for (int px = x - 2; px < x + chars * Display::Font::kAdvance + 2; ++px) {
                const std::uint32_t v = f[std::size_t(py) * 1024 + std::size_t(px)];
                if (v == text)
                    continue;
                ++all;
                poor += Contrast(Colour(v), ink) < 3 ? 1 : 0;
            }
        return double(poor) / all;
    }

    // The pixels a thing drawn by `place` changed, as (before, after) pairs.
    std::vector<std::pair<Rgb, Rgb>> Changed(std::uint32_t lvl, std::int32_t scroll,
                                             const std::function<void()>& place) {
        const Frame bare = Render(lvl, scroll);
        place();
        const Frame with = Render(lvl, scroll);
        std::vector<std::pair<Rgb, Rgb>> out;
        for (std::size_t i = 0; i < bare.size(); ++i)
            if (bare[i] != with[i])
                out.emplace_back(Colour(bare[i]), Colour(with[i]));
        return out;
    }
};

// --- The font -----------------------------------------------------------------

TEST_F(Readability, DigitsHaveTwoPixelStemsAndAreEachDistinct) {
    using Display::Font::GlyphOf;
    for (char a = '0'; a <= '9'; ++a) {
        const auto& g = GlyphOf(5, static_cast<unsigned char>(a));
        for (std::uint8_t row : g) {
            // Every run of lit pixels along a row is at least two wide.
            for (int col = 0; col < 8; ++col) {
                const bool lit = (row & (0x80u >> col)) != 0;
                const bool litBefore = col > 0 && (row & (0x80u >> (col - 1))) != 0;
                const bool litAfter = col < 7 && (row & (0x80u >> (col + 1))) != 0;
                EXPECT_FALSE(lit && !litBefore && !litAfter) << a << " has a one-pixel stem";
            }
        }
        for (char b = char(a + 1); b <= '9'; ++b) {
            const auto& h = GlyphOf(5, static_cast<unsigned char>(b));
            int differ = 0;
            for (std::size_t r = 0; r < g.size(); ++r)
                differ += std::popcount(static_cast<unsigned>(g[r] ^ h[r]));
            EXPECT_GE(differ, 4) << a << " and " << b << " are too alike"; // a whole stroke
        }
    }
}

TEST_F(Readability, HudNumbersStandTallAndBoldUnderTheirLabels) {
    world.score = 8;
    const Frame f = Render(1);
    // The score's 8, under "SCORE:" at (600, 15): rows holding the HUD's
    // colour between the label and the bars' bottom.
    const auto hud = static_cast<std::uint32_t>(Hud::kTextColor);
    int rows = 0, widest = 0;
    for (int y = 30; y < 70; ++y) {
        int run = 0, lit = 0;
        for (int x = 596; x < 640; ++x) {
            run = f[std::size_t(y) * 1024 + std::size_t(x)] == hud ? run + 1 : 0;
            widest = std::max(widest, run);
            lit += run > 0;
        }
        rows += lit > 0;
    }
    EXPECT_GE(rows, 14);  // twice the capitals' seven rows
    EXPECT_GE(widest, 8); // a bar of the 8 at twice the size
}

// --- Labels over the fights' scenery -------------------------------------------

TEST_F(Readability, ScoreLabelStaysClearOfTheStormCloudAtTheTopOfItsDrift) {
    const auto hud = static_cast<std::uint32_t>(Hud::kTextColor);
    // The thunderhead climbs to (659, 124) in the storm; sample its way up.
    for (int step = 0; step <= 90; step += 10) {
        SCOPED_TRACE(step);
        world.items[6][1] = {};
        world.items[6][1].state = world.items[6][2].state = true;
        world.items[6][1].x = 533 + 1.4f * float(step);
        world.items[6][1].y = 250 - 1.4f * float(step);
        world.items[6][2].x = world.items[6][1].x;
        world.items[6][2].y = 450 + 1.4f * float(step);
        const Frame shown = Render(1);
        EXPECT_LT(PoorBackdrop(shown, 600, 15, 6, hud), 0.05);
    }
}

TEST_F(Readability, BossHealthLabelReadsOverTheLavaAllAlongIt) {
    const auto hud = static_cast<std::uint32_t>(Hud::kTextColor);
    double worst = 0;
    for (std::int32_t scroll = 0; scroll > -2048; scroll -= 61) {
        const Frame f = Render(3, scroll, [] { Boss::HealthBar(10000); });
        worst = std::max(worst, PoorBackdrop(f, 780, 725, 12, hud));
    }
    EXPECT_LT(worst, 0.05);
}

// --- Shots against backgrounds and hazards --------------------------------------

struct Shot {
    const char* name;
    std::uint32_t type;
};
constexpr std::array<Shot, 3> kShots = {{{"the dragon's shot", 0}, {"enemy fire", 1}, {"ice", 11}}};

// Mean colour of what a shot adds to a frame, and how far it stands from
// the background it covers.
struct Look {
    Rgb mean{0, 0, 0};
    double standsOut = 0;
};

Look Measure(const std::vector<std::pair<Rgb, Rgb>>& px) {
    Look l;
    for (const auto& [under, over] : px) {
        l.mean.r += over.r / double(px.size());
        l.mean.g += over.g / double(px.size());
        l.mean.b += over.b / double(px.size());
        l.standsOut += Distance(under, over) / double(px.size());
    }
    return l;
}

TEST_F(Readability, ShotsStandOutOnEveryLevelAndDifferFromEveryHazard) {
    std::vector<Look> hazards;
    hazards.push_back(Measure(Changed(2, -700, [] { world.icicles[1] = {500, 300, true}; })));
    world.icicles[1] = {};
    hazards.push_back(Measure(Changed(3, -700, [] {
        world.fireballs[1].state = true;
        world.fireballs[1].x = 500;
        world.fireballs[1].y = 300;
    })));
    world.fireballs[1] = {};

    for (const Shot& s : kShots) {
        SCOPED_TRACE(s.name);
        for (std::uint32_t lvl = 1; lvl <= 3; ++lvl) {
            for (const float y : {120.0f, 300.0f, 450.0f, 600.0f}) {
                const Look look = Measure(Changed(lvl, -700, [&] {
                    world.bullets[50] = {};
                    world.bullets[50].state = true;
                    world.bullets[50].type = s.type;
                    world.bullets[50].x = 500;
                    world.bullets[50].y = y;
                }));
                world.bullets[50] = {};
                EXPECT_GT(look.standsOut, 110) << "level " << lvl << " at y " << y;
            }
        }
        const Look alone = Measure(Changed(1, -700, [&] {
            world.bullets[50] = {};
            world.bullets[50].state = true;
            world.bullets[50].type = s.type;
            world.bullets[50].x = 500;
            world.bullets[50].y = 300;
        }));
        world.bullets[50] = {};
        for (const Look& h : hazards)
            EXPECT_GT(Distance(alone.mean, h.mean), 70);
    }
}

// --- Kamikaze bats ----------------------------------------------------------------

TEST_F(Readability, DivingBatsAreMarkedAndOrdinaryBatsAreNot) {
    const auto frameWith = [&](std::uint32_t path) {
        world.enemies[5] = {};
        world.enemies[5].state = true;
        world.enemies[5].type = 1;
        world.enemies[5].path = path;
        world.enemies[5].counter = 3;
        world.enemies[5].x = 500;
        world.enemies[5].y = 300;
        const Frame f = Render(1);
        world.enemies[5] = {};
        return f;
    };
    const Frame ordinary = frameWith(1);
    const Frame plain = Render(1);
    for (const std::uint32_t path : {3u, 4u}) {
        SCOPED_TRACE(path);
        const Frame diving = frameWith(path);
        int behind = 0, glint = 0;
        for (int y = 270; y < 330; ++y)
            for (int x = 470; x < 580; ++x) {
                const std::size_t i = std::size_t(y) * 1024 + std::size_t(x);
                if (diving[i] == ordinary[i])
                    continue;
                // A trail where an ordinary bat leaves the sky as it was.
                if (ordinary[i] == plain[i])
                    ++behind;
                const Rgb c = Colour(diving[i]);
                if (y < 295 && c.r > 200 && c.g < 120 && c.b < 120)
                    ++glint;
            }
        EXPECT_GT(behind, 20);
        EXPECT_GT(glint, 4);
    }
}

TEST_F(Readability, DrawingADivingBatLeavesItWhereItWas) {
    world.enemies[5] = {};
    world.enemies[5].state = true;
    world.enemies[5].type = 1;
    world.enemies[5].path = 3;
    world.enemies[5].counter = 7;
    world.enemies[5].x = 500;
    world.enemies[5].y = 300;
    Render(1);
    EXPECT_TRUE(world.enemies[5].state);
    EXPECT_EQ(world.enemies[5].counter, 7u);
    EXPECT_FLOAT_EQ(world.enemies[5].x, 500);
    EXPECT_FLOAT_EQ(world.enemies[5].y, 300);
}

} // namespace
