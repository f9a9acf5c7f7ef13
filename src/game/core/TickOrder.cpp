#include "game/core/TickOrder.h"

#include "display/Wimdows.h"
#include "game/Procedures.h"

namespace Procedures {

namespace {

constexpr card kEscape = 0x1B;

// Escape gives the game up: no lives are left.
void EscapeCheck() {
    if (Wimdows::KeyDown(kEscape)) {
        dragon.lives = 0;
    }
}

} // namespace

void PlayTick(TickSteps& steps) {
    const TickSteps::Shape& shape = steps.shape();
    counter = counter + 1;
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
    Wimdows::Sleep(speed);
    PauseCheck();
    if (!shape.escapeFirst) {
        EscapeCheck();
    }
    LifeController();
}

} // namespace Procedures
