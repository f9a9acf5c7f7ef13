// The leaderboard and the online name chosen while the program runs, as the
// page's own controls choose them: the board the highscore screen shows
// follows each choice and is drawn anew, a refused address or name changes
// nothing, a name is kept in capitals.
#include "game/core/World.h"
#include "game/screens/OnlineBoard.h"
#include "game/settings/SettingsStore.h"
#include "host/Online.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using Morvek::CurrentBoard;
namespace Online = Program::Online;

class Chosen : public testing::Test {
  protected:
    Chosen() {
        Settings::Close();
        world.tickMs = 60;
        Online::Start({"", data.path, data.path / "session.txt", {}, ""});
    }
    ~Chosen() override {
        Online::UseAddress("", "", why);
        Online::Finish(0);
        Morvek::SetOnlineSource({});
    }

    TestSupport::ScopedTempDir data{"morvek-online-choice"};
    Morvek::World world{};
    std::string why;
};

TEST_F(Chosen, TheBoardFollowsTheLeaderboardChosenAndIsDrawnAnewEachTime) {
    const std::string none = "No leaderboard chosen: see below the game.";
    ASSERT_TRUE(Online::UseAddress("", none, why)) << why;
    const Morvek::OnlineBoard off = CurrentBoard(world);
    EXPECT_FALSE(off.set);
    EXPECT_EQ(off.status, none);

    ASSERT_TRUE(Online::UseAddress("http://127.0.0.1:9/board", none, why)) << why;
    const Morvek::OnlineBoard on = CurrentBoard(world);
    EXPECT_TRUE(on.set);
    EXPECT_EQ(on.status, "Asking the leaderboard...");
    EXPECT_NE(on.news, off.news) << "the screen must redraw for the leaderboard chosen";

    EXPECT_FALSE(Online::UseAddress("http://example.org", none, why)) << "plain http elsewhere";
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(CurrentBoard(world).set) << "a refused address leaves the one in use";

    ASSERT_TRUE(Online::UseAddress("", none, why));
    const Morvek::OnlineBoard again = CurrentBoard(world);
    EXPECT_FALSE(again.set);
    EXPECT_EQ(again.status, none);
    EXPECT_NE(again.news, on.news) << "the screen must redraw once sending stops";
    EXPECT_EQ(CurrentBoard(world).news, again.news) << "and not at every poll after";

    ASSERT_TRUE(Online::UseAddress("", "", why));
    EXPECT_EQ(CurrentBoard(world).status.rfind("No leaderboard is set", 0), 0u)
        << "no line of the page's: the game's own";
}

TEST_F(Chosen, ANameTypedOutsideTheWindowIsKeptInCapitalsAndABadOneChangesNothing) {
    EXPECT_EQ(Online::PlayerName(), "");
    ASSERT_TRUE(Online::ChooseName("Ann", why)) << why;
    EXPECT_EQ(Online::PlayerName(), "ANN");
    EXPECT_EQ(Settings::Stored().playerName, "ANN");
    for (const char* bad : {"", "ann1", "abcdefgh", "a b", "\xc3\xa4"}) {
        why.clear();
        EXPECT_FALSE(Online::ChooseName(bad, why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
    EXPECT_EQ(Online::PlayerName(), "ANN");

    ASSERT_TRUE(Online::UseAddress("http://127.0.0.1:9", "", why)) << why;
    EXPECT_EQ(CurrentBoard(world).name, "ANN") << "the board names the player as chosen";
    ASSERT_TRUE(Online::ChooseName("bo", why));
    EXPECT_EQ(CurrentBoard(world).name, "BO");
}

} // namespace
