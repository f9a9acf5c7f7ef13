#include "game/combat/TickOrder.h"
#include "display/KeyCodes.h"

#include "display/Wimdows.h"
#include "game/combat/Collision.h"
#include "game/combat/Enemies.h"
#include "game/combat/EnemyFire.h"
#include "game/combat/Field.h"
#include "game/combat/Items.h"
#include "game/combat/Lives.h"
#include "game/combat/Player.h"
#include "game/core/Pause.h"
#include "game/core/World.h"

namespace Procedures {

namespace {

// Escape gives the game up: no lives are left.
void EscapeCheck() {
    if (Wimdows::KeyDown(Wimdows::KeyCode::kEscape)) {
        world.dragon.lives = 0;
    }
}

} // namespace

void PlayTick(TickSteps& steps) {
    const TickSteps::Shape& shape = steps.shape();
    world.counter = world.counter + 1;
    steps.Count();
    Enemymove();
    Itemmove();
    Bulletmove();
    ExplosionCease();
    Shootstate();
    Shoot();
    if (shape.waveFire) {
        Enemyshoot();
    }
    MagicRefill();
    Collision();
    Move();
    if (shape.waveFire) {
        KamikazeEnemy();
    }
    Cheats();
    if (shape.escapeFirst) {
        EscapeCheck();
    }
    steps.Rules();
    FieldFrame();
    steps.DrawOver();
    Wimdows::UpdateWindow();
    Wimdows::Sleep(world.speed);
    PauseCheck();
    if (!shape.escapeFirst) {
        EscapeCheck();
    }
    LifeController();
}

} // namespace Procedures
