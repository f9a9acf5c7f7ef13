// make leaderboard-bench: the server on loopback, bounded in count and time.
//   submissions accepted a second (the 202s),
//   runs verified a second per core, beside the game's own headless replay
//     of the same recording,
//   p50/p99 of GET a board while 50 clients read and 4 submit.
// --backend sqlite|postgres (PostgreSQL: a throw-away server of its own).
#include "support/Harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iostream>
#include <map>
#include <thread>

namespace {

using namespace Harness;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The game can verify when it answers --verify with the contract's JSON.
bool GameVerifies(const fs::path& recording) {
    const std::string command = (kBuild / "morvek").string() + " --verify " + recording.string() +
                                " 2>/dev/null | grep -q '\"games\"'";
    return std::system(command.c_str()) == 0;
}

// Wall time of `command`, run `times` over.
double Timed(const std::string& command, int times) {
    const auto t0 = Clock::now();
    for (int i = 0; i < times; ++i) {
        if (std::system((command + " >/dev/null 2>&1").c_str()) == -1) {
            return 0;
        }
    }
    return Seconds(Clock::now() - t0) / times;
}

std::string Fake(int i, const std::string& tag) {
    return Recording({Game(i, tag + "-" + std::to_string(i))});
}

} // namespace

int main(int argc, char** argv) {
    const std::string backend = argc >= 3 ? argv[2] : "sqlite";
    TempDir dir;
    std::string why;
    const std::string database = NewDatabase(dir, why);
    if (database.empty()) {
        std::cerr << "server-bench: " << why << "\n";
        return 1;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf("== %s, %u cores\n", backend.c_str(), cores);
    const std::vector<std::string> open{"--rate",        "1000000", "--burst",   "1000000",
                                        "--max-pending", "1000000", "--threads", "64"};

    // 1. Submissions accepted a second, the stand-in verifier behind them
    {
        std::vector<std::string> args{"--database", database, "--verifier",
                                      (kBuild / "fake-verifier").string()};
        args.insert(args.end(), open.begin(), open.end());
        ServerProcess server(args);
        if (!server.Started()) {
            std::cerr << server.Errors();
            return 1;
        }
        constexpr int kSubmissions = 1000, kClients = 4;
        std::atomic<int> accepted{0};
        const auto t0 = Clock::now();
        std::vector<std::thread> clients;
        for (int c = 0; c < kClients; ++c) {
            clients.emplace_back([&, c] {
                for (int i = c; i < kSubmissions; i += kClients) {
                    const Reply r =
                        Post(server.Port(), "/api/v1/runs?name=bench&score=" + std::to_string(i),
                             Fake(i, "accept"));
                    accepted += r.status == 202 ? 1 : 0;
                }
            });
        }
        for (auto& c : clients) {
            c.join();
        }
        const double took = Seconds(Clock::now() - t0);
        std::printf("submissions accepted: %d in %.2f s, %.0f/s (%d clients)\n", accepted.load(),
                    took, accepted / took, kClients);
    }

    // 2. Verified runs a second per core: the real verifier when the game has it
    {
        const fs::path recording = kSource / "recordings/no-cheats.txt";
        const bool real = GameVerifies(recording);
        const std::string verifier =
            real ? (kBuild / "morvek").string() : (kBuild / "fake-verifier").string();
        const TempDir other;
        const std::string database2 =
            OnPostgres() ? NewDatabase(other, why) : (other.Path() / "v.db").string();
        std::vector<std::string> args{"--database", database2,   "--verifier",
                                      verifier,     "--workers", std::to_string(cores)};
        args.insert(args.end(), open.begin(), open.end());
        ServerProcess server(args);
        const int runs = real ? static_cast<int>(4 * cores) : 200;
        const std::string body = ReadFile(recording);
        std::vector<long> ids;
        const auto t0 = Clock::now();
        for (int i = 0; i < runs; ++i) {
            // real: the same game padded apart, so that each is a run of its own
            // (a copy of the first, once verified); stand-in: cheap games
            std::string padded = body;
            const auto menu = padded.find("\n20 mouse move");
            if (menu != std::string::npos) {
                padded.insert(menu, "\n5 mouse move " + std::to_string(i) + " 1");
            }
            const Reply r =
                Post(server.Port(), "/api/v1/runs?name=bench&score=" + std::to_string(i),
                     real ? padded : Fake(i, "verify"));
            ids.push_back(Number(r.body, "run").value_or(-1));
        }
        std::map<std::string, int> results;
        for (const long id : ids) {
            const std::string result = AwaitResult(server.Port(), id, std::chrono::seconds(600));
            ++results[Text(result, "code").value_or(Text(result, "status").value_or("?"))];
        }
        const double took = Seconds(Clock::now() - t0);
        for (const auto& [what, count] : results) {
            std::printf("  %d %s\n", count, what.c_str());
        }
        std::printf("verified with %s: %d runs in %.2f s, %.2f/s per core\n",
                    real ? "morvek --verify"
                         : "the stand-in verifier (the game has no --verify yet)",
                    runs, took, runs / took / cores);
        if (real) {
            const double verify = Timed(verifier + " --verify " + recording.string(), 3);
            const double replay = Timed(
                "cd " + kBuild.string() + " && ./morvek --headless --script " + recording.string(),
                3);
            std::printf("one recording: verify %.2f s, headless replay %.2f s (%.2fx)\n", verify,
                        replay, replay > 0 ? verify / replay : 0.0);
        }
    }

    // 3. Board reads while 50 clients read and 4 submit, for a bounded time
    {
        const TempDir third;
        const std::string database3 =
            OnPostgres() ? NewDatabase(third, why) : (third.Path() / "r.db").string();
        std::vector<std::string> args{"--database", database3, "--verifier",
                                      (kBuild / "fake-verifier").string()};
        args.insert(args.end(), open.begin(), open.end());
        ServerProcess server(args);
        for (int i = 0; i < 100; ++i) {
            Post(server.Port(), "/api/v1/runs?name=seed&score=" + std::to_string(i),
                 Fake(i, "seed"));
        }
        constexpr auto kFor = std::chrono::seconds(8);
        const auto end = Clock::now() + kFor;
        std::vector<std::vector<double>> latencies(50);
        std::atomic<int> submitted{0};
        std::vector<std::thread> clients;
        for (std::size_t c = 0; c < latencies.size(); ++c) {
            clients.emplace_back([&, c] {
                while (Clock::now() < end) {
                    const auto t0 = Clock::now();
                    const Reply r = Get(server.Port(), "/api/v1/boards/normal-fast?limit=20");
                    if (r.status == 200) {
                        latencies[c].push_back(Seconds(Clock::now() - t0) * 1000);
                    }
                }
            });
        }
        for (int c = 0; c < 4; ++c) {
            clients.emplace_back([&, c] {
                for (int i = 0; Clock::now() < end; ++i) {
                    const int n = 1000 + c * 1000000 + i;
                    submitted +=
                        Post(server.Port(), "/api/v1/runs?name=load&score=" + std::to_string(n),
                             Fake(n, "load"))
                            .status == 202;
                }
            });
        }
        for (auto& c : clients) {
            c.join();
        }
        std::vector<double> all;
        for (const auto& l : latencies) {
            all.insert(all.end(), l.begin(), l.end());
        }
        std::sort(all.begin(), all.end());
        if (all.empty()) {
            std::printf("no board read answered\n");
            return 1;
        }
        std::printf("GET board, 50 readers and 4 submitters for %lld s: %zu reads, p50 %.2f ms, "
                    "p99 %.2f ms; %d submissions\n",
                    static_cast<long long>(kFor.count()), all.size(), all[all.size() / 2],
                    all[all.size() * 99 / 100], submitted.load());
    }
    return 0;
}
