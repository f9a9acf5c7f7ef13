// The options screen: difficulty, speed, and the way to the Controls screen.
#pragma once

#include "game/core/Next.h"

namespace Morvek {

Next Update(OptionsScene& options, World& w);

} // namespace Morvek
