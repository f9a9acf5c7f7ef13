// The whole game's figures: start-up to the first menu frame beside its floor,
// an autopilot game's ticks per second, and the process's peak memory.
#include "display/Run.h"
#include "game/autopilot/Autopilot.h"
#include "game/autopilot/WholeRun.h"
#include "game/core/Catalogue.h"
#include "game/core/MediaPath.h"

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
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

// From program entry to the first sync point: the window open, every picture
// loaded and the menu presented once.
double StartToMenuMs() {
    const auto t0 = Clock::now();
    Clock::time_point menu = t0;
    Autopilot::WholeRun::RunProgram(Scores(), [&menu] {
        Wimdows::Run::SetSyncHook([&menu] {
            menu = Clock::now();
            Wimdows::Run::End(0);
        });
    });
    return std::chrono::duration<double, std::milli>(menu - t0).count();
}

// The least start-up could cost: every picture file the catalogue names read
// whole into memory, each file once. Returns the bytes read through `bytes`.
double ReadPicturesMs(std::size_t& bytes) {
    const auto t0 = Clock::now();
    std::set<std::string_view> seen;
    bytes = 0;
    for (const auto& row : Procedures::catalogue) {
        if (!seen.insert(row.file).second) {
            continue;
        }
        std::ifstream in(Procedures::MediaPath(row.file), std::ios::binary | std::ios::ate);
        const std::streamsize size = in ? static_cast<std::streamsize>(in.tellg()) : 0;
        const auto data = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(size));
        in.seekg(0);
        in.read(data.get(), size);
        bytes += static_cast<std::size_t>(in.gcount());
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

constexpr const char* kRoundLine = "start-up round: %lf %lf %zu";

} // namespace

// One fresh process's start-up and floor, as a line StartUpBench reads. Only
// a new process pays what a player's start pays: memory the system hands out
// anew and a heap that has never held the pictures.
void StartUpRound() {
    std::size_t bytes = 0;
    const double floor = ReadPicturesMs(bytes);
    const double start = StartToMenuMs();
    std::printf(kRoundLine, floor, start, bytes);
    std::printf("\n");
    std::filesystem::remove(Scores());
}

namespace {

// Start-up beside its floor, each the median of rounds in fresh processes
// started one after another, so that a busy machine weighs on both alike.
void StartUpBench(const char* self) {
    constexpr int kRounds = 7;
    std::vector<double> start, floor;
    std::size_t bytes = 0;
    const std::string command = std::string("'") + self + "' --start-up-round";
    for (int r = 0; r < kRounds; ++r) {
        std::FILE* child = popen(command.c_str(), "r");
        std::array<char, 256> line{};
        double f = 0, s = 0;
        bool read = false;
        while (child != nullptr && std::fgets(line.data(), line.size(), child) != nullptr) {
            read = read || std::sscanf(line.data(), kRoundLine, &f, &s, &bytes) == 3;
        }
        if (child == nullptr || pclose(child) != 0 || !read) {
            std::printf("start-up round %d failed\n", r);
            return;
        }
        floor.push_back(f);
        start.push_back(s);
    }
    const double s = Median(start), f = Median(floor);
    std::printf("start to first menu frame: %.1f ms, median of %d fresh processes (target < 150)\n",
                s, kRounds);
    std::printf("reading every picture file the catalogue names: %.1f ms, %.1f MB\n", f,
                static_cast<double>(bytes) / (1024 * 1024));
    std::printf("start-up / reading the pictures: %.2f (target <= 3)\n", f > 0 ? s / f : 0.0);
}

} // namespace

void WholeGameBench(const char* self) {
    StartUpBench(self);
    const auto t0 = Clock::now();
    Autopilot::WholeRun::RunProgram(Scores(), [] { Autopilot::Start({}); });
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
}
