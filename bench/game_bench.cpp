// The whole game's figures: start-up to the first menu frame beside its floor,
// an autopilot game's ticks per second, and the process's peak memory.
#include "display/Run.h"
#include "game/autopilot/Autopilot.h"
#include "game/core/Catalogue.h"
#include "game/core/MediaPath.h"
#include "host/Loop.h"
#include "host/Replays.h"
#include "host/WholeRun.h"

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::filesystem::path Scores() {
    return std::filesystem::temp_directory_path() / "morvek-bench-scores.txt";
}

// Wall-clock and processor time of one part, in milliseconds.
struct Times {
    double wall = 0;
    double cpu = 0;
};

// Times `part`; its wall-clock time ends at `end` (now, unless `part` moves it).
template <typename F> Times Time(F part) {
    const std::clock_t cpu0 = std::clock();
    const auto t0 = Clock::now();
    Clock::time_point end = t0;
    part(end);
    if (end == t0) {
        end = Clock::now();
    }
    const double cpu = 1000.0 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
    return {std::chrono::duration<double, std::milli>(end - t0).count(), cpu};
}

// From program entry to the first sync point: the window open, every picture
// loaded and the menu presented once.
Times StartToMenu() {
    return Time([](Clock::time_point& menu) {
        Autopilot::WholeRun::RunProgram(Scores(), [&menu] {
            Display::Run::SetSyncHook([&menu] {
                menu = Clock::now();
                Display::Run::AskEnd(0);
            });
        });
    });
}

// The least start-up could cost: every picture file the catalogue names read
// whole into memory, each file once. Counts the bytes read into `bytes`.
Times ReadPictures(std::size_t& bytes) {
    return Time([&bytes](Clock::time_point&) {
        std::set<std::string_view> seen;
        bytes = 0;
        for (const auto& row : Morvek::catalogue) {
            if (!seen.insert(row.file).second) {
                continue;
            }
            std::ifstream in(Morvek::MediaPath(row.file), std::ios::binary | std::ios::ate);
            const std::streamsize size = in ? static_cast<std::streamsize>(in.tellg()) : 0;
            const auto data =
                std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(size));
            in.seekg(0);
            in.read(data.get(), size);
            bytes += static_cast<std::size_t>(in.gcount());
        }
    });
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

constexpr const char* kRoundLine = "start-up round: %lf %lf %lf %lf %zu";

} // namespace

// One fresh process's start-up and floor, as a line StartUpBench reads. Only
// a new process pays what a player's start pays: memory the system hands out
// anew and a heap that has never held the pictures.
void StartUpRound() {
    std::size_t bytes = 0;
    const Times floor = ReadPictures(bytes);
    const Times start = StartToMenu();
    std::printf(kRoundLine, floor.wall, floor.cpu, start.wall, start.cpu, bytes);
    std::printf("\n");
    std::filesystem::remove(Scores());
}

namespace {

// Start-up beside its floor, each the median of rounds in fresh processes
// started one after another, so that a busy machine weighs on both alike.
// Processor time is printed too: on a busy machine waiting for a turn can
// outweigh the work.
void StartUpBench(const char* self) {
    constexpr int kRounds = 7;
    std::array<std::vector<double>, 4> seen; // floor wall, floor cpu, start wall, start cpu
    std::size_t bytes = 0;
    const std::string command = std::string("'") + self + "' --start-up-round";
    for (int r = 0; r < kRounds; ++r) {
        std::FILE* child = popen(command.c_str(), "r");
        std::array<char, 256> line{};
        std::array<double, 4> round{};
        bool read = false;
        while (child != nullptr && std::fgets(line.data(), line.size(), child) != nullptr) {
            read = read || std::sscanf(line.data(), kRoundLine, &round[0], &round[1], &round[2],
                                       &round[3], &bytes) == 5;
        }
        if (child == nullptr || pclose(child) != 0 || !read) {
            std::printf("start-up round %d failed\n", r);
            return;
        }
        for (std::size_t i = 0; i < round.size(); ++i) {
            seen[i].push_back(round[i]);
        }
    }
    const Times floor{Median(seen[0]), Median(seen[1])}, start{Median(seen[2]), Median(seen[3])};
    std::printf("start to first menu frame: %.1f ms (processor %.1f ms), median of %d fresh "
                "processes (target < 150)\n",
                start.wall, start.cpu, kRounds);
    std::printf("reading every picture file the catalogue names, %.1f MB: %.1f ms (processor "
                "%.1f ms)\n",
                static_cast<double>(bytes) / (1024 * 1024), floor.wall, floor.cpu);
    std::printf("start-up / reading the pictures: %.2f, processor time %.2f (target <= 3)\n",
                floor.wall > 0 ? start.wall / floor.wall : 0.0,
                floor.cpu > 0 ? start.cpu / floor.cpu : 0.0);
}

} // namespace

namespace {

// One autopilot game's milliseconds a tick, its input kept as a player's
// session keeps it, or not.
double MsPerTick(bool keepReplay) {
    const auto folder = std::filesystem::temp_directory_path() / "morvek-bench-replays";
    const auto t0 = Clock::now();
    Autopilot::WholeRun::RunProgram(Scores(), [&] {
        if (keepReplay) {
            Program::Replays::Start(
                folder, 1,
                std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));
        }
        Program::StartAutopilot({});
    });
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    std::filesystem::remove_all(folder);
    const auto ticks = Autopilot::Result().ticks;
    return ticks > 0 ? ms / static_cast<double>(ticks) : 0.0;
}

// The autopilot hands the run input at nearly every tick, far more than a
// player: a bound on what keeping the replay costs a frame. Rounds alternate,
// so a busy machine weighs on both alike.
void ReplayBench() {
    constexpr int kRounds = 3;
    std::vector<double> kept, plain;
    for (int r = 0; r < kRounds; ++r) {
        plain.push_back(MsPerTick(false));
        kept.push_back(MsPerTick(true));
    }
    const double with = Median(kept), without = Median(plain);
    std::printf("a tick keeping the replay: %.4f ms, without: %.4f ms, ratio %.3f (median of %d "
                "alternated autopilot games each)\n",
                with, without, without > 0 ? with / without : 0.0, kRounds);
}

} // namespace

void WholeGameBench(const char* self) {
    StartUpBench(self);
    const auto t0 = Clock::now();
    Autopilot::WholeRun::RunProgram(Scores(), [] { Program::StartAutopilot({}); });
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    const Autopilot::Summary s = Autopilot::Result();
    std::printf("autopilot game: %s, level %u, score %u, %llu ticks in %.2f s, %.0f ticks per "
                "second (target >= 2000)\n",
                s.won ? "won" : "not won", s.levelReached, s.score,
                static_cast<unsigned long long>(s.ticks), seconds,
                seconds > 0 ? static_cast<double>(s.ticks) / seconds : 0.0);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MB (target < 100)\n",
                static_cast<double>(usage.ru_maxrss) / 1024);
    std::filesystem::remove(Scores());
    ReplayBench();
}
