// The server with the game's own verifier, on whole games: the kept game
// played without cheat keys, the kept autopilot game that presses them, and
// doctored copies of the first. Few runs, as each replays a whole game.
#include "support/Harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

namespace {

using namespace Harness;
using std::chrono::seconds;

std::optional<long> JsonNumber(const std::string& json, const std::string& key) {
    const auto at = json.find("\"" + key + "\":");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return std::atol(json.c_str() + at + key.size() + 3);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class Game : public OnDatabase {
  protected:
    void SetUp() override {
        OnDatabase::SetUp();
        if (IsSkipped()) {
            return;
        }
        honest_ = ReadFile(kSource / "recordings/no-cheats.txt");
        const std::string answer = Verified(kSource / "recordings/no-cheats.txt");
        score_ = JsonNumber(answer, "score").value_or(-1);
        ASSERT_GT(score_, 0) << answer;
    }

    // The verifier is the game beside the server, found without being named
    std::unique_ptr<ServerProcess> Start() {
        auto server = std::make_unique<ServerProcess>(
            std::vector<std::string>{"--database", database_, "--workers", "2"});
        EXPECT_TRUE(server->Started()) << server->Errors();
        return server;
    }

    std::string Result(int port, const std::string& recording, long claimed,
                       const std::string& name = "ann") {
        const Reply r = Post(
            port, "/api/v1/runs?name=" + name + "&score=" + std::to_string(claimed), recording);
        EXPECT_EQ(r.status, 202) << r.body;
        return AwaitResult(port, Number(r.body, "run").value_or(-1), seconds(120));
    }

    std::string honest_;
    long score_ = 0;
};

TEST_F(Game, AWholeHonestGameIsRankedAtExactlyTheScoreItReached) {
    const auto server = Start();
    const std::string result = Result(server->Port(), honest_, score_);
    EXPECT_EQ(Text(result, "status"), "accepted") << result << server->Errors();
    EXPECT_EQ(Number(result, "score"), score_);
    EXPECT_EQ(Number(result, "place"), 1);
    EXPECT_EQ(Text(result, "board"), "normal-fast");
    // the state at its end is the one the game itself reports
    const std::string own = Verified(kSource / "recordings/no-cheats.txt");
    EXPECT_NE(own.find("\"state\":\"" + Text(result, "state").value_or("?") + "\""),
              std::string::npos);
    EXPECT_NE(
        Get(server->Port(), "/").body.find("<td class=\"n\">" + std::to_string(score_) + "</td>"),
        std::string::npos);

    // the same game again, padded with menu moves before its New Game, by another player
    const std::string padded =
        Replaced(honest_, "\n20 mouse move 175 175\n",
                 "\n5 mouse move 300 300\n10 mouse move 310 320\n20 mouse move 175 175\n");
    const std::string copy = Result(server->Port(), padded, score_, "bob");
    EXPECT_EQ(Text(copy, "status"), "refused");
    EXPECT_EQ(Text(copy, "code"), "copy") << copy;
}

TEST_F(Game, CheatsDesyncsAndOtherRulesNeverReachABoard) {
    const auto server = Start();
    const int port = server->Port();
    // The kept autopilot game presses the cheat keys; it is given the
    // options a recording starts with today
    const std::string header = honest_.substr(
        honest_.find("0 option rules"), honest_.find("\n20 ") + 1 - honest_.find("0 option rules"));
    const std::string autopilot = header + ReadFile(kSource / "recordings/autopilot.txt");
    const std::string cheat = Result(port, autopilot, 0);
    EXPECT_EQ(Text(cheat, "code"), "cheat") << cheat;

    // one event changed (the fire key), the old score claimed
    const std::string doctored = Replaced(honest_, "\n50 key down 0x20\n", "\n50 key down 0x21\n");
    const std::string desync = Result(port, doctored, score_);
    EXPECT_EQ(Text(desync, "code"), "desync") << desync;
    EXPECT_NE(server->Errors().find("desync"), std::string::npos);

    std::string later = honest_;
    const auto line = later.find("0 option rules ");
    ASSERT_NE(line, std::string::npos);
    later.replace(line, later.find('\n', line) - line, "0 option rules 999");
    const std::string rules = Result(port, later, score_);
    EXPECT_EQ(Text(rules, "code"), "rules") << rules;

    const std::string board = Get(port, "/api/v1/boards/normal-fast").body;
    EXPECT_EQ(board.find("\"place\""), std::string::npos) << board;
}

TEST_F(Game, AVerifierAwayFromItsPicturesIsGivenThemAndNeverRefusesForTheirLack) {
    // The game alone in a folder: it finds no pictures beside itself
    const fs::path alone = dir_.Path() / "alone";
    fs::create_directories(alone);
    fs::copy_file(kBuild / "morvek", alone / "morvek");
    const std::string recording = Replaced(honest_, "\n20 mouse move 175 175\n",
                                           "\n7 mouse move 1 2\n20 mouse move 175 175\n");
    long run = 0;
    {
        ServerProcess blind(
            {"--database", database_, "--verifier", (alone / "morvek").string(), "--workers", "1"});
        ASSERT_TRUE(blind.Started()) << blind.Errors();
        const Reply r =
            Post(blind.Port(), "/api/v1/runs?name=ann&score=" + std::to_string(score_), recording);
        run = Number(r.body, "run").value_or(-1);
        // the server's own fault: the run waits for a set-up that can replay it
        std::this_thread::sleep_for(seconds(2));
        EXPECT_EQ(Text(Get(blind.Port(), "/api/v1/runs/" + std::to_string(run)).body, "status"),
                  "pending");
        EXPECT_NE(blind.Errors().find("pictures"), std::string::npos) << blind.Errors();
    }
    ServerProcess told({"--database", database_, "--verifier", (alone / "morvek").string(),
                        "--media", (kBuild / "Media").string(), "--workers", "1"});
    const std::string result = AwaitResult(told.Port(), run, seconds(120));
    EXPECT_EQ(Text(result, "status"), "accepted") << result;
    EXPECT_EQ(Number(result, "score"), score_);
}

} // namespace
