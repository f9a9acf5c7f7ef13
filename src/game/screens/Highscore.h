// The score table's screen.
#pragma once

#include <cstdint>

namespace Morvek {

// The table as the file holds it now, and the Return button; place `lit`
// (1..10) stands out, 0 for none.
void DrawHighscores(std::uint32_t lit = 0);

} // namespace Morvek
