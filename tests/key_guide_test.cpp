// The keys' guide over the first seconds of a new game: when it shows and
// fades, by ticks of play; what it names, from the bindings in use; and
// where it lies, clear of the dragon's start and of the display.
#include "ScreenRun.h"

#include "display/Bindings.h"
#include "game/Game.h"
#include "game/Step.h"
#include "game/combat/HitLooks.h"
#include "game/combat/KeyGuide.h"
#include "game/combat/Lives.h"
#include "game/core/Catalogue.h"
#include "game/core/Hud.h"
#include "game/levels/Battle.h"
#include "game/screens/NewGame.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace Morvek;
namespace B = Display::Bindings;

namespace {

// ---- When ----

class GuideTiming : public ::testing::TestWithParam<std::uint32_t> {
  protected:
    void SetUp() override {
        TestWorld::NewGameState();
        world.tickMs = GetParam();
        ++world.gamesBegun; // New game, as the menu counts it
        NoteFrame(world);
    }
    // Ticks of play until `ms` of play have gone by.
    std::uint32_t TicksFor(std::uint32_t ms) const { return ms / world.tickMs; }
};

TEST_P(GuideTiming, ShowsForSevenSecondsOfPlayThenFadesOverOne) {
    const std::uint32_t start = world.counter;
    EXPECT_EQ(KeyGuideAlpha(world), 255u);
    world.counter = start + TicksFor(6900);
    EXPECT_EQ(KeyGuideAlpha(world), 255u);
    std::uint32_t last = 255;
    for (std::uint32_t ms = 7100; ms < 7950; ms += 100) {
        world.counter = start + TicksFor(ms);
        const std::uint32_t alpha = KeyGuideAlpha(world);
        EXPECT_LT(alpha, last) << ms << " ms in: the fade stalls or goes back";
        EXPECT_GT(alpha, 0u) << ms << " ms in: gone before its fade ended";
        last = alpha;
    }
    world.counter = start + TicksFor(8050);
    EXPECT_EQ(KeyGuideAlpha(world), 0u);
}

TEST_P(GuideTiming, FramesDrawnWithoutPlayDoNotRunItsTime) {
    world.counter += TicksFor(6900);
    for (int i = 0; i < 5000; ++i) {
        NoteFrame(world); // a host drawing again and again, or a long pause
    }
    EXPECT_EQ(KeyGuideAlpha(world), 255u);
}

TEST_P(GuideTiming, ALostLifeOrTheNextLevelBringsItNotBackButANewGameDoes) {
    world.counter += TicksFor(9000);
    NoteFrame(world);
    ASSERT_EQ(KeyGuideAlpha(world), 0u);
    world.dragon.health = 0;
    NoteFrame(world);
    SettleLives();
    NoteFrame(world);
    EXPECT_EQ(KeyGuideAlpha(world), 0u) << "back after a life lost";
    world.level = 2;
    NoteFrame(world);
    EXPECT_EQ(KeyGuideAlpha(world), 0u) << "back at a new level";

    ResetGame(); // the next New game: the counter starts again
    ++world.gamesBegun;
    NoteFrame(world);
    EXPECT_EQ(KeyGuideAlpha(world), 255u);
}

INSTANTIATE_TEST_SUITE_P(TickLengths, GuideTiming, testing::Values(20u, 30u, 45u));

TEST(GuideTimingAtStart, NoGuideBeforeAnyNewGame) {
    TestWorld::NewGameState(); // a battle a test or a bench set up
    NoteFrame(world);
    EXPECT_EQ(KeyGuideAlpha(world), 0u);
}

// ---- What it names ----

class GuideKeys : public ::testing::Test {
  protected:
    void TearDown() override { B::Use(B::Defaults()); }
    static std::string KeysOf(std::string_view label) {
        for (const KeyGuideRow& r : KeyGuideRows()) {
            if (r.label == label) {
                return r.keys;
            }
        }
        return "(no row)";
    }
};

TEST_F(GuideKeys, NamesTheDefaultKeys) {
    B::Use(B::Defaults());
    EXPECT_EQ(KeysOf("MOVE"), "Up Down Left Right");
    EXPECT_EQ(KeysOf("FIRE"), "Space");
    EXPECT_EQ(KeysOf("BEAM"), "Shift");
    EXPECT_EQ(KeysOf("BARRIER"), "Ctrl");
    EXPECT_EQ(KeysOf("PAUSE"), "P");
    EXPECT_EQ(KeysOf("SOUND"), "M");
}

TEST_F(GuideKeys, NamesTheKeysAsTheyAreBoundNow) {
    B::Table keys = B::Defaults();
    const auto bind = [&keys](std::string_view action, std::string_view key) {
        for (std::size_t i = 0; i < B::kActions.size(); ++i) {
            if (B::kActions[i].name == action) {
                ASSERT_TRUE(B::Bind(keys, i, *B::KeyByName(key))) << key;
            }
        }
    };
    bind("up", "W");
    bind("left", "A");
    bind("down", "S");
    bind("right", "D");
    bind("fire", "J");
    bind("beam", "K");
    bind("barrier", "L");
    bind("pause", "Tab");
    B::Use(keys);
    EXPECT_EQ(KeysOf("MOVE"), "W S A D");
    EXPECT_EQ(KeysOf("FIRE"), "J");
    EXPECT_EQ(KeysOf("BEAM"), "K");
    EXPECT_EQ(KeysOf("BARRIER"), "L");
    EXPECT_EQ(KeysOf("PAUSE"), "Tab");
    EXPECT_EQ(KeysOf("SOUND"), "M"); // never bound
}

// ---- Where, in a real game ----

class GuideInPlay : public ScreenRun::Fixture {
  protected:
    void TearDown() override {
        Game::options.practice = {};
        ScreenRun::Fixture::TearDown();
    }
    // The program up to the first frame of play of its New game.
    void NewGame() {
        using namespace ScreenRun;
        testing::internal::CaptureStdout(); // Start's empty line
        Start(world);
        testing::internal::GetCapturedStdout();
        Display::Run::Apply(Move(0, 150, 175));
        Display::Run::Apply(Down(0));
        ASSERT_TRUE(Steps::Until(
            [] { return world.mode == Mode::Wave || world.mode == Mode::BossFight; }, 100));
        Display::Run::Apply(Up(0));
    }
};

TEST_F(GuideInPlay, ANewGameAndAPracticeStartOpenWithIt) {
    NewGame();
    EXPECT_EQ(KeyGuideAlpha(world), 255u);
    ASSERT_TRUE(Steps::Ticks(3));
    EXPECT_EQ(KeyGuideAlpha(world), 255u);
    Display::Run::Reset();

    TestWorld::Fresh();
    Game::options.practice = {2, true};
    NewGame();
    EXPECT_EQ(world.mode, Mode::BossFight);
    EXPECT_EQ(KeyGuideAlpha(world), 255u);
}

TEST_F(GuideInPlay, ItLiesClearOfTheDisplayTheDragonsStartAndABossBar) {
    NewGame();
    const auto* battle = std::get_if<BattleScene>(&world.scenes.Top());
    ASSERT_NE(battle, nullptr);
    Draw(*battle, world);
    const auto with = TestPictures::Grab();
    const Looks looks = world.looks;
    world.looks.game = 0; // as if no game had begun: no guide
    Draw(*battle, world);
    const auto without = TestPictures::Grab();
    world.looks = looks;

    int changed = 0;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (with[std::size_t(y) * 1024 + std::size_t(x)] ==
                without[std::size_t(y) * 1024 + std::size_t(x)]) {
                continue;
            }
            ++changed;
            ASSERT_GT(y, Hud::kBandBottom) << "over the display at " << x << "," << y;
            const bool nearStart = std::abs(x - static_cast<int>(kDragonStartX)) < 60 &&
                                   std::abs(y - static_cast<int>(kDragonStartY)) < 60;
            ASSERT_FALSE(nearStart) << "over the dragon's start at " << x << "," << y;
            ASSERT_FALSE(x >= 772 && y >= 714) << "over a boss's bar at " << x << "," << y;
        }
    }
    EXPECT_GT(changed, 20000) << "hardly a guide to read";
}

// A game given up while the guide shows has no tick left to fade it, and the
// game-over screen is laid over the last frame of play: the guide must not
// stay under its lettering for good.
TEST_F(GuideInPlay, AGameGivenUpWhileItShowsLeavesItOffTheGameOverScreen) {
    const auto gameOverFrame = [this](bool guideShown) {
        NewGame();
        if (!guideShown) {
            world.looks.guideFrom = ~0u; // as if long faded
        }
        EXPECT_TRUE(Steps::Ticks(3));
        ScreenRun::Events give;
        give.push_back({0, Display::Run::InputEvent::KeyDown, Display::KeyCode::kEscape, 0, 0, {}});
        give.push_back({100, Display::Run::InputEvent::KeyUp, Display::KeyCode::kEscape, 0, 0, {}});
        ScreenRun::Script(std::move(give));
        EXPECT_TRUE(Steps::Until([] { return world.mode == Mode::GameOver; }, 100));
        return TestPictures::Grab();
    };
    const auto shown = gameOverFrame(true);
    Display::Run::Reset();
    TestWorld::Fresh();
    const auto faded = gameOverFrame(false);
    // The display above may differ: drawn again, it counts the lives as the
    // game ended rather than as its last frame of play did.
    int differ = 0;
    for (int y = Hud::kBandBottom + 1; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            const std::size_t at = std::size_t(y) * 1024 + std::size_t(x);
            differ += shown[at] != faded[at] ? 1 : 0;
        }
    }
    EXPECT_EQ(differ, 0) << "pixels of the guide stayed on the game-over screen";
}

} // namespace
