// The keys of play, reached from the options.
#pragma once

#include "game/core/Next.h"

namespace Morvek {

Next Update(ControlsScene& controls, World& w);

} // namespace Morvek
