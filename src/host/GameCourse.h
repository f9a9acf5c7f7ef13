// Where the game on the scene stack stands, as the verifier and a watch of a
// recording both count a game's end.
#pragma once

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

} // namespace Program
