// What a hit looks like, seen only in the frames: the dragon flashes and the
// field shakes under a display that stays put, a lost life flares the field,
// and the game's states are the same whether any frame is drawn or not.
#include "ScreenRun.h"

#include "game/Step.h"
#include "game/combat/HitLooks.h"
#include "game/combat/KeyGuide.h"
#include "game/core/Catalogue.h"
#include "game/core/Hud.h"
#include "game/core/StateDump.h"
#include "host/Loop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace Morvek;

namespace {

using TestPictures::Frame;
using TestPictures::Grab;

using TestPictures::At;

// Pixels near white: what the dragon's flash and the first flare show.
int Whitish(const Frame& f, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const std::uint32_t v = At(f, x, y);
            n += (v & 0xFF) > 215 && ((v >> 8) & 0xFF) > 190 && ((v >> 16) & 0xFF) > 200;
        }
    }
    return n;
}

// Mean of one channel over the field below the display (0 red, 8 blue, 16 green).
double Mean(const Frame& f, int shift) {
    double sum = 0;
    int n = 0;
    for (int y = Hud::kBandBottom + 20; y < 768; y += 7) {
        for (int x = 0; x < 1024; x += 7) {
            sum += (At(f, x, y) >> shift) & 0xFF;
            ++n;
        }
    }
    return sum / n;
}

// The display's letters: the pixels of its text colour in its band.
std::vector<std::size_t> Letters(const Frame& f) {
    std::vector<std::size_t> at;
    for (int y = 0; y <= Hud::kBandBottom; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (At(f, x, y) == Hud::kTextColor) {
                at.push_back(std::size_t(y) * 1024 + std::size_t(x));
            }
        }
    }
    return at;
}

class HitLooks : public ::testing::Test {
  protected:
    void SetUp() override {
        TestWorld::NewGameState();
        LoadPictures();
        world.gamesBegun = 1;
        world.backgrounds[1].x = -700;
        Steps::InGame(BattleScene{.at = BattleScene::At::Tick, .fight = {}});
        world.dragon.x = 400;
        world.dragon.y = 400;
        NoteFrame(world);
        world.counter += 1000; // the keys' guide long gone
    }

    // A frame as the host draws it after a step, with nothing moved on.
    Frame Shown() {
        Draw(world);
        return Grab();
    }
};

TEST_F(HitLooks, AHitShakesTheFieldUnderAStillDisplayAndFlashesTheDragon) {
    const Frame calm = Shown();
    EXPECT_EQ(Shown(), calm) << "a frame drawn again without a loss changed";

    world.dragon.health -= 30;
    const Offset shake = Shake(world.looks);
    EXPECT_EQ(shake.dx, 0) << "a shake before the hit was drawn";
    const Frame hit = Shown();
    const Offset moved = Shake(world.looks);
    ASSERT_TRUE(moved.dx != 0 || moved.dy != 0) << "no shake";
    EXPECT_LE(std::abs(moved.dx) + std::abs(moved.dy), 12) << "more than a few pixels";

    // The field, away from the dragon and the edges, moved as a whole.
    int differ = 0;
    for (int y = 120; y < 740; y += 3) {
        for (int x = 20; x < 1000; x += 3) {
            if (std::abs(x - 400) < 60 && std::abs(y - 400) < 60) {
                continue;
            }
            differ += At(hit, x, y) != At(calm, x - moved.dx, y - moved.dy);
        }
    }
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(Letters(hit), Letters(calm)) << "the display shook with the field";
    EXPECT_GT(Whitish(hit, 370, 370, 430, 430), 200 + Whitish(calm, 370, 370, 430, 430))
        << "the dragon did not flash";

    // It settles within a few frames, and the frame is the calm one again
    // but for the shorter health bar.
    for (int i = 0; i < 12; ++i) {
        Shown();
    }
    const Frame after = Shown();
    EXPECT_EQ(Shake(world.looks).dx, 0);
    EXPECT_EQ(Shake(world.looks).dy, 0);
    for (int y = Hud::kBandBottom + 1; y < 768; y += 2) {
        for (int x = 0; x < 1024; x += 2) {
            ASSERT_EQ(At(after, x, y), At(calm, x, y)) << "at " << x << "," << y;
        }
    }
}

TEST_F(HitLooks, ALostLifeFlaresTheFieldWhiteThenRedAndItFades) {
    const Frame calm = Shown();
    world.dragon.health = 0; // the frame a life is lost in
    const Frame flash = Shown();
    EXPECT_GT(Mean(flash, 8) + Mean(flash, 16), Mean(calm, 8) + Mean(calm, 16) + 40)
        << "no white flash";
    world.dragon.health = 100; // the lives count it a step later: the same loss
    --world.dragon.lives;
    Shown();
    const Frame red = Shown();
    EXPECT_GT(Mean(red, 0) - Mean(red, 16), Mean(calm, 0) - Mean(calm, 16) + 40) << "no red";
    EXPECT_EQ(Letters(red), Letters(calm)) << "the flare covered the display";
    for (int i = 0; i < 20; ++i) {
        Shown();
    }
    EXPECT_LT(std::abs(Mean(Shown(), 0) - Mean(calm, 0)), 1) << "the flare stayed";
}

TEST_F(HitLooks, GainsANewGameAndSteadyHealthShowNothing) {
    const Frame calm = Shown();
    world.dragon.health = 50;
    world.looks.health = 40; // as if a heart was picked up since the last frame
    Shown();
    EXPECT_EQ(Shake(world.looks).dx, 0);
    EXPECT_EQ(world.looks.hitAt, 0u);

    // The last game ended with no health and no lives; the next starts whole.
    world.looks.health = 0;
    world.looks.lives = 0;
    world.dragon.health = 100;
    world.dragon.lives = 4;
    ++world.gamesBegun;
    const Frame fresh = Shown();
    EXPECT_EQ(world.looks.lostAt, 0u);
    EXPECT_EQ(world.looks.hitAt, 0u);
    EXPECT_EQ(Shake(world.looks).dx, 0);
    // No flare: the field above the keys' guide, which the new game brings, is as it was.
    for (int y = Hud::kBandBottom + 1; y < 560; y += 3) {
        for (int x = 0; x < 1024; x += 3) {
            ASSERT_EQ(At(fresh, x, y), At(calm, x, y)) << "at " << x << "," << y;
        }
    }
}

// ---- The same game, drawn or not ----

// The program from its start through New game and a stretch of play with no
// input: the dragon is hit and loses lives. Every step's state and wait.
struct PlayedRun {
    std::vector<std::string> states;
    bool guideShown = false;
    bool hitShown = false;
    bool shaken = false;
};

PlayedRun Play(bool draw, int steps) {
    using namespace ScreenRun;
    TestWorld::Fresh();
    testing::internal::CaptureStdout(); // Start's empty line
    Start(world);
    testing::internal::GetCapturedStdout();
    Display::Run::Apply(Move(0, 150, 175));
    Display::Run::Apply(Down(0));
    PlayedRun run;
    bool up = false;
    for (int i = 0; i < steps; ++i) {
        const Wait wait = Step(world);
        run.states.push_back(StateDump::StateJson() + std::to_string(static_cast<int>(wait.kind)) +
                             " " + std::to_string(wait.ms));
        if (wait.kind == Wait::Kind::Quit) {
            break;
        }
        if (draw) {
            Draw(world);
            run.guideShown = run.guideShown || KeyGuideAlpha(world) == 255;
            run.hitShown = run.hitShown || world.looks.hitAt != 0 || world.looks.lostAt != 0;
            const Offset s = Shake(world.looks);
            run.shaken = run.shaken || s.dx != 0 || s.dy != 0;
            Display::UpdateWindow();
        }
        if (!up && world.mode == Mode::Wave) {
            Display::Run::Apply(Up(0));
            up = true;
        }
        Program::Perform(wait);
        if (Display::Run::EndAsked()) {
            break;
        }
    }
    Display::Run::Reset();
    return run;
}

TEST(HitLooksOnTheRules, AGameRunsTheSameWhetherItsFramesAreDrawnOrNot) {
    const PlayedRun drawn = Play(true, 600);
    const PlayedRun bare = Play(false, 600);
    ASSERT_TRUE(drawn.guideShown) << "the run never showed the keys";
    ASSERT_TRUE(drawn.hitShown) << "the run never lost health: it checks nothing";
    ASSERT_TRUE(drawn.shaken);
    ASSERT_EQ(drawn.states.size(), bare.states.size());
    for (std::size_t i = 0; i < drawn.states.size(); ++i) {
        ASSERT_EQ(drawn.states[i], bare.states[i]) << "step " << i;
    }
}

} // namespace
