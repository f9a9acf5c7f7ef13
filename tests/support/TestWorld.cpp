#include "support/TestWorld.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/core/World.h"
#include "game/screens/NewGame.h"
#include "util/Random.h"

#include <stdexcept>

namespace TestWorld {

void Fresh() {
    Display::Run::Reset();
    // A run out of input would otherwise exit the test program with 0 and
    // hide every failure before it; a test that means to end sets its own.
    Display::Run::SetEndHandler([] { throw std::runtime_error("the run ran out of input"); });
    Display::Run::SetHeadless(true);
    Display::Window("Morvek", Display::kWidth, Display::kHeight);
    Display::SetBuffering(true);
    Morvek::world = Morvek::World{};
}

void NewGameState() {
    using namespace Morvek;
    Fresh();
    world.difficulty = Difficulty::Normal;
    world.tickMs = 30;
    ResetGame();
    world.dragon.x = 60;
    world.dragon.y = 369;
}

} // namespace TestWorld
