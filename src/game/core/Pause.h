// Called once per wave or boss tick, after its sleep; holds
// the game while it is paused.
#pragma once

namespace Morvek {

void PauseCheck();

} // namespace Morvek
