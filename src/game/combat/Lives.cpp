#include "game/combat/Lives.h"

#include "game/core/World.h"

namespace Morvek {

void SettleLives() {
    if (world.dragon.health <= 0) {
        world.dragon.state = false;
        world.growCounter = 0;
        world.dragon.health = 100;
        world.dragon.magic = 100;
        world.dragon.x = kDragonStartX;
        world.dragon.y = kDragonStartY;
        world.dragon.beamReady = true;
        world.beamRunning = false;
        world.shieldRunning = true; // the new dragon comes with its shield up
    }
    if (!world.dragon.state) {
        world.dragon.lives = world.dragon.lives - 1;
        world.dragon.state = true;
    }
}

bool GameLost() {
    return world.dragon.lives <= 0;
}

} // namespace Morvek
