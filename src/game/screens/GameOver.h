// The game-over screen and the name entry of a new high score.
#pragma once

namespace Morvek {

void GameOver();
void GameOverSave();

} // namespace Morvek
