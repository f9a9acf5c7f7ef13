// The main menu and its buttons.
#pragma once

#include "game/core/World.h"

namespace Procedures {

void MenuDraw();
bool MenuSelect(integer x, integer y, integer x1, integer y1, integer x2, integer y2, card button);

} // namespace Procedures
