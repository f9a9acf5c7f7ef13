#include "game/levels/Bosses.h"
#include "game/core/World.h"
#include "game/levels/BossFights.h"
#include "game/levels/FrameLoop.h"

namespace Morvek {

namespace {
// A fight runs until no enemy but a castle is left: the boss (and in the last
// fight his brood) destroyed, or the game over and the field cleared.
template <typename Fight> void RunFight() {
    world.mode = Mode::BossFight;
    Fight f;
    Boss::Setup(f);
    do {
        Boss::Tick(f);
    } while (!WaveCleared());
}
} // namespace

void BossFight1() {
    RunFight<Boss::WindFight>();
}

void BossFight2() {
    RunFight<Boss::IceFight>();
}

void BossFight3() {
    RunFight<Boss::KingFight>();
}

} // namespace Morvek
