// The whole game's figures: start-up to the first menu frame, an autopilot
// game's ticks per second, and the process's peak memory.
#include "display/Run.h"
#include "game/autopilot/Autopilot.h"
#include "game/autopilot/WholeRun.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

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

} // namespace

void WholeGameBench() {
    std::printf("start to first menu frame: %.1f ms (target < 150)\n", StartToMenuMs());
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
