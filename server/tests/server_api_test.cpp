// The server as a client sees it, over HTTP on 127.0.0.1, with the stand-in
// verifier; on SQLite, or PostgreSQL with MORVEK_SERVER_BACKEND=postgres.
#include "support/Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <set>
#include <thread>

namespace {

using namespace Harness;
using std::chrono::seconds;

class Api : public OnDatabase {
  protected:
    // A server on this test's database; `extra` options after the usual ones.
    std::unique_ptr<ServerProcess> Start(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{
            "--database", database_, "--verifier", (kBuild / "fake-verifier").string(),
            "--workers",  "2",       "--play",     (dir_.Path() / "no-web-build").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        auto server = std::make_unique<ServerProcess>(args);
        EXPECT_TRUE(server->Started()) << server->FirstLine() << server->Errors();
        return server;
    }

    static long Submit(int port, const std::string& recording, long score,
                       const std::string& query = "name=ann") {
        const Reply r =
            Post(port, "/api/v1/runs?" + query + "&score=" + std::to_string(score), recording);
        EXPECT_TRUE(r.status == 202 || r.status == 200) << r.status << " " << r.body;
        return Number(r.body, "run").value_or(-1);
    }
};

TEST_F(Api, AnHonestGameIsRankedAtItsExactScoreAndCanBeWatched) {
    const auto server = Start();
    const int port = server->Port();
    const std::string recording = Recording({"0 mouse move 3 4", Game(1234, "honest")});
    const Reply sent = Post(port, "/api/v1/runs?name=ann&score=1234", recording);
    EXPECT_EQ(sent.status, 202);
    EXPECT_EQ(Text(sent.body, "status"), "pending");
    const long run = Number(sent.body, "run").value_or(-1);
    const std::string result = AwaitResult(port, run);
    EXPECT_EQ(Text(result, "status"), "accepted") << result;
    EXPECT_EQ(Number(result, "score"), 1234);
    EXPECT_EQ(Number(result, "place"), 1);
    EXPECT_EQ(Text(result, "board"), "normal-fast");
    EXPECT_EQ(Text(result, "name"), "ANN");

    const Reply board = Get(port, "/api/v1/boards/normal-fast");
    EXPECT_EQ(board.status, 200);
    EXPECT_NE(board.body.find("{\"place\": 1, \"name\": \"ANN\", \"score\": 1234, \"won\": false"),
              std::string::npos)
        << board.body;
    EXPECT_EQ(Get(port, "/api/v1/boards/hard-slow").body.find("ANN"), std::string::npos);
    EXPECT_EQ(Get(port, "/api/v1/boards/normal-fast?rules=2").body.find("ANN"), std::string::npos);
    const Reply recorded = Get(port, "/api/v1/runs/" + std::to_string(run) + "/recording");
    EXPECT_EQ(recorded.body, recording);

    const Reply page = Get(port, "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.Header("Content-Type").find("text/html"), std::string::npos);
    EXPECT_NE(page.body.find("<td>ANN</td><td class=\"n\">1234</td>"), std::string::npos);
    EXPECT_NE(page.body.find("/play/?run=" + std::to_string(run)), std::string::npos);
    std::size_t tables = 0;
    for (auto at = page.body.find("<table"); at != std::string::npos;
         at = page.body.find("<table", at + 1)) {
        ++tables;
    }
    EXPECT_EQ(tables, 6u);
    EXPECT_NE(page.Header("Content-Security-Policy").find("default-src 'none'"), std::string::npos);
    const Reply runPage = Get(port, "/runs/" + std::to_string(run));
    EXPECT_NE(runPage.body.find("Accepted"), std::string::npos);
}

TEST_F(Api, RefusedRunsSayWhy) {
    const auto server = Start();
    const int port = server->Port();
    struct Case {
        std::string recording;
        long claimed;
        const char* code;
    };
    const std::vector<Case> cases{
        {Recording({Game(500, "cheater", true, true)}), 500, "cheat"},
        {Recording({Game(500, "practised", true, false, true)}), 500, "practice"},
        {Recording({Game(500, "desynced")}), 501, "desync"},
        {Recording({Game(500, "unfinished", false)}), 500, "not-ended"},
        {Recording({Game(500, "later rules")}, 2), 500, "rules"},
        {Recording({Game(500, "refused by the verifier"), "20 fake exit 3"}), 500, "malformed"},
        {Recording({Game(500, "crashing"), "20 fake crash"}), 500, "limit"},
        {Recording({Game(500, "flooding"), "20 fake flood"}), 500, "limit"},
    };
    std::vector<long> runs;
    for (const auto& c : cases) {
        runs.push_back(Submit(port, c.recording, c.claimed));
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string result = AwaitResult(port, runs[i]);
        EXPECT_EQ(Text(result, "status"), "refused") << result;
        EXPECT_EQ(Text(result, "code"), cases[i].code) << result;
        EXPECT_TRUE(Text(result, "reason").has_value());
    }
    EXPECT_NE(server->Errors().find("desync"), std::string::npos); // logged for a look
    EXPECT_EQ(Get(port, "/api/v1/boards/normal-fast").body.find("\"place\""), std::string::npos);
}

TEST_F(Api, AGameAlreadyRankedIsACopyHoweverItIsPaddedButASecondSendingIsTheSameRun) {
    const auto server = Start();
    const int port = server->Port();
    const std::string original = Recording({Game(700, "the one game")});
    const long first = Submit(port, original, 700);
    EXPECT_EQ(Text(AwaitResult(port, first), "status"), "accepted");
    // sent again, by anyone: the same run, not a new one and not a copy
    const Reply again = Post(port, "/api/v1/runs?name=bob&score=700", original);
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(Number(again.body, "run"), first);
    EXPECT_EQ(Text(again.body, "status"), "accepted");
    const long padded =
        Submit(port, Recording({"0 mouse move 1 1", "5 mouse move 2 2", Game(700, "the one game")}),
               700, "name=bob");
    const std::string result = AwaitResult(port, padded);
    EXPECT_EQ(Text(result, "code"), "copy") << result;
    // another game of the same session is another run
    const long second = Submit(port, original, 700, "name=ann&game=1");
    EXPECT_NE(second, first);
}

// The page's form, sent as a browser sends it with JavaScript off
Reply Form(int port, const std::vector<std::pair<std::string, std::string>>& fields) {
    const std::string boundary = "----morvekform";
    std::string body;
    for (const auto& [name, value] : fields) {
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"" +
                (name == "recording" ? "; filename=\"game.txt\"\r\nContent-Type: text/plain" : "") +
                "\r\n\r\n" + value + "\r\n";
    }
    body += "--" + boundary + "--\r\n";
    return Post(port, "/submit", body, "multipart/form-data; boundary=" + boundary);
}

TEST_F(Api, ThePagesFormWorksWithoutJavaScript) {
    const auto server = Start();
    const int port = server->Port();
    const Reply sent = Form(port, {{"recording", Recording({Game(321, "by form")})},
                                   {"player", "zoe"},
                                   {"score", "321"},
                                   {"game", ""}});
    EXPECT_EQ(sent.status, 303) << sent.body;
    const std::string where = sent.Header("Location");
    ASSERT_TRUE(where.starts_with("/runs/")) << where;
    const long run = std::atol(where.c_str() + 6);
    // the run's page looks again by itself until the result is in
    const Reply waiting = Get(port, where);
    EXPECT_TRUE(waiting.body.find("http-equiv=\"refresh\"") != std::string::npos ||
                waiting.body.find("Accepted") != std::string::npos);
    EXPECT_EQ(Text(AwaitResult(port, run), "status"), "accepted");
    const Reply done = Get(port, where);
    EXPECT_NE(done.body.find("Accepted"), std::string::npos);
    EXPECT_EQ(done.body.find("http-equiv=\"refresh\""), std::string::npos);

    const Reply refused = Form(port, {{"recording", ""}, {"player", "zoe"}, {"score", "1"}});
    EXPECT_EQ(refused.status, 400);
    EXPECT_NE(refused.body.find("The server refused the run: the recording is empty"),
              std::string::npos)
        << refused.body;
    const Reply badName =
        Form(port, {{"recording", Recording({Game(1, "x")})}, {"player", "<b>"}, {"score", "1"}});
    EXPECT_EQ(badName.status, 400);
    EXPECT_EQ(badName.body.find("<b>"), std::string::npos);
}

TEST_F(Api, RetriesOfOneRunAtOnceMakeOneRun) {
    const auto server = Start();
    const int port = server->Port();
    const std::string recording = Recording({Game(42, "retried")});
    std::vector<std::thread> clients;
    std::vector<long> ids(6);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        clients.emplace_back([&, i] { ids[i] = Submit(port, recording, 42); });
    }
    for (auto& c : clients) {
        c.join();
    }
    EXPECT_EQ(std::set<long>(ids.begin(), ids.end()).size(), 1u);
    EXPECT_EQ(Text(AwaitResult(port, ids[0]), "status"), "accepted");
}

TEST_F(Api, BodiesThatCanNotBeRecordingsAreRefusedAndNothingIsStored) {
    const auto server = Start({"--read-timeout", "2"});
    const int port = server->Port();
    const std::string target = "/api/v1/runs?name=ann&score=1";
    EXPECT_EQ(Post(port, target, "").status, 400);
    EXPECT_EQ(Post(port, target, std::string("0 option rules 1\n\0\x01\x02", 20)).status, 400);
    EXPECT_EQ(Post(port, target, "\x89PNG\r\n\x1a\n", "application/octet-stream").status, 400);
    EXPECT_EQ(Post(port, target, "0 option rules 1\nnot a line of a recording\n").status, 400);
    EXPECT_EQ(Post(port, target, "0 option speed fast\n10 key down 0x20\n").status, 422);
    // the types curl and forms send by default are refused before any reading
    EXPECT_EQ(
        Post(port, target, Recording({Game(1, "x")}), "application/x-www-form-urlencoded").status,
        415);
    EXPECT_EQ(
        Post(port, target, Recording({Game(1, "x")}), "multipart/form-data; boundary=x").status,
        415);
    // over the limit: refused by its length, before the body is read
    const std::string head =
        "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/plain\r\n";
    const Reply huge = Raw(port, head + "Content-Length: 5000000\r\n\r\n0 option rules 1\n");
    EXPECT_EQ(huge.status, 413);
    EXPECT_EQ(Text(huge.body, "error"), "too-large");
    // no length: endless for all the server knows
    EXPECT_EQ(Raw(port, head + "\r\n" + Recording({Game(1, "x")})).status, 411);
    EXPECT_EQ(Raw(port, head + "Transfer-Encoding: chunked\r\n\r\n5\r\n0 opt\r\n0\r\n\r\n").status,
              411);
    // a body that stops short is given up at the read time-out
    const auto t0 = std::chrono::steady_clock::now();
    const Reply stalled =
        Raw(port, head + "Content-Length: 1000\r\n\r\n0 option rules 1\n", seconds(20));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, seconds(15));
    EXPECT_TRUE(stalled.status == 0 || (stalled.status >= 400 && stalled.status < 500))
        << stalled.status;
    EXPECT_EQ(Post(port, "/api/v1/runs?name=ann&score=-1", Recording({Game(1, "x")})).status, 400);
    EXPECT_EQ(Post(port, "/api/v1/runs?name=a_b&score=1", Recording({Game(1, "x")})).status, 400);
    const Reply error = Post(port, "/api/v1/runs?name=ann", Recording({Game(1, "x")}));
    EXPECT_EQ(Text(error.body, "error"), "score");
    EXPECT_TRUE(Text(error.body, "reason").has_value());

    // the first run stored is number 1: none of the above was
    EXPECT_EQ(Submit(port, Recording({Game(1, "first")}), 1), 1);
}

TEST_F(Api, AnAddressSubmittingTooFastIsToldToWaitOthersAreNot) {
    const auto server = Start({"--rate", "1", "--burst", "3", "--trusted-proxy", "127.0.0.1"});
    const int port = server->Port();
    const auto send = [&](int i, const std::string& from) {
        const std::string body = Recording({Game(i, "rate " + std::to_string(i))});
        return Raw(port, "POST /api/v1/runs?name=ann&score=" + std::to_string(i) +
                             " HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\n"
                             "X-Forwarded-For: " +
                             from + "\r\nContent-Length: " + std::to_string(body.size()) +
                             "\r\n\r\n" + body);
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(send(i, "198.51.100.7").status, 202);
    }
    const Reply limited = send(3, "198.51.100.7");
    EXPECT_EQ(limited.status, 429);
    EXPECT_GE(std::atoi(limited.Header("Retry-After").c_str()), 1);
    EXPECT_EQ(Text(limited.body, "error"), "rate");
    // another client behind the same proxy has its own bucket, and a made-up
    // entry left of the proxy's does not buy a new one
    EXPECT_EQ(send(4, "203.0.113.5").status, 202);
    EXPECT_EQ(send(5, "203.0.113.99, 198.51.100.7").status, 429);
}

TEST_F(Api, AnAddressMayHaveOnlySoManyRunsWaiting) {
    const auto server = Start({"--max-pending", "2", "--workers", "1"});
    const int port = server->Port();
    for (int i = 0; i < 2; ++i) {
        Submit(port, Recording({Game(i, "slow " + std::to_string(i)), "20 fake sleep 3"}), i);
    }
    const Reply third = Post(port, "/api/v1/runs?name=ann&score=9", Recording({Game(9, "third")}));
    EXPECT_EQ(third.status, 429);
    EXPECT_EQ(Text(third.body, "error"), "pending");
    EXPECT_FALSE(third.Header("Retry-After").empty());
}

TEST_F(Api, AVerificationOverItsTimeIsStoppedAndRefused) {
    const auto server = Start({"--verify-wall", "2", "--lease", "3", "--verify-cpu", "1"});
    const int port = server->Port();
    const auto t0 = std::chrono::steady_clock::now();
    const long sleeper = Submit(port, Recording({Game(5, "sleeper"), "20 fake sleep 60"}), 5);
    const long spinner = Submit(port, Recording({Game(5, "spinner"), "20 fake spin"}), 5);
    EXPECT_EQ(Text(AwaitResult(port, sleeper), "code"), "limit");
    EXPECT_EQ(Text(AwaitResult(port, spinner), "code"), "limit");
    EXPECT_LT(std::chrono::steady_clock::now() - t0, seconds(15));
}

TEST_F(Api, AVerifierFailingWithoutAReasonRefusesAndAMissingOneStopsTheStart) {
    const auto server = Start({"--verifier", "/bin/false"});
    const long run = Submit(server->Port(), Recording({Game(5, "waits")}), 5);
    const std::string result = AwaitResult(server->Port(), run);
    EXPECT_EQ(Text(result, "status"), "refused");
    EXPECT_EQ(Text(result, "code"), "verifier");
    const auto missing = std::make_unique<ServerProcess>(std::vector<std::string>{
        "--database", (dir_.Path() / "other.db").string(), "--verifier", "/nonexistent/morvek"});
    EXPECT_FALSE(missing->Started());
    EXPECT_NE(missing->Wait(seconds(10)), 0);
    EXPECT_NE(missing->Errors().find("no verifier"), std::string::npos);
}

TEST_F(Api, ManyClientsConnectingAtOnceAreNotLeftToTcpsRetries) {
    // A backlog of 5 made some of them wait a whole second for a second SYN
    const auto server = Start({"--threads", "8"});
    std::vector<std::thread> clients;
    std::vector<double> took(80);
    std::atomic<bool> go{false};
    for (std::size_t i = 0; i < took.size(); ++i) {
        clients.emplace_back([&, i] {
            while (!go) {
                std::this_thread::yield();
            }
            const auto t0 = std::chrono::steady_clock::now();
            EXPECT_EQ(Get(server->Port(), "/api/v1/boards/normal-fast").status, 200);
            took[i] = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        });
    }
    go = true;
    for (auto& c : clients) {
        c.join();
    }
    EXPECT_LT(*std::max_element(took.begin(), took.end()), 0.9);
}

TEST_F(Api, ATakenPortOrABusyDatabaseFileIsAClearError) {
    const auto server = Start();
    const auto second = std::make_unique<ServerProcess>(std::vector<std::string>{
        "--database", (dir_.Path() / "second.db").string(), "--verifier",
        (kBuild / "fake-verifier").string(), "--port", std::to_string(server->Port())});
    EXPECT_FALSE(second->Started());
    EXPECT_EQ(second->Wait(seconds(10)), 1);
    EXPECT_NE(second->Errors().find("cannot listen on 127.0.0.1:" + std::to_string(server->Port())),
              std::string::npos)
        << second->Errors();
    if (!OnPostgres()) {
        const auto third = std::make_unique<ServerProcess>(std::vector<std::string>{
            "--database", database_, "--verifier", (kBuild / "fake-verifier").string()});
        EXPECT_FALSE(third->Started());
        EXPECT_NE(third->Errors().find("another server is using"), std::string::npos);
    }
}

TEST_F(Api, AModeratorHidesAndUnhidesARunFromTheCommandLine) {
    const auto server = Start();
    const int port = server->Port();
    const long run = Submit(port, Recording({Game(77, "rude name")}), 77);
    EXPECT_EQ(Text(AwaitResult(port, run), "status"), "accepted");
    const std::string program = (kBuild / "morvek-server").string();
    const std::string id = std::to_string(run);
    EXPECT_EQ(std::system((program + " hide " + id + " --reason 'rude name' --database '" +
                           database_ + "' >/dev/null")
                              .c_str()),
              0);
    EXPECT_EQ(Get(port, "/api/v1/boards/normal-fast").body.find("\"run\": " + id),
              std::string::npos);
    EXPECT_EQ(Get(port, "/").body.find("rude"), std::string::npos);
    EXPECT_EQ(Get(port, "/api/v1/runs/" + id + "/recording").status, 200);
    EXPECT_EQ(Text(Get(port, "/api/v1/runs/" + id).body, "hidden"), "rude name");
    EXPECT_NE(
        std::system(
            (program + " hide " + id + " --database '" + database_ + "' 2>/dev/null").c_str()),
        0); // a reason is required
    EXPECT_NE(
        std::system((program + " unhide 9999 --database '" + database_ + "' 2>/dev/null").c_str()),
        0);
    EXPECT_EQ(
        std::system(
            (program + " unhide " + id + " --database '" + database_ + "' >/dev/null").c_str()),
        0);
    EXPECT_NE(Get(port, "/api/v1/boards/normal-fast").body.find("\"run\": " + id),
              std::string::npos);
}

TEST_F(Api, TheBrowserBuildIsServedUnderPlayAndUnknownPathsAnswerJson) {
    const fs::path web = dir_.Path() / "web";
    fs::create_directories(web);
    std::ofstream(web / "index.html") << "<!DOCTYPE html><title>the game</title>";
    std::ofstream(web / "morvek.wasm") << "\0asm";
    const auto server = Start({"--play", web.string()});
    const int port = server->Port();
    const Reply index = Get(port, "/play/?run=3");
    EXPECT_EQ(index.status, 200);
    EXPECT_NE(index.body.find("the game"), std::string::npos);
    EXPECT_EQ(Get(port, "/play/morvek.wasm").Header("Content-Type"), "application/wasm");
    EXPECT_EQ(Get(port, "/play/../leaderboard.db").status, 404);
    const Reply missing = Get(port, "/api/v1/nothing");
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(Text(missing.body, "error"), "not-found");
    EXPECT_EQ(Text(Get(port, "/api/v1/runs/12345").body, "error"), "no-run");
    EXPECT_EQ(Get(port, "/api/v1/boards/normal-warp").status, 404);
    EXPECT_EQ(Get(port, "/api/v1/boards/normal-fast?limit=1000").status, 400);

    const auto bare = Start({"--database", (dir_.Path() / "bare.db").string()});
    EXPECT_EQ(Get(bare->Port(), "/play/").status, 404);
}

} // namespace
