// The game-over screen: Return goes back to the menu, Save opens the name
// entry once.
#pragma once

#include "game/core/Next.h"

namespace Morvek {

Next Update(GameOverScene& over, World& w);

} // namespace Morvek
