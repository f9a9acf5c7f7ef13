// The world state as JSON, for scripted runs and for tests that compare runs.
#pragma once

#include <string>

namespace StateDump {

// Equal states give equal text: reals are printed with three decimals.
std::string StateJson();
// Writes StateJson() to `file`; false when it cannot be written.
bool WriteState(const std::string& file);

} // namespace StateDump
