// A line for every wait a run makes: the virtual clock, the kind of wait,
// its milliseconds, the game's mode and the random generator's state. Two
// builds that play a recording alike write the same trace, so a change to
// the game's control flow that keeps it is shown to keep the game too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Morvek::WaitTrace {

// Starts writing to `file` (never waiting on a FIFO); false with the reason
// when it can't be made.
bool Start(const std::string& file, std::string& why);
// A wait as it begins: its kind ("sleep" a tick of play, "idle" a screen's
// poll, "input" a wait for an event) and the milliseconds asked. Nothing
// without a trace started.
void Write(std::string_view kind, std::uint32_t ms);

} // namespace Morvek::WaitTrace
