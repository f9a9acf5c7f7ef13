#include "game/screens/NewGame.h"

#include "display/Bindings.h"
#include "game/core/World.h"
#include "game/levels/Practice.h"
#include "game/screens/ScorePlace.h"

namespace Morvek {

void ResetGame() {
    world.dragon.state = true;
    world.dragon.health = 100;
    world.dragon.magic = 100;
    world.dragon.special = 3;
    world.dragon.beamReady = true;
    world.dragon.shieldReady = true;
    world.dragon.lives = 4;
    world.dragon.upgrade = 1;
    for (const std::uint32_t i : Slots(world.bullets)) {
        world.bullets[i].radius = 5.0f;
    }
    world.score = 0;
    world.level = 1;
    world.counter = 1;
    for (const std::uint32_t i : Slots(1, kDifficultyHistory)) {
        world.difficultyHistory[i] = 4;
    }
    world.actualDifficulty = 4;
    world.beamRunning = false;
    world.shieldRunning = false;
    world.growCounter = 0;
    world.pauseKept = false;
    // Only the first level's scroll starts afresh; the others go on from
    // where the last game left them.
    world.backgrounds[1].x = 0;
    world.backgrounds[1].y = 0;
}

void NewGame() {
    ScorePlace::Read(world.scores);
    ResetGame();
    PracticeStart();
    ++world.gamesBegun;
    Display::Bindings::SetPlaying(true);
}

} // namespace Morvek
