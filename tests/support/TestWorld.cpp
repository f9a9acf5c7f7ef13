#include "support/TestWorld.h"

#include "display/Run.h"
#include "display/Wimdows.h"
#include "game/core/World.h"
#include "game/screens/Highscore.h"
#include "util/StandardLib.h"

#include <stdexcept>

namespace TestWorld {

void Fresh() {
    Wimdows::Run::Reset();
    // A run out of input would otherwise exit the test program with 0 and
    // hide every failure before it; a test that means to end sets its own.
    Wimdows::Run::SetEndHandler([] { throw std::runtime_error("the run ran out of input"); });
    Wimdows::Run::SetHeadless(true);
    Wimdows::Window("Morvek", Wimdows::kWidth, Wimdows::kHeight);
    Wimdows::SetBuffering(true);
    Procedures::world = Procedures::World{};
    StandardLib::ResetRandom();
}

void NewGameState() {
    using namespace Procedures;
    Fresh();
    world.difficulty = Difficulty::Normal;
    world.speed = 30;
    ResetGame();
    world.dragon.x = 60;
    world.dragon.y = 369;
}

} // namespace TestWorld
