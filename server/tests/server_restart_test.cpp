// Runs accepted with 202 survive the server: killed outright with jobs
// waiting, a server started again verifies each of them once; servers
// sharing one PostgreSQL database never verify a run twice.
#include "support/Harness.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <thread>

namespace {

using namespace Harness;
using std::chrono::seconds;

class Restart : public OnDatabase {
  protected:
    void SetUp() override {
        OnDatabase::SetUp();
        if (IsSkipped()) {
            return;
        }
        log_ = dir_.Path() / "verified";
        fs::create_directory(log_);
        ::setenv("MORVEK_FAKE_LOG", log_.c_str(), 1); // the servers' children inherit it
    }

    std::unique_ptr<ServerProcess> Start(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{
            "--database",    database_, "--verifier", (kBuild / "fake-verifier").string(),
            "--rate",        "100000",  "--burst",    "100000",
            "--max-pending", "100000"};
        args.insert(args.end(), extra.begin(), extra.end());
        return std::make_unique<ServerProcess>(args);
    }

    // How often each recording was verified, by its SHA-256.
    std::map<std::string, int> Verified() const {
        std::map<std::string, int> count;
        for (const auto& mark : fs::directory_iterator(log_)) {
            ++count[mark.path().stem().string()];
        }
        return count;
    }

    fs::path log_;
};

TEST_F(Restart, AServerKilledWithJobsWaitingVerifiesThemAllAfterARestart) {
    // The lease as it is by default: the dead server's claims are given back
    // because its process is gone, not because they lapsed
    const std::vector<std::string> quick{"--workers", "2"};
    std::vector<long> runs;
    {
        const auto server = Start(quick);
        ASSERT_TRUE(server->Started()) << server->Errors();
        for (int i = 0; i < 8; ++i) {
            const std::string body =
                Recording({Game(i, "killed " + std::to_string(i)), "20 fake sleep 1"});
            const Reply r =
                Post(server->Port(), "/api/v1/runs?name=ann&score=" + std::to_string(i), body);
            ASSERT_EQ(r.status, 202) << r.body;
            runs.push_back(Number(r.body, "run").value_or(-1));
        }
        // some verifying now, the rest waiting
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        server->Kill(SIGKILL);
        EXPECT_EQ(server->Wait(seconds(10)), 128 + SIGKILL);
    }
    const auto again = Start(quick);
    ASSERT_TRUE(again->Started()) << again->Errors();
    for (const long run : runs) {
        const std::string result = AwaitResult(again->Port(), run, seconds(60));
        EXPECT_EQ(Text(result, "status"), "accepted") << result;
    }
    const std::string board = Get(again->Port(), "/api/v1/boards/normal-fast?limit=100").body;
    std::size_t entries = 0;
    for (auto at = board.find("\"place\""); at != std::string::npos;
         at = board.find("\"place\"", at + 1)) {
        ++entries;
    }
    EXPECT_EQ(entries, runs.size());
}

TEST_F(Restart, AStoppedServerEndsItsReplaysAtOnceAndLeavesTheirJobs) {
    std::vector<long> runs;
    {
        const auto server = Start({"--workers", "2"});
        ASSERT_TRUE(server->Started()) << server->Errors();
        for (int i = 0; i < 3; ++i) {
            const Reply r =
                Post(server->Port(), "/api/v1/runs?name=ann&score=" + std::to_string(i),
                     Recording({Game(i, "long " + std::to_string(i)), "20 fake sleep 60"}));
            runs.push_back(Number(r.body, "run").value_or(-1));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const auto t0 = std::chrono::steady_clock::now();
        server->Kill(SIGTERM);
        EXPECT_EQ(server->Wait(seconds(20)), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - t0, seconds(5));
    }
    // started again with a verifier that is quick about it, each run gets its result
    const auto again = Start({"--workers", "2", "--verify-wall", "1", "--lease", "2"});
    for (const long run : runs) {
        const std::string result = AwaitResult(again->Port(), run, seconds(30));
        EXPECT_EQ(Text(result, "code"), "limit") << result;
    }
}

TEST_F(Restart, ServersSharingADatabaseVerifyEachRunExactlyOnce) {
    // Two servers on PostgreSQL; SQLite takes one server to a file and
    // refuses the second. The stand-in verifier keeps 200 runs cheap.
    constexpr int kRuns = 200;
    const auto first = Start({"--workers", "2"});
    ASSERT_TRUE(first->Started()) << first->Errors();
    std::unique_ptr<ServerProcess> second = Start({"--workers", "2"});
    std::vector<int> ports{first->Port()};
    if (OnPostgres()) {
        ASSERT_TRUE(second->Started()) << second->Errors();
        ports.push_back(second->Port());
    } else {
        EXPECT_FALSE(second->Started());
        EXPECT_NE(second->Errors().find("another server is using"), std::string::npos);
    }
    std::vector<std::thread> clients;
    std::vector<long> runs(kRuns);
    constexpr int kClients = 4;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            for (int i = c; i < kRuns; i += kClients) {
                const Reply r = Post(ports[static_cast<std::size_t>(i) % ports.size()],
                                     "/api/v1/runs?name=bulk&score=" + std::to_string(i),
                                     Recording({Game(i, "bulk " + std::to_string(i))}));
                runs[static_cast<std::size_t>(i)] =
                    r.status == 202 ? Number(r.body, "run").value_or(-1) : -1;
            }
        });
    }
    for (auto& c : clients) {
        c.join();
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        ASSERT_GT(runs[i], 0) << "submission " << i;
        const std::string result = AwaitResult(ports[i % ports.size()], runs[i], seconds(120));
        EXPECT_EQ(Text(result, "status"), "accepted") << result;
    }
    const auto verified = Verified();
    EXPECT_EQ(verified.size(), static_cast<std::size_t>(kRuns));
    for (const auto& [sha, times] : verified) {
        EXPECT_EQ(times, 1) << sha;
    }
}

} // namespace
