// What the game is showing, as the sound, the autopilot and the trace of
// waits see it: the label of the scene on top (core/Scenes.h).
#pragma once

#include <cstdint>

namespace Morvek {

enum class Mode : std::uint8_t {
    Menu,
    Story,
    Options, // the Controls screen too
    Highscores,
    Credits,
    Interlude, // the story between two levels
    Wave,
    BossFight,
    Paused,
    GameOver,
    NameEntry,
};

// A game is under way: its waves, fights and interludes, and the pause.
constexpr bool InGame(Mode m) {
    return m == Mode::Wave || m == Mode::BossFight || m == Mode::Interlude || m == Mode::Paused;
}

} // namespace Morvek
