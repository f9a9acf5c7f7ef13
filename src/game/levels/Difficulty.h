// The difficulty that follows the play.
#pragma once

#include "game/core/World.h"

namespace Procedures {

card DynamicDifficulty(card actdiff);

} // namespace Procedures
