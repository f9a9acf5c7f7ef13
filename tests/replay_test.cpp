// The kept autopilot game, replayed from its recording, must pass through
// the world states stored beside it. Any change to how the game plays shows
// here as the first point that differs; `make replay-update` re-records the
// game and stores its states afresh, on purpose.
#include "host/WholeRun.h"

#include <gtest/gtest.h>

#include "display/Run.h"
#include "support/TempDir.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Autopilot::WholeRun::Point;
using Display::Run::InputEvent;

// The repository's kept recordings.
fs::path Recordings() {
    return fs::path(__FILE__).parent_path().parent_path() / "recordings";
}

constexpr std::size_t kPoints = 16; // states checked on the way

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The recording's input, with State events placed before the input of evenly
// spread moments, so each is taken at a sync point the game really passes.
std::vector<InputEvent> WithCheckpoints(std::vector<InputEvent> input) {
    std::vector<InputEvent> out;
    std::size_t next = 1;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const bool due =
            i * kPoints >= next * input.size() && (out.empty() || out.back().ms != input[i].ms);
        if (due) {
            out.push_back({input[i].ms, InputEvent::State, 0, 0, 0, std::to_string(input[i].ms)});
            ++next;
        }
        out.push_back(input[i]);
    }
    return out;
}

std::vector<Point> ParseExpected(const std::string& text) {
    std::vector<Point> points;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto space = line.find(' ');
        if (line.empty() || line[0] == '#' || space == std::string::npos) {
            continue;
        }
        points.push_back({line.substr(0, space), line.substr(space + 1)});
    }
    return points;
}

std::string FormatExpected(const std::vector<Point>& points) {
    std::string text = "# The world state of the kept autopilot game (autopilot.txt) at moments\n"
                       "# on the way (virtual ms) and at the end. Written by make replay-update.\n";
    for (const auto& p : points) {
        text += p.at + " " + p.state + "\n";
    }
    return text;
}

// Where two states part, with a little of what comes before.
std::string FirstDifference(const std::string& want, const std::string& got) {
    std::size_t i = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i]) {
        ++i;
    }
    const std::size_t from = i > 60 ? i - 60 : 0;
    return "expected ..." + want.substr(from, 120) + "\n     got ..." + got.substr(from, 120);
}

// The first point that differs, or "" when all agree.
std::string Compare(const std::vector<Point>& want, const std::vector<Point>& got) {
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (i >= got.size()) {
            return "the replay ended before the point at " + want[i].at;
        }
        if (want[i].at != got[i].at || want[i].state != got[i].state) {
            return "the replay first differs at " + want[i].at + " (point " +
                   std::to_string(i + 1) + " of " + std::to_string(want.size()) + "):\n" +
                   FirstDifference(want[i].at + " " + want[i].state,
                                   got[i].at + " " + got[i].state);
        }
    }
    return got.size() > want.size() ? "the replay has more points than were stored" : "";
}

TEST(ReplayCompare, NamesTheFirstPointThatDiffers) {
    const std::vector<Point> want{
        {"100", R"({"score":10})"}, {"200", R"({"score":20})"}, {"end", R"({"score":30})"}};
    EXPECT_EQ(Compare(want, want), "");
    auto got = want;
    got[1].state = R"({"score":25})";
    got[2].state = R"({"score":35})";
    const std::string diff = Compare(want, got);
    EXPECT_NE(diff.find("differs at 200 (point 2 of 3)"), std::string::npos) << diff;
    EXPECT_NE(diff.find(R"("score":25)"), std::string::npos) << diff;
    got.resize(1);
    EXPECT_NE(Compare(want, got).find("ended before the point at 200"), std::string::npos);
}

TEST(ReplayCompare, CheckpointsFallBeforeTheInputOfTheirMoment) {
    std::vector<InputEvent> input;
    for (std::uint64_t ms = 10; ms <= 400; ms += 10) {
        input.push_back({ms, InputEvent::KeyDown, 0x20, 0, 0, {}});
        input.push_back({ms, InputEvent::KeyUp, 0x20, 0, 0, {}});
    }
    const auto out = WithCheckpoints(input);
    std::size_t states = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i].kind == InputEvent::State) {
            ++states;
            ASSERT_LT(i + 1, out.size());
            EXPECT_EQ(out[i + 1].kind, InputEvent::KeyDown) << "a state split a moment's input";
            EXPECT_EQ(out[i].file, std::to_string(out[i].ms));
        }
    }
    EXPECT_EQ(states, kPoints - 1);
}

TEST(Replay, KeptAutopilotGameReplaysToTheStoredStates) {
    if (!fs::exists("Media")) {
        GTEST_SKIP() << "no pictures in the working directory";
    }
    const fs::path recording = Recordings() / "autopilot.txt";
    const fs::path expectedFile = Recordings() / "autopilot.expected";
    std::vector<InputEvent> events;
    std::string error;
    ASSERT_TRUE(Display::Run::ParseScript(ReadText(recording), recording.string(), events, error))
        << error;
    // Pictures of the demo are not part of the game's state.
    std::erase_if(events, [](const InputEvent& e) { return e.kind == InputEvent::Shot; });
    ASSERT_FALSE(events.empty());

    const auto began = std::chrono::steady_clock::now();
    const TestSupport::ScopedTempDir temp("morvek-replay");
    const auto got = Autopilot::WholeRun::RunProgram(
        temp.path / "scores.txt", [&] { Display::Run::SetScript(WithCheckpoints(events)); });
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("replayed %zu events, %.1f s of game time, in %.2f s\n", events.size(),
                static_cast<double>(events.back().ms) / 1000.0, seconds);

    if (std::getenv("MORVEK_REPLAY_UPDATE") != nullptr) {
        std::ofstream(expectedFile, std::ios::binary) << FormatExpected(got);
        std::printf("stored %zu states in %s\n", got.size(), expectedFile.string().c_str());
        return;
    }
    const auto want = ParseExpected(ReadText(expectedFile));
    ASSERT_FALSE(want.empty()) << "no stored states in " << expectedFile
                               << "; make replay-update writes them";
    const std::string diff = Compare(want, got);
    EXPECT_TRUE(diff.empty())
        << "The game no longer plays the kept game the same way. If the change "
           "is meant, run make replay-update.\n"
        << diff;
    // The kept game is a whole one: won in level 3 and back at the End button.
    EXPECT_EQ(got.back().at, "end");
    EXPECT_NE(got.back().state.find("\"level\":3"), std::string::npos);
}

} // namespace
