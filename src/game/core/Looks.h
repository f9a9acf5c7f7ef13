// What the frames of play remember from one frame to the next, for the eye
// alone: the rules never read it and the state dump leaves it out, so a game
// runs the same whether its frames are drawn or not.
#pragma once

#include <cstdint>

namespace Morvek {

struct Looks {
    std::uint32_t game = 0;      // the game (World::gamesBegun) these frames belong to
    std::uint32_t guideFrom = 0; // World::counter at that game's first frame
    std::uint32_t frame = 0;     // battle frames drawn in that game
    std::int32_t health = 0;     // the dragon's, as the last frame showed it
    std::int32_t lives = 0;
    std::uint32_t hitAt = 0;      // frame of the last health lost; 0 for none yet
    std::int32_t hitBy = 0;       // the health it lost
    std::uint32_t lostAt = 0;     // frame of the last life lost; 0 for none yet
    std::uint64_t boardShown = 0; // the online board's news on screen (OnlineBoard.h)
};

} // namespace Morvek
