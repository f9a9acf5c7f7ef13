// A new game, the score table and saving to it.
#pragma once

namespace Morvek {

// The dragon, score, level, counters and difficulty as a new game starts them.
void ResetGame();
void NewGame();
void Save();
void HighscoreScreen();

} // namespace Morvek
