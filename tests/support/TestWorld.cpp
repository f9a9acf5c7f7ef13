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
    schip.state = true;
    schip.health = 100;
    schip.magic = 100;
    schip.special = 3;
    schip.beamstate = true;
    schip.shieldstate = true;
    schip.lives = 4;
    schip.upgrade = 1;
    for (card i = 1; i <= 100; ++i) {
        bullets[i].length = 5.0f;
    }
    score = 0;
    level = 1;
    counter = 1;
    for (card i = 1; i <= 50; ++i) {
        calclevel[i] = 4;
    }
    actualdifficulty = 4;
    initbeam = false;
    initshield = false;
    growcounter = 0;
    backarr[1].x = 0;
    backarr[1].y = 0;
    schip.x = 60;
    schip.y = 369;
}

} // namespace TestWorld
