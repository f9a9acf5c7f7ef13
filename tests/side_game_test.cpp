// A second game beside the program's own: its world, options and run are its
// own, so two games taking turns play exactly as each would alone, and the
// program's game never notices them.
#include "display/Layer.h"
#include "display/Run.h"
#include "display/Sync.h"
#include "game/Game.h"
#include "game/RunSettings.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "game/screens/ScoreFile.h"
#include "host/SideGame.h"
#include "host/WholeRun.h"
#include "support/TempDir.h"
#include "util/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Display::Run::InputEvent;

fs::path Recordings() {
    return fs::path(__FILE__).parent_path().parent_path() / "recordings";
}

// A kept recording without its pictures: a test writes no files.
std::vector<InputEvent> Script(const fs::path& file) {
    std::vector<InputEvent> events;
    std::string error;
    EXPECT_TRUE(Display::Run::ReadScript(file.string(), events, error)) << error;
    std::erase_if(events, [](const InputEvent& e) { return e.kind == InputEvent::Shot; });
    return events;
}

std::string State() {
    std::string json = StateDump::StateJson();
    while (!json.empty() && (json.back() == '\n' || json.back() == ' ')) {
        json.pop_back();
    }
    return json;
}

// What a game made of a recording: the states it was asked for, then its end.
struct Played {
    std::vector<std::string> states;
    std::string end;
    std::uint64_t clock = 0;
    std::vector<std::string> frames; // digests of the frames shown at the states
};

std::string FrameDigest() {
    const auto& pixels = Display::Presented().pixels;
    return Util::Sha256Hex(std::string_view(reinterpret_cast<const char*>(pixels.data()),
                                            pixels.size() * sizeof(pixels[0])));
}

// A side game loaded with a recording, the states it writes kept in `into`.
void Load(Program::SideGame& game, const std::vector<InputEvent>& script, Played& into) {
    game.Within([&] {
        Display::Run::SetScript(script);
        std::string error;
        ASSERT_TRUE(Settings::StartFromScript(Display::Run::ScriptOptions(), "script", error))
            << error;
        Display::Run::SetStateWriter([&into](const std::string&, std::string&) {
            into.states.push_back(State());
            into.frames.push_back(FrameDigest());
            return true;
        });
    });
}

void Finish(Program::SideGame& game, Played& into) {
    game.Within([&] {
        into.end = State();
        into.clock = Display::Run::ClockMs();
    });
}

Played Alone(const std::vector<InputEvent>& script) {
    Program::SideGame game;
    Played played;
    Load(game, script, played);
    for (std::uint64_t turns = 0; game.Turn(); ++turns) {
        if (turns > 1'000'000) {
            ADD_FAILURE() << "the game never ended";
            break;
        }
    }
    Finish(game, played);
    return played;
}

class SideGames : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists("Media")) {
            GTEST_SKIP() << "no pictures in the working directory";
        }
        Autopilot::WholeRun::FreshProgram(temp.path / "scores.txt");
    }
    void TearDown() override { Display::Run::Reset(); }
    TestSupport::ScopedTempDir temp{"morvek-side-game"};
};

TEST_F(SideGames, ASideGamePlaysARecordingAsTheProgramDoes) {
    const auto script = Script(Recordings() / "autopilot.txt");
    const auto program = Autopilot::WholeRun::RunProgram(temp.path / "scores.txt", [&] {
        Display::Run::SetScript(script);
        std::string error;
        ASSERT_TRUE(Settings::StartFromScript(Display::Run::ScriptOptions(), "script", error));
    });
    Autopilot::WholeRun::FreshProgram(temp.path / "scores.txt");
    const Played side = Alone(script);
    ASSERT_FALSE(program.empty());
    ASSERT_EQ(program.back().at, "end");
    EXPECT_EQ(side.end, program.back().state);
    ASSERT_EQ(side.states.size() + 1, program.size());
    for (std::size_t i = 0; i < side.states.size(); ++i) {
        EXPECT_EQ(side.states[i], program[i].state) << "state " << i + 1;
    }
}

TEST_F(SideGames, TwoGamesTakingTurnsPlayAsEachAloneAndLeaveTheProgramsOwn) {
    const auto won = Script(Recordings() / "autopilot.txt");
    const auto screens = Script(Recordings() / "sessions" / "every-screen.txt");
    const Played wonAlone = Alone(won);
    const Played screensAlone = Alone(screens);

    // The program's own game, not started, with an option of its own.
    Game::options.difficulty = Morvek::Difficulty::Easy;
    const std::string before = State();

    Program::SideGame first, second;
    Played wonTurns, screensTurns;
    Load(first, won, wonTurns);
    Load(second, screens, screensTurns);
    bool firstOn = true, secondOn = true;
    for (std::uint64_t turns = 0; (firstOn || secondOn) && turns < 2'000'000; ++turns) {
        // Uneven turns, so neither game's waits line up with the other's.
        firstOn = firstOn && first.Turn();
        if (turns % 3 != 0) {
            secondOn = secondOn && second.Turn();
        }
    }
    Finish(first, wonTurns);
    Finish(second, screensTurns);

    EXPECT_EQ(wonTurns.states, wonAlone.states);
    EXPECT_EQ(wonTurns.end, wonAlone.end);
    EXPECT_EQ(wonTurns.clock, wonAlone.clock);
    EXPECT_EQ(wonTurns.frames, wonAlone.frames);
    EXPECT_EQ(screensTurns.states, screensAlone.states);
    EXPECT_EQ(screensTurns.end, screensAlone.end);
    EXPECT_EQ(screensTurns.clock, screensAlone.clock);
    EXPECT_EQ(screensTurns.frames, screensAlone.frames);
    EXPECT_NE(wonAlone.end, screensAlone.end);

    EXPECT_EQ(State(), before);
    EXPECT_EQ(Display::Run::ClockMs(), 0u);
    EXPECT_FALSE(Display::Run::WindowOpen());
    EXPECT_TRUE(Display::backbuffer.empty()) << "a side game drew on the program's";
    EXPECT_EQ(Game::options.difficulty, Morvek::Difficulty::Easy);
    EXPECT_EQ(Morvek::world.score, 0u);
    // The won game saved its name, into a table of its own.
    EXPECT_FALSE(fs::exists(temp.path / "scores.txt"));
    EXPECT_EQ(Morvek::scorefile, (temp.path / "scores.txt").string());
}

} // namespace
