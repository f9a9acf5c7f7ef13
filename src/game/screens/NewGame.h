// A new game's start.
#pragma once

namespace Morvek {

// The dragon, score, level, counters and difficulty as a new game starts them.
void ResetGame();
// The highscores read (the name entry places the result among them), the
// game reset, a practice start applied and the keys of play bound. The game
// itself is the scene the menu opens next.
void NewGame();

} // namespace Morvek
