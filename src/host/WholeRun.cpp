#include "host/WholeRun.h"

#include "display/Run.h"
#include "game/Game.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "game/levels/Practice.h"
#include "game/screens/ScoreFile.h"
#include "host/Loop.h"
#include "util/Random.h"

namespace Autopilot::WholeRun {

namespace {

std::string State() {
    std::string json = StateDump::StateJson();
    while (!json.empty() && (json.back() == '\n' || json.back() == ' ')) {
        json.pop_back();
    }
    return json;
}

} // namespace

void FreshProgram(const std::filesystem::path& scores) {
    Display::Run::Reset();
    Display::Run::SetHeadless(true);
    Morvek::world = Morvek::World{};
    Game::options = {};
    Morvek::scorefile = scores.string();
    std::error_code ignored;
    std::filesystem::remove(scores, ignored);
}

std::vector<Point> RunProgram(const std::filesystem::path& scores,
                              const std::function<void()>& setup) {
    FreshProgram(scores);
    std::vector<Point> seen;
    Display::Run::SetStateWriter([&seen](const std::string& at, std::string&) {
        seen.push_back({at, State()});
        return true;
    });
    setup();
    const bool quit = Program::Play();
    seen.push_back({quit ? "end" : "end (the run stopped before the End button)", State()});
    Display::Run::Reset();
    return seen;
}

} // namespace Autopilot::WholeRun
