#include "display/Display.h"
#include "display/KeyCodes.h"
#include "display/Run.h"
#include "game/combat/Enemies.h"
#include "game/core/World.h"
#include "game/levels/BossFights.h"
#include "game/levels/FrameLoop.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

using namespace Morvek;

namespace {

void Input(Display::Run::InputEvent::Kind kind, std::uint32_t code, std::int32_t x = 0,
           std::int32_t y = 0) {
    Display::Run::Apply({Display::Run::ClockMs(), kind, code, x, y, {}});
}

// The dragon's lives as the first frame shown saw them, after one tick with
// Escape held; the game-over screen that follows is left at once.
std::int32_t LivesShownOnEscape(void (*tick)()) {
    TestWorld::NewGameState();
    CreateEnemy(900, 300, 2, 1, 0);
    std::int32_t shown = -1;
    Display::Run::SetFrameHook([&shown] {
        if (shown < 0) {
            shown = world.dragon.lives;
        }
    });
    Input(Display::Run::InputEvent::KeyDown, Display::KeyCode::kEscape);
    Input(Display::Run::InputEvent::MouseMove, 0, 100, 680); // on Return
    Input(Display::Run::InputEvent::MouseDown, 0, 100, 680);
    tick();
    Display::Run::SetFrameHook(nullptr);
    EXPECT_TRUE(world.returnToMenu);
    return shown;
}

} // namespace

// The one order of a tick keeps the place each kind of tick gives Escape:
// a wave shows its frame with the lives still there, a fight has given up
// before its rules and shows none.
TEST(TickOrder, EscapeGivesAFightUpBeforeItsFrameAndAWaveAfter) {
    EXPECT_EQ(LivesShownOnEscape(WaveTick), 4);
    EXPECT_EQ(LivesShownOnEscape([] {
                  Boss::WindFight f;
                  Boss::Setup(f);
                  Boss::Tick(f);
              }),
              0);
    Display::Run::Reset();
}
