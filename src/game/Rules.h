// The rules version: what the game does with a given input. Recordings carry
// it, and a verifier refuses one played by other rules, since it would replay
// to another game. Bump it with any change that makes a recording play
// differently: the game's rules, the screens' flow, the terrain masks, the
// random numbers. The replay test fails when the kept game's states change
// and this number did not.
#pragma once

#include <cstdint>

namespace Morvek {

inline constexpr std::uint32_t kRulesVersion = 3;

} // namespace Morvek
