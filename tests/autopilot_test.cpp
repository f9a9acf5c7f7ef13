// The autopilot: how it keeps off the game's walls, dodges and aims, and a
// whole game played by it that a replay of its recording reproduces exactly.
#include "display/Run.h"
#include "game/autopilot/Autopilot.h"
#include "game/autopilot/Policy.h"
#include "game/combat/Enemies.h"
#include "game/combat/Field.h"
#include "game/core/EnemyKinds.h"
#include "game/core/World.h"
#include "host/Loop.h"
#include "host/WholeRun.h"
#include "support/Pictures.h"
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

class AutopilotPolicy : public ::testing::Test {
  protected:
    void SetUp() override {
        TestWorld::NewGameState();
        world.dragon.x = 200;
        world.dragon.y = 400;
    }
    Controls Decide() { return Autopilot::Decide(memory); }
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

TEST_F(AutopilotPolicy, SparesTheBeamForWhatItHurtsAndHuntsTheCastleLast) {
    // A castle on the dragon's line: the beam would pass it by.
    CreateEnemy(700, 400, 1, EnemyType::kCastle, 0);
    const Controls c = Decide();
    EXPECT_FALSE(c.beam);
    EXPECT_FALSE(c.up || c.down) << "lined up with the castle, nothing else about";
    // A ghost further off and higher up still comes first: the castle never
    // holds up the wave.
    CreateEnemy(900, 250, 2, 2, 0);
    EXPECT_TRUE(Decide().up);
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

TEST_F(AutopilotPolicy, StaysOffTheWallsTheGameKillsWith) {
    world.backgrounds[1].x = 0;
    // A floor rising to y = 380 from column 230 on: the dragon at 400 must climb.
    TestPictures::SetDeadlyArea(1, [](int c, int y) { return c >= 230 && y >= 380; });
    for (int tick = 1; tick <= 16; ++tick) {
        const Controls c = Decide();
        world.dragon.x += c.left ? -10 : (c.right ? 10 : 0);
        world.dragon.y += c.up ? -10 : (c.down ? 10 : 0);
        ScrollBackground();
        DeadlyContacts();
        ASSERT_EQ(world.dragon.health, 100) << "the dragon ran into the wall at tick " << tick;
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
        Program::StartAutopilot({});
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
