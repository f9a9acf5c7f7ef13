// A new game and the score table.
#pragma once

namespace Morvek {

// The dragon, score, level, counters and difficulty as a new game starts them.
void ResetGame();
void NewGame();
void HighscoreScreen();

} // namespace Morvek
