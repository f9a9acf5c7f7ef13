// The pause: P, the Pause key (a gamepad's Start) or the window losing the
// focus stop a wave or boss fight between two ticks, and the same key goes on.
#pragma once

#include "game/core/Next.h"

namespace Morvek {

// Once a tick, after its frame has shown: whether a pause starts now, or
// was asked while nothing could pause (KeepPauseAsked).
bool PauseAsked();
// Where the game runs passes that can't pause (a wave gliding in): a press
// of the pause key is kept for the first tick that can.
void KeepPauseAsked();
// The pause scene: nothing of the game runs, only the clock and the input.
Next Update(PauseScene& pause, World& w);

} // namespace Morvek
