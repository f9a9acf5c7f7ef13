// The two storm clouds the wind god hides behind: a thunderhead with a
// wind-torn anvil above, a raining cloud with a lightning flash below.
#pragma once

#include "Canvas.h"

namespace Art {

enum class Storm { Anvil, Rain };

// A cloud on a canvas of the catalogue's cloud size.
Canvas stormCloud(Storm kind);

} // namespace Art
