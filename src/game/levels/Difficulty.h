// The difficulty that follows the play.
#pragma once

#include "game/core/World.h"

namespace Morvek {

std::uint32_t DynamicDifficulty(std::uint32_t current);

} // namespace Morvek
