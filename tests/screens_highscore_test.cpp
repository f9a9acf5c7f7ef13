// The highscore screen's own buttons: the switch to the leaderboard's table,
// whose rows come from the host and are drawn only, and the host's screens
// (replays, online name) asked once the choosing press is let go.
#include "ScreenRun.h"

#include "game/core/StateDump.h"
#include "game/screens/Layout.h"
#include "game/screens/OnlineBoard.h"
#include "host/GameCourse.h"

#include <gtest/gtest.h>

using namespace Morvek;
using namespace ScreenRun;
namespace L = Morvek::Layout;

namespace {

constexpr std::uint32_t kRight = 0x27, kReturnKey = 0x0D, kEscapeKey = 0x1B;

InputEvent Press(std::uint64_t ms, std::uint32_t code) {
    return {ms, InputEvent::KeyDown, code, 0, 0, {}};
}
InputEvent Release(std::uint64_t ms, std::uint32_t code) {
    return {ms, InputEvent::KeyUp, code, 0, 0, {}};
}

// A click at the middle of `r`, held from `ms` for `held` ms.
void Click(Events& e, std::uint64_t ms, L::Rect r, std::uint64_t held = 30) {
    e.push_back(Move(ms, (r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2));
    e.push_back(Down(ms));
    e.push_back(Up(ms + held));
}

const ReturnScene* Shown() {
    for (std::size_t i = world.scenes.Size(); i-- > 0;) {
        if (const auto* s = std::get_if<ReturnScene>(&world.scenes.At(i))) {
            return s;
        }
    }
    return nullptr;
}

OnlineBoard Board(std::uint64_t news, std::vector<OnlineRow> rows = {}, std::string status = "") {
    OnlineBoard b;
    b.set = true;
    b.news = news;
    b.rows = std::move(rows);
    b.status = std::move(status);
    return b;
}

class Highscores : public Fixture {
  protected:
    void SetUp() override {
        Fixture::SetUp();
        world.tickMs = 60;
    }
    void TearDown() override {
        SetOnlineSource({});
        Fixture::TearDown();
    }
    // A source that counts its calls and answers `board`.
    void Source(OnlineBoard board) {
        SetOnlineSource([this, board](const std::string& name) {
            asked.push_back(name);
            return board;
        });
    }
    std::vector<std::string> asked;
};

} // namespace

TEST_F(Highscores, OnlineSwitchesTheTableAndBackAndAHeldClickSwitchesOnce) {
    Source(Board(1, {{1, "ASH", 4200, true}}));
    Events e;
    Click(e, 20, L::kOnlineButton, 300); // held for 15 polls
    ASSERT_TRUE(Hold(e, ReturnScene{.screen = Mode::Highscores}, 400));
    ASSERT_NE(Shown(), nullptr);
    EXPECT_TRUE(Shown()->online);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), "easy-slow") << "the board of the difficulty and speed chosen";
    EXPECT_EQ(world.asked, HostAsk::None);

    Events back;
    Click(back, 20, L::kOnlineButton);
    ASSERT_TRUE(Hold(back, *Shown(), 200));
    EXPECT_FALSE(Shown()->online);
}

TEST_F(Highscores, TheBoardsNewsRedrawsTheScreenAndChangesNoState) {
    const auto run = [this](OnlineBoard board) {
        TestWorld::Fresh();
        world.tickMs = 60;
        Source(board);
        Display::Run::Reset();
        ReturnScene online{.screen = Mode::Highscores, .online = true};
        EXPECT_TRUE(Hold({}, online, 200));
        return StateDump::StateJson();
    };
    const std::string empty = run(Board(1));
    std::uint64_t news = 1;
    SetOnlineSource([&news](const std::string&) { return Board(news, {}, "Asking"); });
    TestWorld::Fresh();
    world.tickMs = 60;
    Display::Run::Reset();
    EXPECT_TRUE(Hold({}, ReturnScene{.screen = Mode::Highscores, .online = true}, 100));
    EXPECT_EQ(world.looks.boardShown, 1u);
    news = 2;
    EXPECT_TRUE(Hold({}, *Shown(), 60));
    EXPECT_EQ(world.looks.boardShown, 2u) << "the answer is drawn as it arrives";
    const std::string full = run(Board(7, {{1, "ASH", 4200, true}, {2, "EMBER", 300, false}}));
    EXPECT_EQ(empty, full) << "what the server says is drawn, never part of the game's states";
}

TEST_F(Highscores, ReplaysAndNameAskTheHostOnlyOnceTheClickIsLetGo) {
    Source(Board(1));
    Events held;
    held.push_back(Move(20, 265, 690));
    held.push_back(Down(20));
    ASSERT_TRUE(Hold(held, ReturnScene{.screen = Mode::Highscores}, 200));
    EXPECT_EQ(world.asked, HostAsk::None) << "the host's screen would take the release";
    ASSERT_TRUE(Hold({Up(10)}, *Shown(), 100, {}));
    EXPECT_EQ(world.asked, HostAsk::Replays);

    // Name stands only on the leaderboard's table
    world.asked = HostAsk::None;
    Events name;
    Click(name, 20, L::kOnlineNameButton);
    ASSERT_TRUE(Hold(name, ReturnScene{.screen = Mode::Highscores}, 200));
    EXPECT_EQ(world.asked, HostAsk::None);
    ASSERT_TRUE(Hold(name, ReturnScene{.screen = Mode::Highscores, .online = true}, 200));
    EXPECT_EQ(world.asked, HostAsk::OnlineName);
}

TEST_F(Highscores, ArrowsReachEveryButtonAndEscapeLeaves) {
    Source(Board(1));
    // Right: Return lit, then Replays, then Online; Return chooses it
    Events keys;
    for (std::uint64_t ms : {20, 60, 100}) {
        keys.push_back(Press(ms, kRight));
        keys.push_back(Release(ms + 20, kRight));
    }
    keys.push_back(Press(140, kReturnKey));
    keys.push_back(Release(160, kReturnKey));
    ASSERT_TRUE(Hold(keys, ReturnScene{.screen = Mode::Highscores}, 300));
    EXPECT_TRUE(Shown()->online);
    EXPECT_EQ(FrameColour(L::kOnlineButton.x1, L::kOnlineButton.y1), L::kHighlight);

    Events leave{Press(20, kEscapeKey), Release(40, kEscapeKey)};
    EXPECT_TRUE(Finish(leave));
    EXPECT_EQ(Display::Run::Title(), "Morvek");
}

TEST(GameTally, ASessionsGamesEndOnceAndPracticeIsKnownFromTheirStart) {
    Program::GameTally tally;
    World w{};
    w.scenes.Push(MenuScene{});
    const Wait idle{Wait::Kind::Idle, 20};
    const Wait tick{Wait::Kind::Tick, 30};
    EXPECT_FALSE(tally.Follow(w, idle, false)) << "no game yet";

    w.gamesBegun = 1;
    w.scenes.Push(GameScene{});
    EXPECT_FALSE(tally.Follow(w, tick, true));
    EXPECT_TRUE(tally.playing);
    EXPECT_TRUE(tally.practice);
    EXPECT_FALSE(tally.Follow(w, tick, false)) << "practice is the start's, not the options' now";
    EXPECT_TRUE(tally.practice);

    w.scenes.Push(GameOverScene{});
    EXPECT_TRUE(tally.Follow(w, idle, false));
    EXPECT_EQ(tally.game, 1u);
    EXPECT_FALSE(tally.Follow(w, idle, false)) << "one end a game";

    w.scenes = SceneStack{};
    w.scenes.Push(MenuScene{});
    w.scenes.Push(GameScene{});
    w.gamesBegun = 2;
    EXPECT_FALSE(tally.Follow(w, tick, false));
    EXPECT_EQ(tally.game, 2u);
    EXPECT_FALSE(tally.practice) << "a new game starts a new tally";
    EXPECT_FALSE(tally.cheat);
}
