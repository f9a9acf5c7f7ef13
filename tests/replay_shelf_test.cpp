// The Replays screen's list and its replays: which files it lists and in
// what order, what their option lines say, why one can't be played, the best
// scores a headless replay finds (the verifier's), the cache that spares the
// next opening that work, and the replays leaving the program's run as it was.
#include "display/Bindings.h"
#include "display/Run.h"
#include "game/Game.h"
#include "game/Rules.h"
#include "game/RunSettings.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "game/settings/SettingsStore.h"
#include "host/Loop.h"
#include "host/ReplayGame.h"
#include "host/ReplayList.h"
#include "host/Verify.h"
#include "host/WholeRun.h"
#include "support/JsonText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
namespace Shelf = Program::ReplayShelf;
using Program::ReplayGame;

fs::path Recordings() {
    return fs::path(__FILE__).parent_path().parent_path() / "recordings";
}

std::string Get(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

const std::string kRules = "0 option rules " + std::to_string(Morvek::kRulesVersion) + "\n";

// A script of the repository as a kept replay holds it: its rules line first.
std::string AsReplay(const fs::path& script) {
    const std::string text = Get(script);
    return text.find("0 option rules ") == std::string::npos ? kRules + text : text;
}

std::string State() {
    std::string json = StateDump::StateJson();
    while (!json.empty() && (json.back() == '\n' || json.back() == ' ')) {
        json.pop_back();
    }
    return json;
}

// What the verifier says of a recording: each game's score and options.
struct Verified {
    std::vector<std::uint32_t> scores;
    std::string difficulty, speed; // of the first game
};

Verified Verify(const fs::path& file) {
    Autopilot::WholeRun::FreshProgram(fs::temp_directory_path() / "morvek-shelf-unused.txt");
    std::string json, reason;
    const int status = Program::Verify::Run(file.string(), "0", json, reason);
    Display::Run::Reset();
    EXPECT_EQ(status, Program::Verify::kVerified) << reason;
    Verified v;
    const auto games = TestSupport::VerifiedGames(json);
    for (const auto& game : games) {
        v.scores.push_back(static_cast<std::uint32_t>(std::stoul(game.at("score"))));
    }
    if (!games.empty()) {
        v.difficulty = games.front().at("difficulty");
        v.speed = games.front().at("speed");
    }
    return v;
}

// Scores every entry, as the screen does a slice at a time.
void ScoreAll(const fs::path& folder, std::vector<Shelf::Entry>& entries) {
    Shelf::Scorer scorer(folder);
    for (int slices = 0; Shelf::Scorer::Left(entries) && slices < 100'000; ++slices) {
        scorer.Work(entries, std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(Shelf::Scorer::Left(entries));
}

const Shelf::Entry* Find(const std::vector<Shelf::Entry>& entries, std::string_view name) {
    const auto at = std::find_if(entries.begin(), entries.end(),
                                 [name](const Shelf::Entry& e) { return e.name == name; });
    return at == entries.end() ? nullptr : &*at;
}

class ReplayShelf : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists("Media")) {
            GTEST_SKIP() << "no pictures in the working directory";
        }
        Autopilot::WholeRun::FreshProgram(temp.path / "scores.txt");
        fs::create_directory(folder);
    }
    void TearDown() override { Display::Run::Reset(); }

    TestSupport::ScopedTempDir temp{"morvek-shelf"};
    fs::path folder = temp.path / "replays";
};

constexpr std::string_view kTwoGames = "2026-03-04_10-00-00_00.txt";
constexpr std::string_view kThreeGames = "2026-03-04_10-00-00_01.txt";
constexpr std::string_view kOtherRules = "2026-03-05_09-30-00_00.txt";
constexpr std::string_view kBroken = "2026-03-06_18-15-42_00.txt";
constexpr std::string_view kNoGame = "2025-12-31_23-59-59_00.txt";
constexpr std::string_view kEmpty = "2026-03-07_08-00-00_00.txt";

TEST_F(ReplayShelf, ListsOnlyKeptReplaysNewestFirstWithTheirStartOrWhyNot) {
    Put(folder / kTwoGames, AsReplay(Recordings() / "two-games.txt"));
    Put(folder / kThreeGames, AsReplay(Recordings() / "sessions" / "three-games.txt"));
    std::string other = Get(Recordings() / "two-games.txt");
    other.replace(other.find(kRules), kRules.size(), "0 option rules 1\n");
    Put(folder / kOtherRules, other);
    Put(folder / kBroken, kRules + "0 option difficulty hard\n100 mouse move 1 2\n200 jump\n");
    Put(folder / kNoGame,
        kRules + "0 option difficulty easy\n0 option speed slow\n900 key down 77\n");
    Put(folder / kEmpty, "");
    // Not ours: other names, a folder named like a replay, a link to one.
    Put(folder / "notes.txt", kRules);
    Put(folder / (std::string(kTwoGames) + ".bak"), kRules);
    Put(folder / "2026-03-04_10-00-00_0.txt", kRules);
    fs::create_directory(folder / "2026-03-08_00-00-00_00.txt");
    std::error_code linkEc;
    fs::create_symlink(folder / kTwoGames, folder / "2026-03-09_00-00-00_00.txt", linkEc);

    std::vector<Shelf::Entry> entries = Shelf::List(folder);
    std::vector<std::string> names;
    for (const auto& e : entries) {
        names.push_back(e.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{std::string(kEmpty), std::string(kBroken),
                                               std::string(kOtherRules), std::string(kThreeGames),
                                               std::string(kTwoGames), std::string(kNoGame)}));

    const Shelf::Entry& two = *Find(entries, kTwoGames);
    EXPECT_TRUE(two.Playable()) << two.refused;
    EXPECT_FALSE(two.scored);
    EXPECT_EQ(two.difficulty, "normal");
    EXPECT_EQ(two.speed, "fast");
    EXPECT_EQ(two.size, fs::file_size(folder / kTwoGames));
    EXPECT_EQ(two.when, Shelf::LocalTime(kTwoGames));
    // Local time: the day may be the next, the hour and minute anything
    EXPECT_TRUE(two.when.starts_with("2026-03-04 ") || two.when.starts_with("2026-03-05 "))
        << two.when;
    EXPECT_TRUE(two.when.size() == 19 && two.when.ends_with(":00") && two.when[13] == ':')
        << two.when;
    const Shelf::Entry& none = *Find(entries, kNoGame);
    EXPECT_EQ(none.difficulty, "easy");
    EXPECT_EQ(none.speed, "slow");

    const Shelf::Entry& rules = *Find(entries, kOtherRules);
    EXPECT_EQ(rules.refused, "played by rules version 1, this game plays version " +
                                 std::to_string(Morvek::kRulesVersion));
    EXPECT_EQ(Find(entries, kBroken)->refused.rfind("broken at line 4: ", 0), 0u)
        << Find(entries, kBroken)->refused;
    EXPECT_FALSE(Find(entries, kEmpty)->Playable());

    // The scores, as the verifier finds them; a session without a game has none.
    ScoreAll(folder, entries);
    for (const auto name : {kTwoGames, kThreeGames}) {
        const Verified v = Verify(folder / name);
        const Shelf::Entry& e = *Find(entries, name);
        ASSERT_FALSE(v.scores.empty());
        ASSERT_TRUE(e.best.has_value()) << name;
        EXPECT_EQ(*e.best, *std::max_element(v.scores.begin(), v.scores.end())) << name;
        EXPECT_EQ(e.difficulty, v.difficulty);
        EXPECT_EQ(e.speed, v.speed);
    }
    EXPECT_GT(*Find(entries, kThreeGames)->best, 0u);
    EXPECT_TRUE(Find(entries, kNoGame)->scored);
    EXPECT_FALSE(Find(entries, kNoGame)->best.has_value());
    EXPECT_EQ(Find(entries, kNoGame)->difficulty, "easy");
    EXPECT_FALSE(Find(entries, kOtherRules)->scored) << "a refused replay is never played";
}

TEST_F(ReplayShelf, TheFirstGamesOptionsAreShownOnceScoredAndABrokenTailIsFoundThen) {
    // Chosen on the options screen: the start says normal and fast.
    Put(folder / kTwoGames, kRules + "0 option difficulty normal\n0 option speed fast\n" +
                                Get(Recordings() / "sessions" / "every-screen.txt"));
    // Past the start the list reads.
    const std::string whole = Get(Recordings() / "autopilot.txt");
    ASSERT_GT(whole.size(), 16u * 1024);
    Put(folder / kBroken, whole + "99999 key down 0x20 0x20\n");
    std::vector<Shelf::Entry> entries = Shelf::List(folder);
    EXPECT_EQ(Find(entries, kTwoGames)->difficulty, "normal");
    EXPECT_TRUE(Find(entries, kBroken)->Playable()) << "its start reads well";
    ScoreAll(folder, entries);
    EXPECT_EQ(Find(entries, kTwoGames)->difficulty, "hard");
    EXPECT_EQ(Find(entries, kTwoGames)->speed, "slow");
    const std::string line = std::to_string(std::count(whole.begin(), whole.end(), '\n') + 1);
    EXPECT_EQ(Find(entries, kBroken)->refused.rfind("broken at line " + line + ": ", 0), 0u)
        << Find(entries, kBroken)->refused;
    // ... and the next opening knows it without replaying.
    EXPECT_EQ(Shelf::List(folder), entries);
}

TEST_F(ReplayShelf, TheCacheSparesTheReplayUntilTheFileGrows) {
    const std::string replay = AsReplay(Recordings() / "two-games.txt");
    Put(folder / kTwoGames, replay);
    std::vector<Shelf::Entry> entries = Shelf::List(folder);
    ScoreAll(folder, entries);
    const std::uint32_t best = entries.at(0).best.value();
    ASSERT_TRUE(fs::exists(folder / Shelf::kCacheName));

    // A cache saying otherwise is believed while the size is the same: the
    // list reads it, and replays nothing.
    std::string cache = Get(folder / Shelf::kCacheName);
    const std::string said = " game " + std::to_string(best) + " ";
    ASSERT_NE(cache.find(said), std::string::npos) << cache;
    cache.replace(cache.find(said), said.size(), " game 4242 ");
    Put(folder / Shelf::kCacheName, cache);
    entries = Shelf::List(folder);
    EXPECT_TRUE(entries.at(0).scored);
    EXPECT_EQ(entries.at(0).best, 4242u);

    // The session went on: the file grew, and is replayed again.
    Put(folder / kTwoGames, replay + "40000 key down 0x1B\n");
    entries = Shelf::List(folder);
    EXPECT_FALSE(entries.at(0).scored);
    ScoreAll(folder, entries);
    EXPECT_EQ(entries.at(0).best, best);

    // A cache of another rules version, or garbage, is no cache.
    std::string other = Get(folder / Shelf::kCacheName);
    other.replace(other.find("(rules "), 8, "(rules 0");
    Put(folder / Shelf::kCacheName, other);
    EXPECT_FALSE(Shelf::List(folder).at(0).scored);
    Put(folder / Shelf::kCacheName, std::string(5000, '\xff') + "\n\0\n");
    EXPECT_FALSE(Shelf::List(folder).at(0).scored);
    EXPECT_TRUE(Shelf::List(temp.path / "none").empty()) << "a missing folder lists nothing";
}

// What a replay in a side game comes to, and the program's run around it.
TEST_F(ReplayShelf, AReplayPlaysAsTheProgramDoesAndLeavesTheProgramsRunAsItWas) {
    const fs::path two = folder / kTwoGames, screens = folder / kThreeGames;
    Put(two, AsReplay(Recordings() / "two-games.txt"));
    Put(screens, AsReplay(Recordings() / "sessions" / "every-screen.txt"));

    // The program replaying it itself, to the end, as WholeRun does; its
    // states kept, and `afterStep` called between its steps, where the
    // program's loop opens the Replays screen.
    const auto Program = [&](const fs::path& file, const std::function<void()>& setup,
                             const Program::StepWatch& afterStep) {
        Autopilot::WholeRun::FreshProgram(temp.path / "scores.txt");
        std::vector<std::string> states;
        Display::Run::SetStateWriter([&states](const std::string&, std::string&) {
            states.push_back(State());
            return true;
        });
        std::vector<Display::Run::InputEvent> events;
        std::string error;
        EXPECT_TRUE(Display::Run::ReadScript(file.string(), events, error)) << error;
        std::erase_if(events,
                      [](const auto& e) { return e.kind == Display::Run::InputEvent::Shot; });
        Display::Run::SetScript(std::move(events));
        EXPECT_TRUE(Settings::StartFromScript(Display::Run::ScriptOptions(), "script", error));
        setup();
        EXPECT_TRUE(Program::Play(afterStep));
        states.push_back(State());
        Display::Run::Reset();
        return states;
    };
    const auto alone = Program(two, [] {}, {});

    Autopilot::WholeRun::FreshProgram(temp.path / "scores.txt");
    ReplayGame side;
    std::string why;
    ASSERT_TRUE(side.Load(two, why)) << why;
    while (side.Turn()) {
    }
    const std::string end = side.Game().Within([] { return State(); });
    ASSERT_FALSE(alone.empty());
    EXPECT_EQ(end, alone.back());

    // The program's run with a settings file and bindings of its own; in its
    // middle a replay that visits the options and Controls screens, and the
    // scoring of the folder. Its states are the same as without them.
    const fs::path settings = temp.path / "settings.ini";
    Put(settings, "difficulty = easy\nkey-fire = Z\n");
    const std::string kept = Get(settings);
    std::uint32_t steps = 0;
    bool visited = false;
    auto keys = Display::Bindings::Defaults();
    ASSERT_TRUE(Display::Bindings::Bind(keys, 4, 'Z'));
    const auto interrupted = Program(
        two,
        [&] {
            Settings::Open(settings.string());
            Display::Bindings::Use(keys);
        },
        [&](const Morvek::Wait&) {
            if (++steps != 40 || visited) {
                return;
            }
            visited = true;
            const auto stored = Settings::Stored();
            ReplayGame replay;
            std::string whyNot;
            ASSERT_TRUE(replay.Load(screens, whyNot)) << whyNot;
            while (replay.Turn()) {
            }
            EXPECT_EQ(replay.Difficulty(), "hard");
            std::vector<Shelf::Entry> entries = Shelf::List(folder);
            ScoreAll(folder, entries);
            EXPECT_EQ(Display::Bindings::InUse(), keys);
            EXPECT_TRUE(Settings::Stored() == stored);
        });
    Settings::Close();
    EXPECT_TRUE(visited);
    EXPECT_EQ(Get(settings), kept) << "a replay's options reached the player's settings";
    ASSERT_EQ(interrupted.size(), alone.size());
    for (std::size_t i = 0; i < alone.size(); ++i) {
        EXPECT_EQ(interrupted[i], alone[i]) << "state " << i + 1;
    }
}

} // namespace
