// What a screen asks of the host: screens of the host's own, drawn over the
// game's and driven by input the run never records, so that the game's
// course never depends on them (the kept replays differ from one machine to
// the next, and so does a player's online name).
#pragma once

#include <cstdint>

namespace Morvek {

enum class HostAsk : std::uint8_t {
    None,
    Replays,    // the kept replays, to choose one and watch it
    OnlineName, // the name the leaderboard shows
};

} // namespace Morvek
