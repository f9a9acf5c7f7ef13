// The score table's screen.
#pragma once

namespace Morvek {

// The table as the file holds it now, and the Return button.
void DrawHighscores();

} // namespace Morvek
