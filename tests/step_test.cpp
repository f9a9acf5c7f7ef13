// The game as a step function: the world holds the whole game between two
// steps, so a copy of it taken at any step carries on as the game itself.
#include "ScreenRun.h"

#include "display/Layer.h"
#include "display/Sync.h"
#include "game/Game.h"
#include "game/Step.h"
#include "game/core/StateDump.h"
#include "game/levels/Battle.h"
#include "game/levels/Practice.h"
#include "support/JsonText.h"
#include "util/Random.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

using namespace Morvek;
using namespace ScreenRun;

namespace {

// The state dump but for the clock, which a restored copy does not turn back.
std::string State() {
    return TestSupport::WithoutNumber(StateDump::StateJson(), "clock_ms");
}

bool StepTimes(int n) {
    for (int i = 0; i < n; ++i) {
        if (!Steps::Once()) {
            return false;
        }
    }
    return true;
}

struct Opening {
    const char* name;
    Morvek::PracticeChoice practice;
    Mode mode; // what the game shows once it has begun
};

void PrintTo(const Opening& o, std::ostream* out) {
    *out << o.name;
}

class WorldCopy : public Fixture, public testing::WithParamInterface<Opening> {
  protected:
    void TearDown() override {
        Game::options.practice = {};
        Fixture::TearDown();
    }
};

// No input at all after New game: the enemies and bosses play by themselves,
// so the two continuations see the same input.
TEST_P(WorldCopy, ACopyTakenMidGameCarriesOnAsTheGameDid) {
    const Opening& o = GetParam();
    Game::options.practice = o.practice;
    testing::internal::CaptureStdout(); // Start's empty line
    Start(world);
    testing::internal::GetCapturedStdout();
    Display::Run::Apply(Move(0, 150, 175));
    Display::Run::Apply(Down(0));
    ASSERT_TRUE(Steps::Until([&o] { return world.mode == o.mode; }, 100));
    Display::Run::Apply(Up(0));
    ASSERT_TRUE(StepTimes(150));
    // What the host showed is the battle's frame of the world as it stands.
    const auto* battle = std::get_if<BattleScene>(&world.scenes.Top());
    ASSERT_NE(battle, nullptr);
    const Display::PixelBuffer shown = Display::Presented().pixels;
    Draw(*battle, world);
    EXPECT_TRUE(Display::backbuffer == shown) << "the frame shown is not the battle's";

    const auto copy = std::make_unique<World>(world);
    const std::string then = State();
    ASSERT_TRUE(StepTimes(400));
    const std::string first = State();
    const Mode firstMode = world.mode;
    const std::size_t firstDepth = world.scenes.Size();
    const std::uint32_t firstSeed = world.random.Seed();
    ASSERT_NE(first, then) << "the game moved on";

    world = *copy; // the random generator with it
    ASSERT_TRUE(StepTimes(400));
    EXPECT_EQ(State(), first);
    EXPECT_EQ(world.mode, firstMode);
    EXPECT_EQ(world.scenes.Size(), firstDepth);
    EXPECT_EQ(world.random.Seed(), firstSeed);
}

INSTANTIATE_TEST_SUITE_P(Openings, WorldCopy,
                         testing::Values(Opening{"Waves", {1, false}, Mode::Wave},
                                         Opening{"WindFight", {1, true}, Mode::BossFight},
                                         Opening{"IceFight", {2, true}, Mode::BossFight},
                                         Opening{"KingFight", {3, true}, Mode::BossFight}),
                         [](const testing::TestParamInfo<Opening>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
