// The keys of play, reached from the options.
#pragma once

namespace Morvek {

void ControlsScreen();

} // namespace Morvek
