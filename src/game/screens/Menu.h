// The main menu and its buttons.
#pragma once

#include "game/core/World.h"

namespace Morvek {

void DrawMenu();
bool MenuSelect(std::int32_t x, std::int32_t y, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2, std::uint32_t button);

} // namespace Morvek
