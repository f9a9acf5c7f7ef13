#include "game/combat/TickOrder.h"
#include "display/KeyCodes.h"

#include "display/Display.h"
#include "game/combat/Cheats.h"
#include "game/combat/Collision.h"
#include "game/combat/Enemies.h"
#include "game/combat/EnemyFire.h"
#include "game/combat/Field.h"
#include "game/combat/Items.h"
#include "game/combat/Lives.h"
#include "game/combat/Player.h"
#include "game/core/World.h"

namespace Morvek {

namespace {

// Escape gives the game up: no lives are left.
void EscapeCheck() {
    if (Display::KeyDown(Display::KeyCode::kEscape)) {
        world.dragon.lives = 0;
    }
}

} // namespace

void TickPlay(TickSteps& steps) {
    const TickSteps::Shape& shape = steps.shape();
    world.counter = world.counter + 1;
    steps.Count();
    MoveEnemies();
    MoveItems();
    MoveBullets();
    AgeExplosions();
    ReloadShot();
    Shoot();
    if (shape.waveFire) {
        EnemiesShoot();
    }
    RefillMagic();
    Collision();
    MoveDragon();
    if (shape.waveFire) {
        SendKamikazeBat();
    }
    Cheats();
    if (shape.escapeFirst) {
        EscapeCheck();
    }
    steps.Rules();
    FieldRules();
}

void TickSettle(const TickSteps::Shape& shape) {
    if (!shape.escapeFirst) {
        EscapeCheck();
    }
    SettleLives();
}

} // namespace Morvek
