#include "support/TestWorld.h"

#include "display/Run.h"
#include "display/Wimdows.h"
#include "game/Procedures.h"
#include "util/StandardLib.h"

namespace TestWorld {

void Fresh() {
    Wimdows::Run::Reset();
    Wimdows::Run::SetHeadless(true);
    Wimdows::Window("Morvek", Wimdows::kWidth, Wimdows::kHeight);
    Wimdows::SetBuffering(true);
    Procedures::ResetWorld();
    StandardLib::ResetRandom();
}

void NewGameState() {
    using namespace Procedures;
    Fresh();
    dynamic_difficulty_influence_coefficient = 1.0f;
    speed = 30;
    ResetGame();
    schip.x = 60;
    schip.y = 369;
}

} // namespace TestWorld
