// Waves and their levels; one tick of a wave on its own for the
// benchmark.
#pragma once

namespace Morvek {

// Everything a wave does once: move, fire, collide, draw, present, sleep and
// settle lives.
void WaveTick();

// Plays level after level until the game returns to the menu.
void PlayLevels();
// One wave: its enemies glide in, then ticks until it is cleared.
void PlayWave();
void GlideIn();
// No enemy left that holds up the wave (castles never do).
bool WaveCleared();
// Empties the field between waves and levels.
void ClearField();

} // namespace Morvek
