// Watching one game of a recording in the window: the session up to its New
// Game goes by in fast forward, the game itself at its own pace, and the run
// ends once it is over. Only the pacing differs from a plain replay: the game
// takes the same input at the same virtual times and comes to the same states.
#pragma once

#include "game/core/Next.h"

#include <cstdint>

namespace Program::Watch {

// Watches game `game` of the run's script, counted by the session's New
// Games from 1, as the verifier counts them.
void Start(std::uint32_t game);
bool On();

// After each step of the game, with the wait it asks for, before its frame
// is drawn. True when the watch is over: the game watched has left the screen
// (the menu is back or the next game began), or the script has nothing more,
// or the program quits. The run is then asked to end
// with this step undrawn, so the window keeps the frame before. Its New Game
// and its end (game over, the last boss beaten: the score and the SHA-256 of
// the state dump, as the verifier gives them) are told on stdout and to the
// page (Module.onWatchBegun, Module.onWatchedEnd). A watch that never saw its
// game end fails the run.
bool Over(const Morvek::Wait& wait);

// No watch (tests).
void Stop();

} // namespace Program::Watch
