// The names of a save's temporary files, the same on every system, so that a
// later save knows which leftovers are its own to clear.
#pragma once

#include <string>
#include <string_view>

namespace SafeFile {

// "<target>.tmp-<process>-<serial>"
std::string TempName(const std::string& target, unsigned long process, unsigned serial);
// Whether a file name in the target's folder is one of ours for the base name.
bool IsTempName(std::string_view name, std::string_view base);

} // namespace SafeFile
