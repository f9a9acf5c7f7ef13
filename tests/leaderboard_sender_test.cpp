// The leaderboard's sender against a fake server on 127.0.0.1 that is down,
// slow, failing, garbled, redirecting, huge, refusing or well: the outbox
// keeps a run while it may still be taken and drops it when the server had
// its last word, each Pump returns at once, and two games sharing the
// outbox send a run once. Timings are shortened; each case ends in seconds.
#include "host/Leaderboard.h"
#include "support/FakeHttp.h"
#include "support/TempDir.h"

#include "game/Rules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace Program::Leaderboard;
using Clock = std::chrono::steady_clock;
using TestSupport::Answer;
using TestSupport::FakeHttp;
using TestSupport::Late;
using TestSupport::Seen;

// A Pump that waited on the network would take the server's whole delay (a
// second and more here); this bounds correctness and measures no speed, so
// it leaves room for the files a Pump writes and syncs on a loaded machine
// or under a sanitizer. The bench measures what a frame costs.
constexpr auto kPumpBound = 400ms;

Timing Quick() {
    Timing t;
    t.firstRetry = 300ms;
    t.lastRetry = 1200ms;
    t.firstPoll = 50ms;
    t.lastPoll = 200ms;
    t.rescan = 100ms;
    t.requestSeconds = 1;
    return t;
}

const std::string kRecording = "0 option rules 2\n0 option difficulty normal\n20 key down 0x20\n";

class Sending : public testing::Test {
  protected:
    Sending() {
        std::ofstream(session_, std::ios::binary) << kRecording << "31 key u"; // half a line
    }

    // Pumps `sender` until `done` or `limit`, each Pump held to its bound.
    template <typename Done>
    bool PumpUntil(std::vector<Sender*> senders, Done done, std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        for (;;) {
            for (Sender* s : senders) {
                const auto t0 = Clock::now();
                s->Pump();
                const auto took = Clock::now() - t0;
                EXPECT_LT(took, kPumpBound);
                slowest_ = std::max(slowest_, took);
            }
            if (done()) {
                return true;
            }
            if (Clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(5ms);
        }
    }
    bool PumpUntil(Sender& s, const std::function<bool()>& done, std::chrono::milliseconds limit) {
        return PumpUntil(std::vector<Sender*>{&s}, done, limit);
    }
    void PumpFor(Sender& s, std::chrono::milliseconds time) {
        PumpUntil(
            s, [] { return false; }, time);
    }

    std::vector<Entry> Waiting() const { return Outbox(data_.path).List(); }

    TestSupport::ScopedTempDir data_{"morvek-sender"};
    fs::path session_ = data_.path / "session.txt";
    Clock::duration slowest_{};
};

Answer Json(int status, const std::string& body) {
    return Answer{status, body, {{"Content-Type", "application/json"}}};
}

TEST_F(Sending, ARunIsSentFollowedAndLeavesTheOutboxWhenPlaced) {
    int asked = 0;
    FakeHttp server([&asked](const Seen& s) {
        if (s.method == "POST") {
            return Json(202, "{\"run\": 17, \"status\": \"pending\"}");
        }
        return ++asked < 3 ? Json(200, "{\"run\": 17, \"status\": \"pending\"}")
                           : Json(200, "{\"run\": 17, \"status\": \"accepted\", \"place\": 3, "
                                       "\"board\": \"normal-fast\", \"score\": 1234}");
    });
    Sender sender(server.Address() + "/", data_.path, "Ann Lee", Quick());
    EXPECT_EQ(sender.State().last.state, RunState::None);
    sender.GameEnded(session_, 2, 1234);
    EXPECT_EQ(sender.State().last.state, RunState::Waiting);
    EXPECT_EQ(sender.State().waiting, 1u);
    ASSERT_TRUE(PumpUntil(
        sender, [&] { return sender.State().last.state == RunState::Verifying; }, 3000ms));
    ASSERT_TRUE(PumpUntil(
        sender, [&] { return sender.State().last.state == RunState::Placed; }, 3000ms));
    const LastRun& last = sender.State().last;
    EXPECT_EQ(last.place, 3);
    EXPECT_EQ(last.board, "normal-fast");
    EXPECT_EQ(last.game, 2u);
    EXPECT_EQ(last.score, 1234);
    EXPECT_EQ(sender.State().waiting, 0u);
    EXPECT_TRUE(sender.State().trouble.empty()) << sender.State().trouble;

    const auto seen = server.Requests();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].target, "/api/v1/runs?name=Ann%20Lee&game=2&score=1234");
    EXPECT_EQ(seen[0].contentType, "text/plain");
    EXPECT_EQ(seen[0].body, kRecording); // the half line not sent
    EXPECT_EQ(seen[1].target, "/api/v1/runs/17");
    // the outbox is empty but for the record of the last outcome
    EXPECT_TRUE(Waiting().empty());
    const auto sent = Outbox(data_.path).LastSent();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->stage, Stage::Accepted);

    // a later start shows it still, and sends nothing
    Sender again(server.Address(), data_.path, "Ann Lee", Quick());
    EXPECT_EQ(again.State().last.state, RunState::Placed);
    EXPECT_EQ(again.State().last.place, 3);
    PumpFor(again, 200ms);
    EXPECT_EQ(server.Requests().size(), 4u);
}

TEST_F(Sending, WhatCanBeTriedAgainKeepsTheRunAndBacksOff) {
    const struct {
        const char* what;
        std::function<Answer(const Seen&)> answer;
        const char* trouble;
    } cases[] = {
        {"5xx", [](const Seen&) { return Json(500, "{\"error\": \"x\", \"reason\": \"y\"}"); },
         "HTTP 500"},
        {"408", [](const Seen&) { return Json(408, "{}"); }, "HTTP 408"},
        {"garbage", [](const Seen&) { return Json(200, "<html>not json"); }, "could not be read"},
        {"202 without a run", [](const Seen&) { return Json(202, "{\"status\": \"pending\"}"); },
         "could not be read"},
        {"redirect",
         [](const Seen&) {
             return Answer{302, "", {{"Location", "http://127.0.0.2:1/"}}};
         },
         "redirected"},
        {"100 MB",
         [](const Seen&) {
             Answer a;
             a.streamBytes = 100u * 1024 * 1024;
             return a;
         },
         "larger than 256 KiB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestSupport::ScopedTempDir data("morvek-sender-retry");
        FakeHttp server(c.answer);
        Sender sender(server.Address(), data.path, "ANN", Quick());
        sender.GameEnded(session_, 1, 50);
        // 300 ms, then 600 ms: three tries in 1.2 s, not one each Pump
        const auto t0 = Clock::now();
        PumpUntil(
            sender, [&] { return server.Requests().size() >= 3; }, 2500ms);
        EXPECT_GE(Clock::now() - t0, 850ms);
        EXPECT_EQ(server.Requests().size(), 3u);
        EXPECT_NE(sender.State().trouble.find(c.trouble), std::string::npos)
            << sender.State().trouble;
        EXPECT_EQ(sender.State().last.state, RunState::Waiting);
        const auto left = Outbox(data.path).List();
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(left[0].stage, Stage::New);
    }
}

TEST_F(Sending, ADownOrSlowServerKeepsTheRunAndNoPumpWaitsForIt) {
    {
        Sender sender("http://127.0.0.1:" + std::to_string(FakeHttp::ClosedPort()), data_.path,
                      "ANN", Quick());
        sender.GameEnded(session_, 1, 50);
        ASSERT_TRUE(PumpUntil(
            sender, [&] { return !sender.State().trouble.empty(); }, 3000ms));
        EXPECT_NE(sender.State().trouble.find("can't be reached"), std::string::npos);
        EXPECT_EQ(sender.State().last.state, RunState::Waiting);
    }
    FakeHttp slow(
        [](const Seen&) { return Late(Json(202, "{\"run\": 1, \"status\": \"pending\"}"), 10s); });
    const auto t0 = Clock::now();
    {
        Sender sender(slow.Address(), data_.path, "ANN", Quick());
        ASSERT_TRUE(PumpUntil(
            sender, [&] { return !sender.State().trouble.empty(); }, 4000ms));
        EXPECT_NE(sender.State().trouble.find("no answer within 1 s"), std::string::npos)
            << sender.State().trouble;
        // and a game that ends in the middle of the next try goes at once
        PumpUntil(
            sender, [&] { return slow.Requests().size() >= 2; }, 3000ms);
    }
    EXPECT_LT(Clock::now() - t0, 6s);
    ASSERT_EQ(Waiting().size(), 1u);
    EXPECT_EQ(Waiting()[0].stage, Stage::New);
}

TEST_F(Sending, RetryAfterIsWaitedExactly) {
    std::vector<Clock::time_point> when;
    std::mutex mutex;
    FakeHttp server([&](const Seen&) {
        std::lock_guard lock(mutex);
        when.push_back(Clock::now());
        return when.size() == 1 ? Answer{429, "{\"error\": \"rate\"}", {{"Retry-After", "1"}}}
                                : Json(202, "{\"run\": 5, \"status\": \"pending\"}");
    });
    Timing t = Quick();
    t.firstRetry = 100ms; // shorter than the server asks
    Sender sender(server.Address(), data_.path, "ANN", t);
    sender.GameEnded(session_, 1, 50);
    ASSERT_TRUE(PumpUntil(
        sender, [&] { return sender.State().last.state == RunState::Verifying; }, 3000ms));
    std::lock_guard lock(mutex);
    ASSERT_EQ(when.size(), 2u);
    EXPECT_GE(when[1] - when[0], 950ms);
}

TEST_F(Sending, ARefusalIsFinalAndItsReasonKept) {
    FakeHttp server([](const Seen&) {
        return Json(400, "{\"error\": \"name\", \"reason\": \"the name must be 1 to 7 letters "
                         "A-Z\\n\\u001b[2J\"}");
    });
    Sender sender(server.Address(), data_.path, "ANN", Quick());
    sender.GameEnded(session_, 1, 50);
    ASSERT_TRUE(PumpUntil(
        sender, [&] { return sender.State().last.state == RunState::Refused; }, 3000ms));
    EXPECT_EQ(sender.State().last.reason, "the name must be 1 to 7 letters A-Z??[2J");
    EXPECT_TRUE(sender.State().trouble.empty());
    EXPECT_EQ(sender.State().waiting, 0u);
    PumpFor(sender, 500ms);
    EXPECT_EQ(server.Requests().size(), 1u); // never sent again
    const auto left = Waiting();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].stage, Stage::Refused);
    EXPECT_EQ(left[0].code, "name");
    EXPECT_FALSE(fs::exists(data_.path / kOutboxFolder / (left[0].id + ".txt")));

    // a run the server refused after replaying it, and one it forgot
    int posts = 0;
    FakeHttp verifier([&posts](const Seen& s) {
        if (s.method == "POST") {
            return ++posts == 1 ? Json(202, "{\"run\": 8, \"status\": \"pending\"}")
                                : Json(202, "{\"run\": 9, \"status\": \"pending\"}");
        }
        return s.target.ends_with("/8")
                   ? Json(200, "{\"run\": 8, \"status\": \"refused\", \"code\": \"desync\", "
                               "\"reason\": \"the replay reached 40, not 50\"}")
                   : Json(404, "{\"error\": \"no-run\", \"reason\": \"there is no such run\"}");
    });
    Sender later(verifier.Address(), data_.path, "ANN", Quick());
    later.GameEnded(session_, 1, 50);
    ASSERT_TRUE(PumpUntil(
        later, [&] { return later.State().last.state == RunState::Refused; }, 3000ms));
    EXPECT_EQ(later.State().last.reason, "the replay reached 40, not 50");
    later.GameEnded(session_, 2, 60);
    ASSERT_TRUE(PumpUntil(
        later,
        [&] {
            return later.State().last.state == RunState::Refused && later.State().last.game == 2;
        },
        3000ms));
    EXPECT_EQ(later.State().last.reason, "there is no such run");
    EXPECT_EQ(verifier.Count("POST"), 2u);
}

TEST_F(Sending, ARunWaitsForANameAndIsSentUnderIt) {
    FakeHttp server([](const Seen&) { return Json(202, "{\"run\": 3, \"status\": \"pending\"}"); });
    Sender sender(server.Address(), data_.path, "", Quick());
    sender.GameEnded(session_, 1, 50);
    EXPECT_EQ(sender.State().last.state, RunState::NoName);
    PumpFor(sender, 300ms);
    EXPECT_TRUE(server.Requests().empty());
    sender.SetPlayerName("Bo_1");
    EXPECT_EQ(sender.State().last.state, RunState::Waiting);
    ASSERT_TRUE(PumpUntil(
        sender, [&] { return server.Count("POST") == 1; }, 3000ms));
    EXPECT_EQ(server.Requests()[0].target, "/api/v1/runs?name=Bo_1&game=1&score=50");
}

TEST_F(Sending, TwoGamesSharingTheOutboxSendEachRunOnce) {
    std::mutex mutex;
    std::map<std::string, int> posts; // by the run's claim
    std::map<int, int> asks;
    FakeHttp server([&](const Seen& s) {
        std::lock_guard lock(mutex);
        if (s.method == "POST") {
            const int run = static_cast<int>(posts.size()) + 1;
            ++posts[s.target];
            return Late(
                Json(202, "{\"run\": " + std::to_string(run) + ", \"status\": \"pending\"}"),
                150ms);
        }
        const int run = std::atoi(s.target.c_str() + s.target.rfind('/') + 1);
        return ++asks[run] < 2
                   ? Json(200, "{\"status\": \"pending\"}")
                   : Json(200,
                          "{\"status\": \"accepted\", \"place\": " + std::to_string(run) + "}");
    });
    Sender one(server.Address(), data_.path, "ONE", Quick());
    Sender two(server.Address(), data_.path, "TWO", Quick());
    for (std::uint32_t game = 1; game <= 3; ++game) {
        one.GameEnded(session_, game, 100 * game);
        two.GameEnded(session_, game, 1000 * game);
    }
    EXPECT_EQ(Waiting().size(), 6u);
    ASSERT_TRUE(PumpUntil(
        {&one, &two}, [&] { return Waiting().empty(); }, 10000ms));
    std::lock_guard lock(mutex);
    EXPECT_EQ(posts.size(), 6u);
    for (const auto& [claim, count] : posts) {
        EXPECT_EQ(count, 1) << claim;
    }
}

TEST_F(Sending, ARunPendingAtTheEndIsAskedAfterAtTheNextStartNotSentAgain) {
    FakeHttp server([](const Seen& s) {
        return s.method == "POST"
                   ? Json(202, "{\"run\": 4, \"status\": \"pending\"}")
                   : Json(200,
                          "{\"status\": \"accepted\", \"place\": 1, \"board\": \"easy-slow\"}");
    });
    {
        Sender sender(server.Address(), data_.path, "ANN", Quick());
        sender.GameEnded(session_, 1, 50);
        ASSERT_TRUE(PumpUntil(
            sender, [&] { return server.Count("POST") == 1; }, 3000ms));
        PumpUntil(
            sender, [&] { return sender.State().last.state == RunState::Verifying; }, 1000ms);
    } // the game ends before the server has replayed it
    Sender next(server.Address(), data_.path, "ANN", Quick());
    EXPECT_EQ(next.State().last.state, RunState::Verifying);
    ASSERT_TRUE(PumpUntil(
        next, [&] { return next.State().last.state == RunState::Placed; }, 3000ms));
    EXPECT_EQ(server.Count("POST"), 1u);
    EXPECT_EQ(next.State().last.board, "easy-slow");
}

TEST_F(Sending, AnOutboxThatCantBeWrittenIsSaidOnceAndPlayGoesOn) {
    const fs::path notAFolder = data_.path / "file";
    std::ofstream(notAFolder) << "x";
    std::ostringstream said;
    auto* old = std::cerr.rdbuf(said.rdbuf());
    Sender sender("http://127.0.0.1:1", notAFolder, "ANN", Quick());
    sender.GameEnded(session_, 1, 50);
    sender.GameEnded(session_, 2, 60);
    PumpFor(sender, 100ms);
    std::cerr.rdbuf(old);
    const std::string text = said.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_NE(text.find("runs can't be kept for the leaderboard"), std::string::npos) << text;
    EXPECT_NE(sender.State().trouble.find("runs can't be kept"), std::string::npos);
    EXPECT_EQ(sender.State().last.state, RunState::None);

    Sender none("", data_.path, "ANN", Quick());
    none.GameEnded(session_, 1, 50);
    EXPECT_NE(none.State().trouble.find("no leaderboard is set"), std::string::npos);
    EXPECT_TRUE(Waiting().empty());
}

TEST_F(Sending, ABoardsTopTenIsFetchedForTheRulesOfThisGame) {
    FakeHttp server([](const Seen& s) {
        if (s.target.find("/hard-") != std::string::npos) {
            return Json(503, "{}");
        }
        std::string rows;
        for (int i = 1; i <= 12; ++i) {
            rows += std::string(i > 1 ? ", " : "") + "{\"place\": " + std::to_string(i) +
                    ", \"name\": \"P" + std::to_string(i) +
                    "\\u0007\", \"score\": " + std::to_string(1000 - i) +
                    ", \"won\": " + (i == 1 ? "true" : "false") +
                    ", \"date\": \"2026-12-08\", \"run\": " + std::to_string(i) + "}";
        }
        return Json(200, "{\"board\": \"normal-fast\", \"entries\": [" + rows + "]}");
    });
    Sender sender(server.Address(), data_.path, "ANN", Quick());
    sender.RequestBoard("normal", "fast");
    EXPECT_EQ(sender.Shown().state, BoardState::Loading);
    ASSERT_TRUE(PumpUntil(
        sender, [&] { return sender.Shown().state == BoardState::Shown; }, 3000ms));
    const Board& b = sender.Shown();
    ASSERT_EQ(b.rows.size(), 10u);
    EXPECT_EQ(b.rows[0].name, "P1?");
    EXPECT_TRUE(b.rows[0].won);
    EXPECT_EQ(b.rows[9].score, 990);
    EXPECT_EQ(server.Requests()[0].target,
              "/api/v1/boards/normal-fast?limit=10&rules=" + std::to_string(Morvek::kRulesVersion));

    sender.RequestBoard("hard", "slow");
    EXPECT_TRUE(sender.Shown().rows.empty()); // another board's rows are not shown
    ASSERT_TRUE(PumpUntil(
        sender, [&] { return sender.Shown().state == BoardState::Unreachable; }, 3000ms));
    EXPECT_NE(sender.Shown().message.find("HTTP 503"), std::string::npos);
    sender.RequestBoard("normal", "fast/../x");
    EXPECT_EQ(sender.Shown().state, BoardState::Unreachable);
    EXPECT_EQ(server.Requests().size(), 2u);
}

} // namespace
