#include "game/combat/BeamShield.h"
#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/combat/Collision.h"
#include "game/combat/Damage.h"
#include "game/core/EnemyKinds.h"
#include "game/core/ScenePictures.h"
#include "game/core/World.h"

#include <cstdint>

namespace Morvek {

namespace {

constexpr std::int64_t kBeamReach = 1700;
constexpr std::uint32_t kShieldTicks = 175;
constexpr float kShieldShotReach = 60;
constexpr float kShieldEnemyReach = 70;
constexpr float kBeamShotReach = 20;

std::int32_t Whole(float v) {
    return static_cast<std::int32_t>(v);
}

// One beam test on enemy j; a test on an enemy that an earlier test of this
// tick destroyed does nothing, so it is scored and dropped once.
void BeamTest(std::uint32_t j, float sx, float reach, float tip) {
    Enemy& e = world.enemies[j];
    if (!e.state || Distance(sx, e.x, world.dragon.y, e.y) > reach) {
        return;
    }
    const float ex = (tip + e.x) / 2;
    const float ey = (world.dragon.y + 10 + e.y) / 2;
    BeamHit(j);
    SetOffExplosion(ex, ey, 2);
}

void BeamOnEnemies(std::uint32_t g) {
    const float tip = world.dragon.x + static_cast<float>(20 * g);
    for (const std::uint32_t j : Slots(world.enemies)) {
        if (!world.enemies[j].state) {
            continue;
        }
        BeamTest(j, tip, world.enemies[j].diameter / 2 + 20, tip);
        for (std::uint32_t n = 0; n < g; ++n) {
            BeamTest(j, world.dragon.x + static_cast<float>(1 + 20 * n),
                     world.enemies[j].diameter / 2, tip);
        }
    }
}

bool EnemyShot(const Bullet& b) {
    return b.state && b.type != 0;
}

// Burns shot l when it lies within reach of (sx, dragon.y).
void BurnShot(std::uint32_t l, float sx, float reach) {
    Bullet& b = world.bullets[l];
    if (Distance(sx, b.x, world.dragon.y, b.y) <= reach) {
        b.state = false;
        SetOffExplosion(b.x, b.y, 2);
    }
}

void BeamOnShots(std::uint32_t g) {
    const float tip = world.dragon.x + static_cast<float>(20 * g);
    for (const std::uint32_t l : Slots(world.bullets)) {
        // Looked at once: a shot under several sample points flares at each.
        if (!EnemyShot(world.bullets[l])) {
            continue;
        }
        BurnShot(l, tip, kBeamShotReach);
        for (std::uint32_t h = 1; h <= 20 * g; h += 30) {
            BurnShot(l, world.dragon.x + static_cast<float>(h), kBeamShotReach);
        }
    }
}

// Starts the beam or the shield for one special charge; while it runs its
// ready flag stays down, so holding the key costs nothing more.
bool Running(std::uint32_t key, bool& ready, bool& running) {
    if (Display::KeyDown(key) && ready && world.dragon.special >= 1) {
        running = true;
        world.dragon.special = world.dragon.special - 1;
    }
    if (running) {
        ready = false;
    }
    return running;
}

} // namespace

void RunBeam() {
    world.beamShown = Running(Display::KeyCode::kShift, world.dragon.beamReady, world.beamRunning);
    if (!world.beamShown) {
        return;
    }
    if (Whole(world.dragon.x) + 10 * static_cast<std::int64_t>(world.growCounter) < kBeamReach) {
        world.growCounter = world.growCounter + 2;
    } else {
        world.beamRunning = false;
        world.growCounter = 0;
        world.dragon.beamReady = true;
    }
    const std::uint32_t g = world.growCounter;
    BeamOnEnemies(g);
    BeamOnShots(g);
}

void RunShield() {
    if (!Running(Display::KeyCode::kCtrl, world.dragon.shieldReady, world.shieldRunning)) {
        return;
    }
    if (world.growCounter > kShieldTicks) {
        world.shieldRunning = false;
        world.growCounter = 0;
        world.dragon.shieldReady = true;
    } else {
        world.growCounter = world.growCounter + 1;
    }
    for (const std::uint32_t i : Slots(world.bullets)) {
        if (EnemyShot(world.bullets[i])) {
            BurnShot(i, world.dragon.x, kShieldShotReach);
        }
    }
    // Anything this close is burnt whatever it is: no points, no drop.
    for (const std::uint32_t j : Slots(world.enemies)) {
        Enemy& e = world.enemies[j];
        if (e.state && Distance(world.dragon.x, e.x, world.dragon.y, e.y) <= kShieldEnemyReach) {
            e.state = false;
            SetOffExplosion(e.x, e.y, 2);
        }
    }
}

void DrawBeam() {
    if (!world.beamShown) {
        return;
    }
    const std::int32_t left = Whole(world.dragon.x) + 30;
    const std::int32_t top = Whole(world.dragon.y) - 10;
    for (std::uint32_t s = 0; s <= world.growCounter; ++s) {
        // Even pieces and odd pieces alternate between the two pictures.
        const Picture piece = ScenePictures::kBeamPieces[s % 2];
        Display::DrawMaskBitmap(PictureNumber(piece), MaskNumber(piece),
                                left + static_cast<std::int32_t>(20 * s), top);
    }
}

// A shield that has just run out is no longer drawn.
void DrawShield() {
    if (!world.shieldRunning || world.growCounter == 0) {
        return;
    }
    Display::DrawMaskBitmap(PictureNumber(Picture::Shield), MaskNumber(Picture::Shield),
                            Whole(world.dragon.x - 37.5f), Whole(world.dragon.y - 37.5f));
}

void BeamHit(std::uint32_t enemy) {
    DamageEnemy(enemy, Kind(world.enemies[enemy].type).beamDamage);
}

} // namespace Morvek
