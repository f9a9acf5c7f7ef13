// The kept autopilot game, replayed from its recording, must pass through
// the world states stored beside it. Any change to how the game plays shows
// here as the first point that differs; `make replay-update` re-records the
// game and stores its states afresh, on purpose.
#include "host/WholeRun.h"

#include <gtest/gtest.h>

#include "display/Run.h"
#include "game/Rules.h"
#include "support/TempDir.h"
#include "util/Sha256.h"

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

// The expected file's `rules N DIGEST` line: the rules version the states
// were stored under, and the digest of the states it was first stored with.
struct RulesLine {
    std::uint32_t version = 0;
    std::string digest;
};

std::vector<Point> ParseExpected(const std::string& text, RulesLine* rules = nullptr) {
    std::vector<Point> points;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto space = line.find(' ');
        if (line.empty() || line[0] == '#' || space == std::string::npos) {
            continue;
        }
        if (line.rfind("rules ", 0) == 0) {
            std::istringstream words(line.substr(6));
            RulesLine read;
            if (rules != nullptr && words >> read.version >> read.digest) {
                *rules = read;
            }
            continue;
        }
        points.push_back({line.substr(0, space), line.substr(space + 1)});
    }
    return points;
}

std::string StatesDigest(const std::vector<Point>& points) {
    Util::Sha256 digest;
    for (const auto& p : points) {
        digest.Add(p.at + " " + p.state + "\n");
    }
    return digest.HexDigest();
}

// States stored afresh under the same rules version keep the digest of the
// old ones, so the check below fails until the version is bumped.
RulesLine RulesFor(const std::vector<Point>& points, const RulesLine& before) {
    if (before.version == Morvek::kRulesVersion) {
        return before;
    }
    return {Morvek::kRulesVersion, StatesDigest(points)};
}

std::string FormatExpected(const std::vector<Point>& points, const RulesLine& rules) {
    std::string text = "# The world state of the kept autopilot game (autopilot.txt) at moments\n"
                       "# on the way (virtual ms) and at the end. Written by make replay-update.\n"
                       "# rules: the rules version, and the digest of the states it began with.\n";
    text += "rules " + std::to_string(rules.version) + " " + rules.digest + "\n";
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

TEST(RulesVersion, IsBumpedWhenTheKeptStatesChange) {
    const fs::path expectedFile = Recordings() / "autopilot.expected";
    RulesLine rules;
    const auto stored = ParseExpected(ReadText(expectedFile), &rules);
    ASSERT_FALSE(stored.empty());
    ASSERT_NE(rules.version, 0u) << expectedFile
                                 << " has no rules line; make replay-update adds it";
    EXPECT_EQ(rules.version, Morvek::kRulesVersion)
        << expectedFile << " was stored under another rules version; make replay-update";
    EXPECT_EQ(rules.digest, StatesDigest(stored))
        << "The kept game's states changed but the rules version did not: a recording of the "
           "old rules no longer replays to its game. Bump kRulesVersion in src/game/Rules.h and "
           "run make replay-update.";
}

TEST(RulesVersion, StoringAfreshKeepsTheOldDigestUntilTheVersionIsBumped) {
    const std::vector<Point> old{{"100", R"({"score":10})"}, {"end", R"({"score":30})"}};
    auto changed = old;
    changed[1].state = R"({"score":31})";
    const RulesLine first = RulesFor(old, {});
    EXPECT_EQ(first.version, Morvek::kRulesVersion);
    EXPECT_EQ(first.digest, StatesDigest(old));
    EXPECT_NE(StatesDigest(changed), StatesDigest(old));
    // The same version: the stored digest no longer matches the new states.
    EXPECT_EQ(RulesFor(changed, first).digest, first.digest);
    // A bumped one starts from the new states.
    const RulesLine older{Morvek::kRulesVersion - 1, first.digest};
    EXPECT_EQ(RulesFor(changed, older).digest, StatesDigest(changed));
    // And the file keeps the line where the reader finds it.
    RulesLine read;
    EXPECT_EQ(ParseExpected(FormatExpected(changed, first), &read).size(), changed.size());
    EXPECT_EQ(read.version, first.version);
    EXPECT_EQ(read.digest, first.digest);
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
        RulesLine before;
        ParseExpected(ReadText(expectedFile), &before);
        const RulesLine rules = RulesFor(got, before);
        std::ofstream(expectedFile, std::ios::binary) << FormatExpected(got, rules);
        if (rules.digest != StatesDigest(got)) {
            std::printf("the kept game plays differently now: bump kRulesVersion in "
                        "src/game/Rules.h and run make replay-update again\n");
        }
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
