// The leaderboard's address and the player's name come from the player's hand:
// only what is sure to go where the player meant is taken.
#include "game/settings/Online.h"
#include "game/settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Online = Settings::Online;

namespace {

std::string Taken(std::string_view address) {
    std::string normal, why;
    return Online::CheckAddress(address, normal, why) ? normal : "refused: " + why;
}

TEST(LeaderboardAddress, ThisMachineInPlainHttpOrAnyHostOverHttps) {
    EXPECT_EQ(Taken("http://127.0.0.1"), "http://127.0.0.1");
    EXPECT_EQ(Taken("http://localhost:8080/"), "http://localhost:8080/");
    EXPECT_EQ(Taken("http://127.0.0.1:8080/api/runs?x=1"), "http://127.0.0.1:8080/api/runs?x=1");
    EXPECT_EQ(Taken("https://board.example.org"), "https://board.example.org");
    EXPECT_EQ(Taken("https://b-1.example.org:65535/m"), "https://b-1.example.org:65535/m");
    // Scheme and host are read as the web reads them, in any case.
    EXPECT_EQ(Taken("HTTP://LocalHost/Board"), "http://localhost/Board");
    EXPECT_EQ(Taken("Https://Example.ORG"), "https://example.org");
}

TEST(LeaderboardAddress, AnythingThatCouldLeadElsewhereIsRefused) {
    for (const std::string bad : {
             "",
             "127.0.0.1",
             "http://example.org",        // plain http off this machine
             "http://127.0.0.10",         // another address that starts alike
             "http://127.0.0.1.evil.com", //
             "http://localhost.evil.com", //
             "http://localhostx",         //
             "http://127.0.0.1@evil.com", // user info: the host is evil.com
             "http://localhost:80@evil.com",
             "https://user:pw@example.org",
             "http://[::1]/", // no literal IPv6
             "ftp://example.org",
             "file:///etc/passwd",
             "javascript:alert(1)",
             "http:/127.0.0.1",
             "https://",
             "https:///path",
             "https://.example.org",
             "https://example..org",
             "https://example.org.",
             "https://-x.org",
             "https://ex_ample.org",
             "http://127.0.0.1:", // ports: 1 to 65535, digits only
             "http://127.0.0.1:0",
             "http://127.0.0.1:65536",
             "http://127.0.0.1:8o",
             "http://127.0.0.1:123456",
             "https://example.org#frag",
             "https://example.org/a#frag",
             "https://example.org\\@evil.com", // a backslash some clients read as /
             "https://example.org/a b",
             "https://example.org/\x1b[2J",
             "https://example.org/\xc3\xa9",
             "https://example.org ", // blanks: the file's own are trimmed before
             " https://example.org",
             "https://example.org\n",
         }) {
        EXPECT_EQ(Taken(bad).substr(0, 9), "refused: ") << bad;
    }
    const std::string longest = "https://example.org/" + std::string(Online::kMaxAddress - 20, 'a');
    EXPECT_EQ(Taken(longest), longest);
    EXPECT_EQ(Taken(longest + "a").substr(0, 9), "refused: ");
    // Refusals quote the address short, without what a terminal acts on.
    const std::string said = Taken("ftp://\x1b[2J" + std::string(5000, 'x'));
    EXPECT_EQ(said.find('\x1b'), std::string::npos);
    EXPECT_LT(said.size(), 200u) << said;
}

// The leaderboard refuses for good any other name: a run sent under one
// would be lost.
TEST(PlayerName, OneToSevenLettersAsTheLeaderboardTakesThem) {
    std::string why;
    for (const std::string good : {"A", "Morvek", "ASHKETC", "zz"}) {
        EXPECT_TRUE(Online::CheckName(good, why)) << good << ": " << why;
    }
    for (const std::string& bad : std::vector<std::string>{
             "", "Ashketch", " Ash", "Ash ", "Ann Lee", "   ", "Ash\tB", "Åsa", "a<b>", "a%20",
             "a/b", "name\n", "R2D2", "ice_q", "a-b", std::string("a\0b", 3)}) {
        EXPECT_FALSE(Online::CheckName(bad, why)) << bad;
    }
}

TEST(LeaderboardSetting, TheFileTakesGoodValuesAndNamesBadOnesByLine) {
    const auto read = Settings::Parse("leaderboard = HTTPS://Board.Example.org/m\n"
                                      "player-name =  Ketchum  \n"
                                      "replays-kept = 0\n");
    EXPECT_TRUE(read.problems.empty());
    EXPECT_EQ(read.values.leaderboard, "https://board.example.org/m");
    EXPECT_EQ(read.values.playerName, "Ketchum");
    EXPECT_EQ(read.values.replaysKept, 0u);

    const auto bad = Settings::Parse("# mine\n"
                                     "leaderboard = http://127.0.0.1@evil.com\n"
                                     "player-name = <script>\n"
                                     "replays-kept = -1\n"
                                     "replays-kept = 10001\n"
                                     "replays-kept = 5x\n"
                                     "leaderboard =\n");
    ASSERT_EQ(bad.problems.size(), 6u);
    for (std::size_t i = 0; i < bad.problems.size(); ++i) {
        EXPECT_EQ(bad.problems[i].line, i + 2);
    }
    EXPECT_NE(bad.problems[0].what.find("no leaderboard"), std::string::npos)
        << bad.problems[0].what;
    EXPECT_EQ(bad.values, Settings::Values{}) << "every bad value leaves the default";

    // What the game writes reads back the same, and its comments say what fits.
    Settings::Values v;
    v.leaderboard = "http://localhost:8080";
    v.playerName = "Ash";
    v.replaysKept = 7;
    const std::string text = Settings::Format(v, {});
    EXPECT_EQ(Settings::Parse(text).values, v) << text;
    const std::string blank = Settings::Format({}, {});
    EXPECT_NE(blank.find("\nreplays-kept = 50\n"), std::string::npos) << blank;
    EXPECT_NE(blank.find("\n# leaderboard = "), std::string::npos) << blank;
    EXPECT_TRUE(Settings::Parse(blank).problems.empty());
}

} // namespace
