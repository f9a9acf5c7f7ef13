// The score table's screen.
#pragma once

#include "game/core/Next.h"

#include <cstdint>

namespace Morvek {

struct ReturnScene;
struct World;

// The table as the file holds it now, and the Return button; place `lit`
// (1..10) stands out, 0 for none.
void DrawHighscores(std::uint32_t lit = 0);

// The screen the menu opens: this machine's table or the leaderboard's, and
// the buttons that switch between them and open the kept replays.
Next UpdateHighscores(ReturnScene& screen, World& w);

} // namespace Morvek
