// Called once per wave or boss tick, after its sleep; holds
// the game while it is paused.
#pragma once

namespace Procedures {

void PauseCheck();

} // namespace Procedures
