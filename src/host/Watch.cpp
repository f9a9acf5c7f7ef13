#include "host/Watch.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "host/GameCourse.h"
#include "util/Sha256.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <iostream>
#include <string>

namespace Program::Watch {

namespace {

namespace Run = Display::Run;
using Morvek::world;

// The run's status when the watched game never ended in the recording.
constexpr int kNotSeen = 1;

struct Watching {
    std::uint32_t game = 0; // 0: no watch
    bool begun = false;
    bool ended = false;
};
Watching watching;

void TellBegun(std::uint32_t game) {
    std::cout << "watching game " << game << " from its New Game\n" << std::flush;
#ifdef __EMSCRIPTEN__
    EM_ASM(
        {
            if (Module['onWatchBegun']) {
                Module['onWatchBegun']($0);
            }
        },
        game);
#endif
}

void TellEnded(std::uint32_t game, bool won) {
    const std::string state = Util::Sha256Hex(StateDump::StateJson());
    std::cout << "watched game " << game << ": score " << world.score << ", "
              << (won ? "won" : "lost") << ", state " << state << '\n'
              << std::flush;
#ifdef __EMSCRIPTEN__
    EM_ASM(
        {
            if (Module['onWatchedEnd']) {
                Module['onWatchedEnd']($0, $1, !!$2, UTF8ToString($3));
            }
        },
        game, world.score, won, state.c_str());
#endif
}

// The window keeps what it shows: a frame fast forward held back is shown.
void Finish(const Watching& w) {
    if (Run::FastForward()) {
        Run::SetFastForward(false);
        Display::UpdateWindow();
    }
    if (!w.ended) {
        std::cerr << "morvek: the recording ends before its game " << w.game
                  << (w.begun ? " ends\n" : " begins\n");
        Run::FailAtEnd(kNotSeen);
    }
    Run::AskEnd(0);
}

} // namespace

void Start(std::uint32_t game) {
    watching = {game, false, false};
    Run::SetFastForward(game > 0);
}

bool On() {
    return watching.game > 0;
}

void Stop() {
    watching = {};
    Run::SetFastForward(false);
}

bool Over(const Morvek::Wait& wait) {
    Watching& w = watching;
    if (w.game == 0) {
        return false;
    }
    if (!w.begun && world.gamesBegun >= w.game) {
        w.begun = true;
        Run::SetFastForward(false);
        TellBegun(w.game);
    }
    const Course course = CourseOf(world);
    if (w.begun && !w.ended && world.gamesBegun == w.game && course != Course::Playing &&
        course != Course::Gone) {
        w.ended = true;
        TellEnded(w.game, course == Course::Won);
    }
    const bool left = world.gamesBegun > w.game || (w.ended && course == Course::Gone);
    if (!left && wait.kind != Morvek::Wait::Kind::Quit && Run::ScriptPlaying()) {
        return false;
    }
    Finish(w);
    w = {};
    return true;
}

} // namespace Program::Watch
