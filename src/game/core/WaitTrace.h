// A line for every wait a run makes: the virtual clock, the kind of wait,
// its milliseconds, the game's mode and the random generator's state. Two
// builds that play a recording alike write the same trace, so a change to
// the game's control flow that keeps it is shown to keep the game too.
#pragma once

#include <string>

namespace Morvek::WaitTrace {

// Starts writing to `file` (never waiting on a FIFO); false with the reason
// when it can't be made.
bool Start(const std::string& file, std::string& why);

} // namespace Morvek::WaitTrace
