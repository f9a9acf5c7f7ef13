// The level script: each level's waves, hazard, boss fight and story, as one
// row a level; a game plays them in order.
#pragma once

#include "game/core/Next.h"

namespace Morvek {

// A game from its first level to its end: opens each wave, fight, story and
// the victory's name entry in turn.
Next Update(GameScene& game, World& w);
// The game-over screen was left: the game goes to its end from where it was.
void LoseGame(GameScene& game);
// The story after a level; Enter goes on.
Next Update(InterludeScene& story, World& w);
// The hazard of the level in a wave's tick.
void LevelHazard(std::uint32_t level);

} // namespace Morvek
