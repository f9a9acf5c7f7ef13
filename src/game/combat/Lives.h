// The dragon's lives, settled once a tick, and the cheat keys.
#pragma once

namespace Morvek {

// A dragon out of health loses a life; with none left the game is over.
void SettleLives();
void Cheats();

// What SettleLives calls when the last life is gone: the game-over screen,
// which lies above the play and so is handed down rather than called.
void SetGameOver(void (*show)());

} // namespace Morvek
