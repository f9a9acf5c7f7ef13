#include "display/Display.h"
#include "display/KeyCodes.h"
#include "display/Run.h"
#include "game/combat/Enemies.h"
#include "game/core/World.h"
#include "game/levels/BossFights.h"
#include "support/Steps.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <variant>

using namespace Morvek;

namespace {

void Input(Display::Run::InputEvent::Kind kind, std::uint32_t code, std::int32_t x = 0,
           std::int32_t y = 0) {
    Display::Run::Apply({Display::Run::ClockMs(), kind, code, x, y, {}});
}

// The dragon's lives as the first frame shown saw them, in a battle begun
// with Escape held, which ends at the game-over screen.
std::int32_t LivesShownOnEscape(const Fight& fight) {
    TestWorld::NewGameState();
    CreateEnemy(900, 300, 2, 1, 0);
    std::int32_t shown = -1;
    Display::Run::SetFrameHook([&shown] {
        if (shown < 0) {
            shown = world.dragon.lives;
        }
    });
    Input(Display::Run::InputEvent::KeyDown, Display::KeyCode::kEscape);
    // A wave straight at its first tick, past the glide; a fight set up first.
    const bool wave = std::holds_alternative<std::monostate>(fight);
    Steps::InGame(
        BattleScene{.at = wave ? BattleScene::At::Tick : BattleScene::At::Start, .fight = fight});
    EXPECT_TRUE(Steps::Until([] { return world.mode == Mode::GameOver; }, 50));
    Display::Run::SetFrameHook(nullptr);
    return shown;
}

} // namespace

// The one order of a tick keeps the place each kind of tick gives Escape:
// a wave shows its frame with the lives still there, a fight has given up
// before its rules and shows none.
TEST(TickOrder, EscapeGivesAFightUpBeforeItsFrameAndAWaveAfter) {
    EXPECT_EQ(LivesShownOnEscape(std::monostate{}), 4);
    EXPECT_EQ(LivesShownOnEscape(WindFight{}), 0);
    Display::Run::Reset();
}
