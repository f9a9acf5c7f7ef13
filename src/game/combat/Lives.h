// The dragon's lives, settled once a tick, and the cheat keys.
#pragma once

namespace Procedures {

// A dragon out of health loses a life; with none left the game is over.
void LifeController();
void Cheats();

// What LifeController calls when the last life is gone: the game-over screen,
// which lies above the play and so is handed down rather than called.
void SetGameOver(void (*show)());

} // namespace Procedures
