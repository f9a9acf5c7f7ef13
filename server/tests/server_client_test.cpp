// The game's own sender (src/host/Leaderboard.h) against the real server and
// its real verifier: a kept recording goes from the outbox to its place on
// the board, and a name the server refuses ends its run for good.
#include "support/Harness.h"

#include "host/Leaderboard.h"
#include "util/Json.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace {

using namespace Harness;
using namespace Program::Leaderboard;
using Clock = std::chrono::steady_clock;

// The score the game itself gives the recording's last game.
std::int64_t VerifiedScore(const fs::path& recording) {
    const auto json = Util::Json::Parse(Verified(recording));
    const auto* games = json && json->Find("games") ? json->Find("games")->AsArray() : nullptr;
    if (games == nullptr || games->empty() || games->back().Find("score") == nullptr) {
        return -1;
    }
    return games->back().Find("score")->Integer().value_or(-1);
}

// The score the game itself gives the recording's first game.
std::int64_t VerifiedFirstScore(const fs::path& recording) {
    const auto json = Util::Json::Parse(Verified(recording));
    const auto* games = json && json->Find("games") ? json->Find("games")->AsArray() : nullptr;
    if (games == nullptr || games->empty() || games->front().Find("score") == nullptr) {
        return -1;
    }
    return games->front().Find("score")->Integer().value_or(-1);
}

bool PumpUntil(Sender& sender, RunState state, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        sender.Pump();
        if (sender.State().last.state == state) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

class Sent : public OnDatabase {};

TEST_F(Sent, AKeptGameIsPlacedWithItsScoreAndAgainAsTheSameRun) {
    const fs::path recording = kSource / "recordings/no-cheats.txt";
    const std::int64_t score = VerifiedScore(recording);
    ASSERT_GT(score, 0);
    ServerProcess server({"--database", database_, "--workers", "1"});
    ASSERT_TRUE(server.Started()) << server.Errors();
    TempDir data;
    Timing quick;
    quick.firstPoll = std::chrono::milliseconds(100);
    quick.lastPoll = std::chrono::milliseconds(500);
    Sender sender("http://127.0.0.1:" + std::to_string(server.Port()), data.Path(), "ann", quick);
    sender.GameEnded(recording, 1, score);
    ASSERT_TRUE(PumpUntil(sender, RunState::Placed, std::chrono::seconds(120)))
        << sender.State().trouble << sender.State().last.reason << server.Errors();
    EXPECT_EQ(sender.State().last.place, 1);
    EXPECT_EQ(sender.State().last.board, "normal-fast");
    EXPECT_EQ(sender.State().last.score, score);

    // the same game again is the run the server has, not a second one
    sender.GameEnded(recording, 1, score);
    EXPECT_EQ(sender.State().last.state, RunState::Waiting);
    ASSERT_TRUE(PumpUntil(sender, RunState::Placed, std::chrono::seconds(30)));
    EXPECT_EQ(sender.State().last.place, 1);

    sender.RequestBoard("normal", "fast");
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (sender.Shown().state == BoardState::Loading && Clock::now() < end) {
        sender.Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(sender.Shown().state, BoardState::Shown) << sender.Shown().message;
    ASSERT_EQ(sender.Shown().rows.size(), 1u);
    EXPECT_EQ(sender.Shown().rows[0].name, "ANN");
    EXPECT_EQ(sender.Shown().rows[0].score, score);

    // a name the server does not take is its last word on the run
    Sender other("http://127.0.0.1:" + std::to_string(server.Port()), data.Path(), "Ann Lee",
                 quick);
    other.GameEnded(recording, 1, score);
    ASSERT_TRUE(PumpUntil(other, RunState::Refused, std::chrono::seconds(30)));
    EXPECT_NE(other.State().last.reason.find("name"), std::string::npos)
        << other.State().last.reason;
    EXPECT_EQ(other.State().waiting, 0u);
}

// Pulling the plug loses nothing: a server gone while a run is sent or
// replayed leaves the run in the outbox, and the same server back on its
// address and database places it. Its own rate limit is waited out too.
TEST_F(Sent, AServerThatGoesAndComesBackAndOneThatAsksToWaitLoseNoRun) {
    const fs::path recording = kSource / "recordings/no-cheats.txt";
    const std::int64_t score = VerifiedScore(recording);
    ASSERT_GT(score, 0);
    TempDir data;
    Timing quick;
    quick.firstPoll = std::chrono::milliseconds(100);
    quick.lastPoll = std::chrono::milliseconds(500);
    quick.firstRetry = std::chrono::milliseconds(200);
    quick.lastRetry = std::chrono::milliseconds(400);
    quick.requestSeconds = 5;
    int port = 0;
    {
        ServerProcess first({"--database", database_, "--workers", "1"});
        ASSERT_TRUE(first.Started()) << first.Errors();
        port = first.Port();
        first.Kill(SIGKILL);
        first.Wait(std::chrono::seconds(10));
    }
    const std::string address = "http://127.0.0.1:" + std::to_string(port);
    Sender sender(address, data.Path(), "ann", quick);
    sender.GameEnded(recording, 1, score);
    EXPECT_FALSE(PumpUntil(sender, RunState::Placed, std::chrono::seconds(2)));
    EXPECT_EQ(sender.State().last.state, RunState::Waiting);
    EXPECT_FALSE(sender.State().trouble.empty()) << "out of reach is said";

    // Back on its port, with a limit of one submission: the run goes, and a
    // second one is told to wait, and does
    ServerProcess back({"--database", database_, "--workers", "1", "--port", std::to_string(port),
                        "--rate", "6", "--burst", "1"});
    ASSERT_TRUE(back.Started()) << back.Errors();
    ASSERT_TRUE(PumpUntil(sender, RunState::Placed, std::chrono::seconds(60)))
        << sender.State().trouble << back.Errors();
    EXPECT_EQ(sender.State().last.score, score);
    // Someone else at this address takes the submission the limit allows
    // now, if the replay took long enough for one: the sender's is told to wait.
    // The claim is scored first, since a slow build's replay outlasts the refill.
    const fs::path two = kSource / "recordings/two-games.txt";
    const std::int64_t twoScore = VerifiedFirstScore(two);
    Post(port, "/api/v1/runs?name=ann&game=1&score=1", "x");
    sender.GameEnded(two, 1, twoScore);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int i = 0; i < 20; ++i) {
        sender.Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(sender.State().last.state, RunState::Waiting)
        << "a 429 keeps the run unsent: " << sender.State().last.reason;
    ASSERT_TRUE(PumpUntil(sender, RunState::Placed, std::chrono::seconds(120)))
        << sender.State().trouble << back.Errors();
    EXPECT_EQ(sender.State().waiting, 0u);
}

} // namespace
