#include "game/combat/BeamShield.h"
#include "display/KeyCodes.h"
#include "display/Wimdows.h"
#include "game/combat/Collision.h"
#include "game/combat/Damage.h"
#include "game/combat/Tables.h"
#include "game/core/World.h"

#include <cstdint>

namespace Procedures {

namespace {

constexpr std::int64_t kBeamReach = 1700;
constexpr card kShieldTicks = 175;
constexpr real kShieldShotReach = 60;
constexpr real kShieldEnemyReach = 70;
constexpr real kBeamShotReach = 20;

integer Whole(real v) {
    return static_cast<integer>(v);
}

// One beam test on enemy j; a test on an enemy that an earlier test of this
// tick destroyed does nothing, so it is scored and dropped once.
void BeamTest(card j, real sx, real reach, real tip) {
    Enemy& e = world.enemies[j];
    if (!e.state || Distance(sx, e.x, world.dragon.y, e.y) > reach) {
        return;
    }
    const real ex = (tip + e.x) / 2;
    const real ey = (world.dragon.y + 10 + e.y) / 2;
    LaserHit(j);
    Explosion(ex, ey, 2);
}

void BeamOnEnemies(card g) {
    const real tip = world.dragon.x + static_cast<real>(20 * g);
    for (card j = 1; j <= 100; ++j) {
        if (!world.enemies[j].state) {
            continue;
        }
        BeamTest(j, tip, world.enemies[j].length / 2 + 20, tip);
        for (card n = 0; n < g; ++n) {
            BeamTest(j, world.dragon.x + static_cast<real>(1 + 20 * n), world.enemies[j].length / 2,
                     tip);
        }
    }
}

bool EnemyShot(const Bullet& b) {
    return b.state && b.type != 0;
}

// Burns shot l when it lies within reach of (sx, dragon.y).
void BurnShot(card l, real sx, real reach) {
    Bullet& b = world.bullets[l];
    if (Distance(sx, b.x, world.dragon.y, b.y) <= reach) {
        b.state = false;
        Explosion(b.x, b.y, 2);
    }
}

void BeamOnShots(card g) {
    const real tip = world.dragon.x + static_cast<real>(20 * g);
    for (card l = 1; l <= 100; ++l) {
        // Looked at once: a shot under several sample points flares at each.
        if (!EnemyShot(world.bullets[l])) {
            continue;
        }
        BurnShot(l, tip, kBeamShotReach);
        for (card h = 1; h <= 20 * g; h += 30) {
            BurnShot(l, world.dragon.x + static_cast<real>(h), kBeamShotReach);
        }
    }
}

// Starts the beam or the shield for one special charge; while it runs its
// ready flag stays down, so holding the key costs nothing more.
bool Running(card key, bool& ready, bool& running) {
    if (Wimdows::KeyDown(key) && ready && world.dragon.special >= 1) {
        running = true;
        world.dragon.special = world.dragon.special - 1;
    }
    if (running) {
        ready = false;
    }
    return running;
}

} // namespace

void Energybeam() {
    world.beamShown = Running(Wimdows::KeyCode::kShift, world.dragon.beamReady, world.beamRunning);
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
    const card g = world.growCounter;
    BeamOnEnemies(g);
    BeamOnShots(g);
}

void Energyshield() {
    if (!Running(Wimdows::KeyCode::kCtrl, world.dragon.shieldReady, world.shieldRunning)) {
        return;
    }
    if (world.growCounter > kShieldTicks) {
        world.shieldRunning = false;
        world.growCounter = 0;
        world.dragon.shieldReady = true;
    } else {
        world.growCounter = world.growCounter + 1;
    }
    for (card i = 1; i <= 100; ++i) {
        if (EnemyShot(world.bullets[i])) {
            BurnShot(i, world.dragon.x, kShieldShotReach);
        }
    }
    // Anything this close is burnt whatever it is: no points, no drop.
    for (card j = 1; j <= 100; ++j) {
        Enemy& e = world.enemies[j];
        if (e.state && Distance(world.dragon.x, e.x, world.dragon.y, e.y) <= kShieldEnemyReach) {
            e.state = false;
            Explosion(e.x, e.y, 2);
        }
    }
}

void DrawEnergybeam() {
    if (!world.beamShown) {
        return;
    }
    const integer left = Whole(world.dragon.x) + 30;
    const integer top = Whole(world.dragon.y) - 10;
    for (card s = 0; s <= world.growCounter; ++s) {
        // Even pieces and odd pieces alternate between the two pictures.
        const auto& piece = world.images[6][3 + s % 2];
        Wimdows::DrawMaskBitmap(piece[1], piece[2], left + static_cast<integer>(20 * s), top);
    }
}

// A shield that has just run out is no longer drawn.
void DrawEnergyshield() {
    if (!world.shieldRunning || world.growCounter == 0) {
        return;
    }
    const auto& shield = world.images[6][5];
    Wimdows::DrawMaskBitmap(shield[1], shield[2], Whole(world.dragon.x - 37.5f),
                            Whole(world.dragon.y - 37.5f));
}

void LaserHit(card i) {
    DamageEnemy(i, Tables::ByType(Tables::kBeamDamage, world.enemies[i].type));
}

} // namespace Procedures
