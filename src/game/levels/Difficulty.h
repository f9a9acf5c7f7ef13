// The difficulty that follows the play.
#pragma once

#include "game/core/World.h"

namespace Procedures {

std::uint32_t DynamicDifficulty(std::uint32_t actdiff);

} // namespace Procedures
