// Runs the whole program in this process, headless, from program start to
// the End button, on a script or with the autopilot at the controls.
#pragma once

#include "display/Run.h"
#include "game/Game.h"
#include "game/Procedures.h"
#include "game/core/StateDump.h"
#include "game/screens/ScoreFile.h"
#include "util/StandardLib.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ReplayRun {

namespace fs = std::filesystem;
using Wimdows::Run::InputEvent;

// The repository's own directory of kept recordings.
inline fs::path Recordings() {
    return fs::path(__FILE__).parent_path().parent_path() / "recordings";
}

struct Ended {
    int code;
};

// A world state seen on the way: where, and the state JSON.
struct Point {
    std::string at;
    std::string state;
};

// Program start again: no window, world zero, random numbers at their seed,
// the highscores in a file of their own.
inline void FreshProgram(const fs::path& scores) {
    Wimdows::Run::Reset();
    Wimdows::Run::SetHeadless(true);
    Procedures::ResetWorld();
    StandardLib::ResetRandom();
    Game::options = {};
    Procedures::scorefile = scores.string();
    fs::remove(scores);
}

// Runs Game::main until it returns or the run ends; `setup` runs after the
// program state is fresh and may install a script, the autopilot or hooks.
// State events of the script land in the result, in order, then the end.
inline std::vector<Point> RunProgram(const fs::path& scores, const std::function<void()>& setup) {
    FreshProgram(scores);
    std::vector<Point> seen;
    const auto state = [] {
        std::string json = StateDump::StateJson();
        while (!json.empty() && (json.back() == '\n' || json.back() == ' ')) {
            json.pop_back();
        }
        return json;
    };
    Wimdows::Run::SetStateWriter([&seen, &state](const std::string& at) {
        seen.push_back({at, state()});
        return true;
    });
    setup();
    Wimdows::Run::SetEndHandler([] { throw Ended{0}; });
    std::string end = "end";
    try {
        Game::main();
    } catch (const Ended&) {
        end = "end (the run stopped before the End button)";
    }
    seen.push_back({end, state()});
    Wimdows::Run::Reset();
    return seen;
}

} // namespace ReplayRun
