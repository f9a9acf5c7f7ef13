// The dragon's lives, settled once a tick.
#pragma once

namespace Morvek {

// Where the dragon starts a level and comes back after losing a life.
inline constexpr float kDragonStartX = 60;
inline constexpr float kDragonStartY = 369;

// A dragon out of health loses a life.
void SettleLives();
// No life is left: the game is over.
bool GameLost();

} // namespace Morvek
