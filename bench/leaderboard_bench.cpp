// What sending runs costs a frame: the host's turn (the game's step, its
// frame drawn and shown) with the sender pumped each turn while a slow server
// is sent to without end, beside the same turns without it. Rounds alternate,
// so a busy machine weighs on both alike.
#include "display/Display.h"
#include "display/Run.h"
#include "game/Step.h"
#include "game/core/World.h"
#include "host/Leaderboard.h"
#include "host/Loop.h"
#include "host/WholeRun.h"
#include "support/FakeHttp.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kTurns = 3000;
constexpr int kRounds = 3;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every Pump's milliseconds, over all rounds.
std::vector<double> pumpMs;

// The autopilot's game from its start, kTurns turns of the host's loop
// (headless: the waits are not slept), each pumping `sender` when given.
double MsPerTurn(Program::Leaderboard::Sender* sender) {
    const fs::path scores = fs::temp_directory_path() / "morvek-bench-send-scores.txt";
    Autopilot::WholeRun::FreshProgram(scores);
    Program::StartAutopilot({});
    Program::Begin();
    const auto t0 = Clock::now();
    for (int turn = 0; turn < kTurns; ++turn) {
        const Morvek::Wait wait = Morvek::Step(Morvek::world);
        if (wait.kind == Morvek::Wait::Kind::Quit) {
            break;
        }
        Morvek::Draw(Morvek::world);
        Display::UpdateWindow();
        if (sender != nullptr) {
            const auto p0 = Clock::now();
            sender->Pump();
            pumpMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - p0).count());
        }
        Program::Perform(wait);
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    Display::Run::Reset();
    fs::remove(scores);
    return ms / kTurns;
}

} // namespace

void LeaderboardBench() {
    // Each send answered 503 after 200 ms, and tried again at once: a
    // request always under way, and one answered every few turns
    TestSupport::FakeHttp slow([](const TestSupport::Seen&) {
        return TestSupport::Late({503, "{}", {}}, 200ms);
    });
    const fs::path data = fs::temp_directory_path() / "morvek-bench-outbox";
    fs::remove_all(data);
    fs::create_directories(data);
    const fs::path session = data / "session.txt";
    {
        std::ofstream out(session);
        out << "0 option rules 2\n";
        for (int i = 1; i < 1000; ++i) { // about the size of a short game's recording
            out << 20 * i << " mouse move " << i % 640 << " " << i % 480 << "\n";
        }
    }
    Program::Leaderboard::Timing eager;
    eager.firstRetry = eager.lastRetry = 0ms;
    std::vector<double> with, without;
    std::size_t sends = 0;
    for (int r = 0; r < kRounds; ++r) {
        without.push_back(MsPerTurn(nullptr));
        std::fprintf(stderr, "(the bench's sender complains below: its server is meant to fail)\n");
        Program::Leaderboard::Sender sender(slow.Address(), data, "BENCH", eager);
        sender.GameEnded(session, 1, 100);
        const std::size_t before = slow.Requests().size();
        with.push_back(MsPerTurn(&sender));
        sends += slow.Requests().size() - before;
    }
    const double a = Median(with), b = Median(without);
    std::printf("a host turn sending to a slow server: %.4f ms, without: %.4f ms, ratio %.3f "
                "(median of %d alternated rounds of %d turns; %zu sends)\n",
                a, b, b > 0 ? a / b : 0.0, kRounds, kTurns, sends);
    std::sort(pumpMs.begin(), pumpMs.end());
    std::printf("a Pump: median %.4f ms, 99.9th percentile %.3f ms, worst %.3f ms\n",
                pumpMs[pumpMs.size() / 2], pumpMs[pumpMs.size() * 999 / 1000], pumpMs.back());
    fs::remove_all(data);
}
