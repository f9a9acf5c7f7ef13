// The whole program run inside this process, headless, from program start to
// the End button: for the tests that replay a game and for the benchmark.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace Autopilot::WholeRun {

// A world state seen on the way: where, and the state JSON.
struct Point {
    std::string at;
    std::string state;
};

// Program start again: no window, world zero, random numbers at their seed,
// default options, the highscores in `scores` (removed first).
void FreshProgram(const std::filesystem::path& scores);

// FreshProgram, then `setup` (a script, the autopilot, hooks...), then
// the game's loop until it returns or the run ends. The State events of the run
// land in the result in order, followed by the state at the end, named "end"
// when the program left by its End button.
std::vector<Point> RunProgram(const std::filesystem::path& scores,
                              const std::function<void()>& setup);

} // namespace Autopilot::WholeRun
