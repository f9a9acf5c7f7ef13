// The program's one loop: the game's step, the frame shown, the wait.
#pragma once

#include "game/autopilot/Autopilot.h"
#include "game/core/Next.h"

#include <functional>

namespace Program {

// One wait of the game: the virtual clock moves on by it, and the input due
// by then reaches the game. A window's run also really waits; a headless
// one does not.
void Perform(const Morvek::Wait& wait);
// The autopilot plays from the next sync point on: it is the run's source of
// input, the pointer of a window steers nothing, and it reports at the end.
void StartAutopilot(const Autopilot::Settings& settings);
// Whether the program's own run is the autopilot's.
bool AutopilotPlaying();
// The program's game starts: its first line out, the window, the menu.
void Begin();
// The game from its start: true at its End button, false when the run
// asked to end first (Display::Run::EndAsked) or a watch is over (Watch.h).
// `afterStep`, when given, sees each wait the game asks for before it is
// performed; it must only read.
using StepWatch = std::function<void(const Morvek::Wait& wait)>;
bool Play(const StepWatch& afterStep = {});
// In a web page: the game paced by the browser's animation frames; returns
// to the browser at once and ends the run when the game ends.
void PlayInPage();

} // namespace Program
