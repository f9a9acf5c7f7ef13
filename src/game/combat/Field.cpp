// What the field does to the game at the end of a tick: the scroll, the
// deadly contacts, the shield, the floating text and the beam, in the order
// the game has always run them. The frame is drawn after them, from the
// world as the tick left it (combat/Render.h).
#include "game/combat/Field.h"
#include "display/Display.h"
#include "game/combat/BeamShield.h"
#include "game/combat/Collision.h"
#include "game/combat/Items.h"
#include "game/combat/Render.h"
#include "game/core/Placement.h"
#include "game/core/ScenePictures.h"
#include "game/core/Terrain.h"
#include "game/core/World.h"

#include <array>

namespace Morvek {

namespace {

namespace P = ScenePictures;

using IcicleSet = SlotTable<bool, kIcicleSlots>;

// Whether the deadly layers show black at window pixel (x, y): the level's
// deadly area with the contact pictures of the icicles in `drawn` over it,
// later icicles over earlier ones. Outside the window everything reads black.
bool BlackAt(std::int32_t x, std::int32_t y, const IcicleSet& drawn) {
    if (x < 0 || y < 0 || x >= static_cast<std::int32_t>(Display::kWidth) ||
        y >= static_cast<std::int32_t>(Display::kHeight)) {
        return true;
    }
    std::uint32_t colour = 0;
    const std::uint32_t contact = PictureNumber(Picture::IcicleContact);
    for (std::uint32_t i = kIcicleSlots; i >= 1; --i) {
        const Background& ice = world.icicles[i];
        if (drawn[i] && Display::PictureAt(contact, ice.x, ice.y, x, y, colour)) {
            return colour == 0;
        }
    }
    return Deadly(world.level, world.backgrounds[world.level].x, x, y);
}

bool OnIcicle(const Background& ice, std::int32_t x, std::int32_t y) {
    return x >= ice.x && x < ice.x + P::kIcicleWidth && y >= ice.y && y < ice.y + P::kIcicleHeight;
}

void DragonLost() {
    world.dragon.health = 0;
    SetOffExplosion(world.dragon.x, world.dragon.y, 1);
}

} // namespace

void ScrollBackground() {
    std::int32_t& bx = world.backgrounds[world.level].x;
    bx -= P::kScrollStep;
    if (bx <= -P::kScrollLoop) {
        bx += P::kScrollLoop;
    }
}

void DeadlyContacts() {
    const std::int32_t x = ToPixel(world.dragon.x), y = ToPixel(world.dragon.y);
    IcicleSet drawn{};
    if (LevelOf(world.level).hazard == Hazard::Icicles) {
        for (const std::uint32_t i : Slots(world.icicles)) {
            Background& ice = world.icicles[i];
            if (!ice.state) {
                continue;
            }
            drawn[i] = true;
            // Black under the dragon may come from an icicle laid down earlier
            // or from the wall; only the icicle it lies on is the one it touched.
            if (OnIcicle(ice, x, y) && BlackAt(x, y, drawn)) {
                DragonLost();
                ice.state = false;
            }
        }
    }
    if (BlackAt(x, y, drawn)) {
        DragonLost();
    }
}

void FieldRules() {
    if (!FieldShown()) {
        return;
    }
    ScrollBackground();
    DeadlyContacts();
    if (world.dragon.state) {
        RunShield();
    }
    AgeItemTexts();
    RunBeam();
}

} // namespace Morvek
