// The world state as JSON, for scripted runs and for tests that compare runs.
#pragma once

#include <string>

namespace StateDump {

// Equal states give equal text: reals are printed with three decimals.
std::string StateJson();
// Writes StateJson() to `file` as shots are written (Display::Run::WriteOutput);
// false with the reason when it cannot be written.
bool WriteState(const std::string& file, std::string& why);

} // namespace StateDump
