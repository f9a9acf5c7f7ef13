// Where the game on the scene stack stands, as the verifier and a watch of a
// recording both count a game's end.
#pragma once

#include "game/core/Next.h"
#include "game/core/World.h"

#include <cstdint>

namespace Program {

enum class Course : std::uint8_t {
    Playing,
    Lost, // the game-over screen is up or was left
    Won,  // the last boss beaten: the victory's name entry is up
    Gone, // no game on the stack: the menu and its screens
};

Course CourseOf(const Morvek::World& w);

// A session's games as its steps pass through them: whether the one being
// played began as a practice or used a cheat key, which a leaderboard ranks
// neither of.
struct GameTally {
    std::uint32_t game = 0; // the session's games begun
    bool playing = false;
    bool practice = false;
    bool cheat = false;

    // After each step, at the wait it asks for; `practiceStart` tells
    // whether the run's options start games as a practice now. True when
    // the game being played ended at this step.
    bool Follow(const Morvek::World& w, const Morvek::Wait& wait, bool practiceStart);
};

} // namespace Program
