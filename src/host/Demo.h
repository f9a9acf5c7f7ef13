// The attract demo: a menu left alone for a while in a window shows the
// autopilot playing a game of its own, until any key, click or pad button.
// The demo is a side game: its world, random numbers, clock and table are
// its own, it reaches the program's run through nothing (nothing of it is
// recorded), and the press that ends it is used up by the host.
#pragma once

#include "game/core/Next.h"

#include <cstdint>

namespace Program::Demo {

// How long the menu must be left alone, in the host's own time: a headless
// or scripted run's waits skip time, and never show a demo.
inline constexpr std::uint64_t kIdleMs = 30'000;

// Whether a demo is due before the program's run performs `wait`: the menu
// itself is up and idle, in a window the player has left alone, in a run
// that no script or autopilot drives.
bool Due(const Morvek::Wait& wait);
// Plays the demo in the window until a press, the close box or the demo's
// own end, then shows the program's frame again as it was.
void Play();

} // namespace Program::Demo
