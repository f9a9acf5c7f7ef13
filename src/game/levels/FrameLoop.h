// Waves and their levels; one tick of a wave on its own for the
// benchmark.
#pragma once

namespace Morvek {

// Everything a wave does once: move, fire, collide, draw, present, sleep and
// settle lives.
void WaveTick();

void PlayLevels();
void PlayWave();
void GlideIn();
bool WaveCleared();
void ClearField();

} // namespace Morvek
