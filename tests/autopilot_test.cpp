// The autopilot: where its walls are, how it dodges and aims, and a whole game
// played by it that a replay of its recording reproduces exactly.
#include "display/Run.h"
#include "game/autopilot/Autopilot.h"
#include "game/autopilot/Policy.h"
#include "host/WholeRun.h"
#include "game/combat/Enemies.h"
#include "game/core/World.h"
#include "support/TempDir.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace Morvek;
using Autopilot::Controls;
using Autopilot::Memory;
using Autopilot::Terrain;

constexpr std::int32_t kLoop = 2 * Terrain::kWidth;

// A level whose strip is black wherever `black(column, y)` says.
template <typename F> Terrain With(std::uint32_t lvl, F black) {
    Terrain t;
    Terrain::Strip strip(static_cast<std::size_t>(kLoop) * Terrain::kHeight, false);
    for (std::int32_t y = 0; y < Terrain::kHeight; ++y) {
        for (std::int32_t c = 0; c < kLoop; ++c) {
            strip[static_cast<std::size_t>(y) * kLoop + c] = black(c, y);
        }
    }
    t.Set(lvl, std::move(strip));
    return t;
}

TEST(AutopilotTerrain, FollowsTheScrollAcrossBothPicturesAndTheWrap) {
    const Terrain t = With(2, [](std::int32_t c, std::int32_t) { return c == 12 || c == 1500; });
    EXPECT_TRUE(t.Deadly(2, 0, 12, 300));
    EXPECT_FALSE(t.Deadly(2, 0, 13, 300));
    EXPECT_TRUE(t.Deadly(2, -7, 5, 300)) << "scrolled 7 left, column 12 stands at x = 5";
    EXPECT_FALSE(t.Deadly(2, -7, 12, 300));
    EXPECT_TRUE(t.Deadly(2, -1000, 500, 300)) << "the mirror picture's column 476";
    EXPECT_TRUE(t.Deadly(2, -2040, 20, 300)) << "past the loop's end the first picture returns";
    EXPECT_FALSE(t.Deadly(1, 0, 12, 300)) << "a level without pictures has no walls";
    EXPECT_TRUE(t.Deadly(2, 0, 13, -1)) << "outside the window reads black, as the layer does";
    // Right at the window's edges: the last row and column are the picture's,
    // the next ones outside.
    EXPECT_FALSE(t.Deadly(2, 0, 1023, 767));
    EXPECT_TRUE(t.Deadly(2, 0, 1024, 300));
    EXPECT_TRUE(t.Deadly(2, 0, 500, 768));
    EXPECT_TRUE(t.Deadly(2, 0, -1, 300));
}

class AutopilotPolicy : public ::testing::Test {
  protected:
    void SetUp() override {
        TestWorld::NewGameState();
        world.dragon.x = 200;
        world.dragon.y = 400;
    }
    Controls Decide(const Terrain& t = {}) { return Autopilot::Decide(t, memory); }
    Memory memory;
};

TEST_F(AutopilotPolicy, LinesUpWithTheEnemyAheadAndFires) {
    CreateEnemy(700, 250, 1, 2, 0);
    const Controls c = Decide();
    EXPECT_TRUE(c.up);
    EXPECT_FALSE(c.down);
    EXPECT_TRUE(c.fire);
    EXPECT_FALSE(c.beam) << "nothing on the dragon's line yet";
    world.enemies[1].y = 405;
    EXPECT_TRUE(Decide().beam);
}

TEST_F(AutopilotPolicy, LeavesTheLineOfAShotComingStraightAtIt) {
    world.dragon.x = 40; // no room to back away
    world.bullets[1] = {-15, 0, 110, 400, 5, true, 1};
    const Controls c = Decide();
    EXPECT_TRUE(c.up || c.down) << "a shot 70 px ahead on the dragon's line";
}

TEST_F(AutopilotPolicy, GivesAShotGoingPastABerthBeyondItsReach) {
    // A ghost to line up with above, and a shot on its way between them: the
    // dragon climbs, but not to within a hair of the shot.
    CreateEnemy(700, 340, 2, 2, 0);
    world.bullets[1] = {-15, 0, 350, 364, 5, true, 1};
    float nearest = 1000;
    for (int tick = 0; tick < 16; ++tick) {
        const Controls c = Decide();
        world.dragon.x += c.left ? -10 : (c.right ? 10 : 0);
        world.dragon.y += c.up ? -10 : (c.down ? 10 : 0);
        world.bullets[1].x += world.bullets[1].speedX;
        nearest = std::min(nearest, std::hypot(world.bullets[1].x - world.dragon.x,
                                               world.bullets[1].y - world.dragon.y));
    }
    EXPECT_GE(nearest, 40); // it hits within 30
}

TEST_F(AutopilotPolicy, ShieldsWhenNoMoveEscapesAndKeepsItUpAWhile) {
    // A ring of shots closing in from every side.
    std::uint32_t slot = 1;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx != 0 || dy != 0) {
                world.bullets[slot++] = {
                    -12.0f * dx, -12.0f * dy, 200 + 40.0f * dx, 400 + 40.0f * dy, 5, true, 1};
            }
        }
    }
    EXPECT_TRUE(Decide().shield);
    for (const std::uint32_t i : Slots(world.bullets)) {
        world.bullets[i].state = false;
    }
    EXPECT_TRUE(Decide().shield) << "released at once the key would be pressed again and again";
}

TEST_F(AutopilotPolicy, StaysOffTheWallsComingTowardIt) {
    world.backgrounds[1].x = 0;
    // A floor rising to y = 380 from column 230 on: the dragon at 400 must climb.
    const Terrain t = With(1, [](std::int32_t c, std::int32_t y) { return c >= 230 && y >= 380; });
    for (int tick = 1; tick <= 16; ++tick) {
        const Controls c = Decide(t);
        world.dragon.x += c.left ? -10 : (c.right ? 10 : 0);
        world.dragon.y += c.up ? -10 : (c.down ? 10 : 0);
        world.backgrounds[1].x -= 7;
        ASSERT_FALSE(t.Deadly(1, world.backgrounds[1].x, static_cast<std::int32_t>(world.dragon.x),
                              static_cast<std::int32_t>(world.dragon.y)))
            << "the dragon ran into the wall at tick " << tick;
    }
    EXPECT_LT(world.dragon.y, 380);
}

// Reads the lines of a recording.
std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(AutopilotGame, WinsAWholeGameThatItsRecordingReplaysExactly) {
    if (!fs::exists("Media")) {
        GTEST_SKIP() << "no pictures in the working directory";
    }
    const TestSupport::ScopedTempDir temp("morvek-autopilot-test");
    const fs::path& dir = temp.path;
    const fs::path recording = dir / "game.txt";
    const auto played = Autopilot::WholeRun::RunProgram(dir / "scores.txt", [&] {
        Autopilot::Start({});
        ASSERT_TRUE(Display::Run::SetRecord(recording.string()));
    });
    const Autopilot::Summary s = Autopilot::Result();
    EXPECT_EQ(played.back().at, "end") << "the autopilot must leave by the End button";
    EXPECT_EQ(s.games, 1u);
    EXPECT_EQ(s.levelReached, 3u);
    EXPECT_TRUE(s.won);
    EXPECT_GT(s.score, 0u);
    const auto saved = Lines(dir / "scores.txt");
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved[0].rfind("ROBOTIC", 0), 0u) << "the won game's name goes first";

    // Only input: keys and the mouse, the way a player makes it.
    const auto lines = Lines(recording);
    ASSERT_FALSE(lines.empty());
    for (const auto& line : lines) {
        ASSERT_TRUE(line.find(" key ") != std::string::npos ||
                    line.find(" mouse ") != std::string::npos)
            << line;
    }

    std::ostringstream text;
    text << std::ifstream(recording).rdbuf(); // closed at once: Windows removes no open file
    std::vector<Display::Run::InputEvent> events;
    std::string error;
    ASSERT_TRUE(Display::Run::ParseScript(text.str(), recording.string(), events, error)) << error;
    const auto replayed = Autopilot::WholeRun::RunProgram(
        dir / "scores.txt", [&] { Display::Run::SetScript(std::move(events)); });
    EXPECT_EQ(replayed.back().at, "end");
    EXPECT_EQ(replayed.back().state, played.back().state);
    fs::remove_all(dir);
}

} // namespace
