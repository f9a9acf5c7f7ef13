#include "game/combat/Render.h"
#include "display/Display.h"
#include "game/combat/BeamShield.h"
#include "game/combat/EnemyTables.h"
#include "game/combat/Items.h"
#include "game/core/Colours.h"
#include "game/core/EnemyKinds.h"
#include "game/core/Hud.h"
#include "game/core/Placement.h"
#include "game/core/ScenePictures.h"
#include "game/core/World.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <utility>

namespace Morvek {

namespace {

namespace P = ScenePictures;

void DrawSprite(const P::Sprite& s, float x, float y) {
    if (!s.picture) {
        return;
    }
    Display::DrawMaskBitmap(PictureNumber(*s.picture), MaskNumber(*s.picture), ToPixel(x - s.dx),
                            ToPixel(y - s.dy));
}

template <std::size_t N>
const P::Sprite& ByType(const std::array<P::Sprite, N>& table, std::uint32_t t) {
    static constexpr P::Sprite kNone{};
    return t < N ? table[t] : kNone;
}

void DrawBackground(std::int32_t bx, const P::Backdrop& backdrop) {
    for (const PlacedPicture& p : BackgroundLayers(bx, backdrop)) {
        Display::DrawBitmap(p.picture, p.x, 0);
    }
}

// The visible background covers the deadly area and the icicles' contact
// pictures completely; only without it do they show.
void DrawDeadlyLayers(std::int32_t bx) {
    const P::Scenery& scenery = P::SceneryOf(world.level);
    if (PictureNumber(scenery.shown[0]) != 0 && PictureNumber(scenery.shown[1]) != 0) {
        return;
    }
    DrawBackground(bx, scenery.deadly);
    if (LevelOf(world.level).hazard == Hazard::Icicles) {
        const std::uint32_t contact = PictureNumber(Picture::IcicleContact);
        for (const std::uint32_t i : Slots(world.icicles)) {
            if (world.icicles[i].state) {
                Display::DrawBitmap(contact, world.icicles[i].x, world.icicles[i].y);
            }
        }
    }
}

void DrawFrame(const Hud::Bar& bar) {
    Display::Rectangle(bar.frameX0, bar.frameY0, bar.frameX1, bar.frameY1, bar.frameColor, false);
}

void DrawBar(const Hud::Bar& bar, std::int32_t value) {
    Display::Rectangle(bar.x0, bar.y0, bar.x0 + value, bar.y1,
                       value > bar.lowAt ? bar.color : bar.lowColor, true);
}

void DrawLabel(const Hud::Label& l) {
    // A shadow a pixel down and right keeps the edges of the letters over
    // anything the band lets through.
    for (const auto& [colour, off] : {std::pair{Hud::kShadowColor, 1}, {Hud::kTextColor, 0}}) {
        Display::SetFont(Hud::kFontStyle, colour);
        Display::Text(l.text, l.x + off, l.y + off);
        if (l.number != Hud::Number::None) {
            Display::TextCard(l.number == Hud::Number::Score ? world.score : world.actualDifficulty,
                              l.x + off, l.numberY + off, Hud::kNumberScale);
        }
    }
}

void DrawIcons(const P::Sprite& icon, std::span<const Hud::Position> at, long long shown) {
    for (std::size_t n = 0; n < at.size() && static_cast<long long>(n) < shown; ++n) {
        DrawSprite(icon, static_cast<float>(at[n].x), static_cast<float>(at[n].y));
    }
}

void DrawBand() {
    Display::Tint(0, 0, static_cast<std::int32_t>(Display::kWidth) - 1, Hud::kBandBottom,
                  Colours::kBlack, Hud::kBandShade);
}

} // namespace

void DrawHud() {
    DrawBand();
    for (const Hud::Label& l : Hud::kTopLabels) {
        DrawLabel(l);
    }
    DrawFrame(Hud::kHealth);
    DrawFrame(Hud::kMagic);
    DrawBar(Hud::kHealth, world.dragon.health);
    DrawBar(Hud::kMagic, world.dragon.magic);
    for (const Hud::Label& l : Hud::kLowerLabels) {
        DrawLabel(l);
    }
    DrawIcons(P::kLifeIcon, Hud::kLifeIcons, static_cast<long long>(world.dragon.lives) - 1);
    DrawIcons(P::kSpecialIcon, Hud::kSpecialIcons, world.dragon.special);
    // Whatever is drawn after the display, as a boss's bar, writes as it does.
    Display::SetFont(Hud::kFontStyle, Hud::kTextColor);
}

namespace {

// Bats on the dive and fast-left paths are the kamikazes: the same picture
// as any bat, so a streak behind and glowing eyes tell them apart.
bool Diving(const Enemy& e) {
    return Kind(e.type).diveLook &&
           (e.path == EnemyTables::kDivePath || e.path == EnemyTables::kFastLeftPath);
}

void DrawDiveStreak(const Enemy& e) {
    // Behind the bat is against its motion this tick.
    const auto& path = EnemyTables::kPaths[e.path];
    const float vx = path.legs[0].dx + path.dxPerPhase * static_cast<float>(e.counter);
    const float vy = path.legs[0].dy;
    const float speed = std::max(std::abs(vx) + std::abs(vy), float{1});
    using Colours::Packed;
    constexpr std::array<std::uint32_t, 4> kFade = {Packed(255, 150, 40), Packed(240, 90, 20),
                                                    Packed(200, 40, 16),
                                                    Packed(140, 20, 10)}; // orange to red
    for (std::size_t k = 0; k < kFade.size(); ++k) {
        const float along = 16 + 9 * static_cast<float>(k);
        const std::int32_t half = static_cast<std::int32_t>(4 - k);
        for (const float side : {float{-6}, float{6}}) {
            // Two trails, from the wing roots, read as motion rather than a shape.
            const float x = e.x - vx / speed * along - vy / speed * side;
            const float y = e.y - vy / speed * along + vx / speed * side;
            Display::Rectangle(ToPixel(x) - half - 2, ToPixel(y) - half / 2, ToPixel(x) + half + 2,
                               ToPixel(y) + half / 2, kFade[k], true);
        }
    }
}

void DrawDiveEyes(const Enemy& e) {
    // Over the picture's own eyes, a little taller, with a hot core.
    const std::int32_t x = ToPixel(e.x), y = ToPixel(e.y);
    for (const auto& [left, right] : {std::pair{x - 7, x - 5}, std::pair{x - 2, x + 1}}) {
        Display::Rectangle(left, y - 12, right, y - 8, Colours::kRed, true);
        Display::Rectangle(left + 1, y - 11, right - 1, y - 10, Colours::kPaleYellow, true);
    }
}

void DrawEnemies() {
    for (const std::uint32_t i : Slots(world.enemies)) {
        const Enemy& e = world.enemies[i];
        if (!e.state) {
            continue;
        }
        if (Diving(e)) {
            DrawDiveStreak(e);
        }
        DrawSprite(Kind(e.type).picture, e.x, e.y);
        if (Diving(e)) {
            DrawDiveEyes(e);
        }
    }
}

void DrawDragon() {
    if (!world.dragon.state) {
        return;
    }
    DrawShield();
    DrawSprite(P::DragonSprite(world.counter), world.dragon.x, world.dragon.y);
}

void DrawItems() {
    bool textShown = false;
    for (const std::uint32_t i : Slots(1, kItemKinds)) {
        for (const std::uint32_t j : Slots(world.items[i])) {
            const Item& o = world.items[i][j];
            if (o.state) {
                DrawSprite(P::kItems[i], o.x, o.y);
            }
            // One floating text at a time; the others wait their turn.
            if (o.textShown && !textShown) {
                ShowItemText(i, j);
                textShown = true;
            }
        }
    }
}

void DrawHazards() {
    const Hazard hazard = LevelOf(world.level).hazard;
    if (hazard == Hazard::Icicles) {
        for (const std::uint32_t i : Slots(world.icicles)) {
            if (world.icicles[i].state) {
                DrawSprite(P::kIcicle, static_cast<float>(world.icicles[i].x),
                           static_cast<float>(world.icicles[i].y));
            }
        }
    }
    if (hazard == Hazard::Fireballs) {
        for (const std::uint32_t i : Slots(world.fireballs)) {
            if (world.fireballs[i].state) {
                DrawSprite(P::kFireball, world.fireballs[i].x, world.fireballs[i].y);
            }
        }
    }
    if (world.items[6][1].state && world.items[6][2].state) {
        DrawSprite(P::kClouds[0], world.items[6][1].x, world.items[6][1].y);
        DrawSprite(P::kClouds[1], world.items[6][2].x, world.items[6][2].y);
    }
}

} // namespace

bool FieldShown() {
    return IsLevel(world.level); // else no background to scroll or test against
}

namespace {

void DrawBehindDragon() {
    const std::int32_t bx = world.backgrounds[world.level].x;
    DrawDeadlyLayers(bx);
    DrawBackground(bx, P::SceneryOf(world.level).shown);
}

void DrawField() {
    DrawDragon();
    DrawEnemies();
    DrawItems();
    DrawHazards();
    for (const std::uint32_t i : Slots(world.bullets)) {
        if (world.bullets[i].state) {
            DrawSprite(ByType(P::kBullets, world.bullets[i].type), world.bullets[i].x,
                       world.bullets[i].y);
        }
    }
}

void DrawOnTop() {
    DrawBeam();
    for (const std::uint32_t i : Slots(world.explosions)) {
        if (world.explosions[i].state) {
            DrawSprite(ByType(P::kExplosions, world.explosions[i].type), world.explosions[i].x,
                       world.explosions[i].y);
        }
    }
}

} // namespace

void DrawPlay() {
    if (!FieldShown()) {
        return;
    }
    DrawBehindDragon();
    DrawField();
    DrawOnTop();
}

void Draw() {
    if (!FieldShown()) {
        return;
    }
    DrawPlay();
    DrawHud();
}

} // namespace Morvek
