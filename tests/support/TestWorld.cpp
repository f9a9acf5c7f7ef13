#include "support/TestWorld.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/core/World.h"
#include "game/screens/NewGame.h"
#include "util/Random.h"

#include <cstdio>
#include <cstdlib>

namespace TestWorld {

void Fresh() {
    Display::Run::Reset();
    // A run out of input only asks to end now, and the steps stop; but
    // whatever still ends the run for good must not exit the test program
    // with 0 and hide every failure before it.
    Display::Run::SetEndHandler([] {
        std::fputs("the run ended the test program\n", stderr);
        std::_Exit(1);
    });
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
