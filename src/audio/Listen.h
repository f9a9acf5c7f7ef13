// One presented frame's worth of listening: what the director hears of the
// world goes to the mixer; true when M switched the sound. Shared by the sound device and the
// page's sound.
#pragma once

#include "audio/Director.h"
#include "audio/Mixer.h"

namespace Sound {

bool Listen(Director& director, Mixer& mixer);

} // namespace Sound
