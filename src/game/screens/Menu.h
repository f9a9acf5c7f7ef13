// The main menu and its buttons.
#pragma once

#include "game/core/Next.h"

namespace Morvek {

void DrawMenu();
// One pass over the menu's buttons; a chosen one opens its screen or game,
// and the pass goes on with the next button once that is done.
Next Update(MenuScene& menu, World& w);

} // namespace Morvek
